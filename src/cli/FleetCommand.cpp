// 'zqtool program' of several keyboards: each on a thread and channel of its own, a report row each.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgressBar.h"
#include "cli/StopSignals.h"

#include "device/DeviceResult.h"
#include "device/FleetReport.h"
#include "device/KeyboardFleet.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The bar runs over the keyboards, each counting as much as any other, whatever its step.
void DrawFleetProgress(ProgressBar& bar, const std::vector<FleetRowState>& states)
{
    constexpr uint32_t kScale = 1000;
    uint32_t done = 0;
    for (const FleetRowState& state : states) {
        if (state.finished) {
            done += kScale;
        } else if (state.total != 0) {
            done += static_cast<uint32_t>(uint64_t{kScale} * std::min(state.done, state.total) / state.total);
        }
    }
    bar.Progress(done, kScale * static_cast<uint32_t>(states.size()));
}

bool IsFileName(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status)) {
        return !std::filesystem::is_directory(status);
    }
    return std::filesystem::path(path).extension() == ".zqp";
}

// The keyboards asked for; false when the command ends here, with its status in status.
bool ChooseTargets(Keyboard& project, const CliArguments& arguments, std::vector<FleetTarget>& targets,
                   int& status)
{
    const uint16_t vendorId = GetVendorId(arguments);
    status = ExitOk;
    if (arguments.hasRetryFailed) {
        std::vector<std::string> devices;
        std::string why;
        status = ReadFleetReportFile(arguments.retryFailed, devices, why);
        if (status != DeviceResultOk) {
            PrintFileMessage(arguments.retryFailed,
                             status == DeviceResultCannotOpenFile ? "cannot read the report"
                                                                  : "not a report of 'zqtool program --json'",
                             why);
            return false;
        }
        targets = MakeFleetTargets(project, vendorId, devices);
        if (targets.empty()) {
            PrintMessage("zqtool: " + arguments.retryFailed + ": no keyboard failed; none is programmed");
        }
        return true;
    }
    if (arguments.hasDevice) {
        targets = MakeFleetTargets(project, vendorId, arguments.devices);
        return true;
    }
    targets = FindFleetTargets(project, vendorId);
    if (!arguments.all && !targets.empty()) {
        // Without --all the report covers the one keyboard a plain 'program' would take.
        targets.resize(1);
    }
    if (targets.empty()) {
        const bool legacy = dynamic_cast<LegacyKeyboard*>(&project) != nullptr;
        status = ReportResult(legacy ? DeviceResultZq1100NotFound : DeviceResultNoDevice, project, arguments);
        return false;
    }
    return true;
}

} // namespace

int RunProgramSeveral(Keyboard& project, const CliArguments& arguments)
{
    const bool legacy = dynamic_cast<LegacyKeyboard*>(&project) != nullptr;
    if (arguments.hasBackup && !legacy && IsFileName(arguments.backup)) {
        return PrintUsageError("--backup takes a folder when keyboards get a report: one file per keyboard",
                               GetUsageLine(CliCommand::Program));
    }
    PrepareForDevice(project, arguments);
    std::vector<FleetTarget> targets;
    int status = ExitOk;
    if (!ChooseTargets(project, arguments, targets, status)) {
        return status;
    }
    if (arguments.hasBackup && legacy) {
        PrintMessage(LoadText(IDS_MSG_LEGACY_NO_READ_BACK));
    }
    FleetOptions options;
    options.verify = !arguments.noVerify;
    options.backupFolder = arguments.hasBackup && !legacy ? arguments.backup : "";
    options.vendorId = GetVendorId(arguments);

    KeyboardFleet fleet(options, [&project] { return CopyProject(project); });
    fleet.Start(targets);
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    while (!fleet.Wait(std::chrono::milliseconds(100))) {
        DrawFleetProgress(bar, fleet.Snapshot());
    }
    bar.Finish(true);

    std::vector<FleetRow> rows;
    for (FleetRowState& state : fleet.Snapshot()) {
        rows.push_back(std::move(state.row));
    }
    const std::string report = arguments.json
                                   ? FormatFleetJson(rows)
                                   : (arguments.csv ? FormatFleetCsv(rows) : FormatFleetTable(rows));
    std::fputs(report.c_str(), stdout);
    const int result = GetFleetResult(rows);
    if (result == DeviceResultInterrupted && GetCaughtStopSignal() != 0) {
        return ExitInterrupted + GetCaughtStopSignal();
    }
    return result;
}
