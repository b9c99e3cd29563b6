// The commands that talk to a connected keyboard: list, program, download, firmware, version.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgressBar.h"
#include "cli/StopSignals.h"

#include "device/DeviceResult.h"
#include "device/KeyboardBackup.h"
#include "device/KeyboardInterfaces.h"
#include "device/OsError.h"
#include "device/UsbVendorId.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr const char* kUdevHint =
    "install the udev rule 70-zq-keyboards.rules (see the README) and plug the keyboard in again";

uint16_t GetVendorId(const CliArguments& arguments)
{
    return arguments.hasVendorId ? arguments.vendorId : kZqUsbVendorId;
}

// Every project a device command works on looks for the tool's vendor id, as the editor's do
// for the one its settings give.
void PrepareForDevice(Keyboard& keyboard, const CliArguments& arguments)
{
    ApplyVendorId(keyboard, GetVendorId(arguments));
    if (arguments.hasVendorId && !arguments.vendorIdFromEnvironment &&
        dynamic_cast<LegacyKeyboard*>(&keyboard) != nullptr) {
        PrintMessage("zqtool: --vendor-id does not apply to ZQ-1100 keyboards; it is ignored");
    }
}

// The editor offers only the commands the project's keyboard supports; the tool answers the
// others with "Operation not supported" without touching any device.
int RefuseUnsupported()
{
    PrintMessage(GetResultMessage(DeviceResultNotSupported));
    return DeviceResultNotSupported;
}

// The simulator entries nobody serves: a missing keyboard there is no matter of USB cables.
std::vector<std::string> FindSilentSimulatorEntries(uint16_t vendorId)
{
    std::vector<std::string> silent;
    if (!IsSimulatorInUse()) {
        return silent;
    }
    for (const KeyboardInterface& entry : ListKeyboardInterfaces(vendorId)) {
        if (entry.state == InterfaceState::NotAnswering) {
            silent.push_back(entry.path);
        }
    }
    return silent;
}

int ReportResult(int result, const Keyboard& keyboard, const CliArguments& arguments)
{
    if (result == DeviceResultOk) {
        return result;
    }
    if (result == DeviceResultInterrupted && GetCaughtStopSignal() != 0) {
        PrintMessage(FormatDeviceMessage(result, keyboard.GetErrorText()));
        return ExitInterrupted + GetCaughtStopSignal();
    }
    std::string message = FormatDeviceMessage(result, keyboard.GetErrorText());
    if (result == DeviceResultNoDevice || result == DeviceResultZq1100NotFound ||
        result == DeviceResultNoDriver) {
        const std::vector<std::string> silent = FindSilentSimulatorEntries(GetVendorId(arguments));
        if (!silent.empty()) {
            // The first line says what failed; the hint after it would send the user to the cable.
            message = GetResultMessage(result);
            message = message.substr(0, message.find_first_of("\r\n"));
            for (const std::string& path : silent) {
                message += "\nzqtool: no simulated keyboard answers at " + path;
            }
        }
    }
    PrintMessage(message);
    return result;
}

bool ResolveTypeOperand(const CliArguments& arguments, uint8_t& id)
{
    if (ResolveKeyboardType(arguments.operands[0], id)) {
        return true;
    }
    PrintUsageError("unknown keyboard type '" + arguments.operands[0] + "'; 'zqtool types' lists them",
                    GetUsageLine(arguments.command));
    return false;
}

// A new project of the command's TYPE, ready for the device; null after a usage error.
std::unique_ptr<Keyboard> CreateForDevice(const CliArguments& arguments)
{
    uint8_t id = 0;
    if (!ResolveTypeOperand(arguments, id)) {
        return nullptr;
    }
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(id);
    if (keyboard) {
        PrepareForDevice(*keyboard, arguments);
    }
    return keyboard;
}

bool IsFolder(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Saves what the keyboard holds before anything is written to it: to the file, or into the folder
// with the newest backups of each type. Answers ExitOk, a device result code or ExitSaveFailed.
int BackUpBeforeProgramming(Keyboard& keyboard, const CliArguments& arguments)
{
    if (!keyboard.CanDownloadSequences()) {
        PrintMessage(LoadText(IDS_MSG_LEGACY_NO_READ_BACK));
        return ExitOk;
    }
    std::unique_ptr<Keyboard> backup;
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = ReadKeyboardBackup(keyboard, &bar, backup);
    bar.Finish();
    if (result != DeviceResultOk) {
        return ReportResult(result, backup ? *backup : keyboard, arguments);
    }
    const std::string& out = arguments.backup;
    if (!IsFolder(out)) {
        return SaveProject(*backup, out, 0);
    }
    if (!SaveBackupInFolder(*backup, out, std::time(nullptr), nullptr)) {
        PrintFileMessage(out, LoadText(IDS_MSG_CANNOT_SAVE), "");
        return ExitSaveFailed;
    }
    return ExitOk;
}

std::string Hex4(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string DescribeOsError(uint32_t code)
{
    return code >= kOsErrorOtherBase ? DescribeSystemError(static_cast<int>(code - kOsErrorOtherBase))
                                     : "error " + std::to_string(code);
}

// "usable", or why not and what to do about it.
std::string DescribeState(const KeyboardInterface& entry)
{
    switch (entry.state) {
    case InterfaceState::Usable:
        return "usable";
    case InterfaceState::NoFeatureReport:
        return "not the interface the keyboard is programmed through";
    case InterfaceState::OtherVendor:
        return "vendor id 0x" + Hex4(entry.vendorId) + " is not the one looked for; pass --vendor-id 0x" +
               Hex4(entry.vendorId) + " or set ZQ_VENDOR_ID";
    case InterfaceState::NotAnswering:
        return "no simulated keyboard answers at " + entry.path + "; start zqsim there";
    case InterfaceState::NoPermission:
        return std::string("no permission to read and write it; ") + kUdevHint;
    case InterfaceState::InUse:
        return "in use by another program; close it and try again";
    case InterfaceState::Unreadable:
        return "cannot be read (" + DescribeOsError(entry.osError) + ")";
    case InterfaceState::Failed:
        break;
    }
    return "cannot be opened (" + DescribeOsError(entry.osError) + ")";
}

} // namespace

int RunList(const CliArguments& arguments)
{
    const std::vector<KeyboardInterface> list = ListKeyboardInterfaces(GetVendorId(arguments));
    bool usable = false;
    std::vector<std::string> interfaces;
    for (const KeyboardInterface& entry : list) {
        const bool isUsable = entry.state == InterfaceState::Usable;
        const std::string state = DescribeState(entry);
        usable = usable || isUsable;
        const std::string feature =
            entry.featureReportLength != 0
                ? "feature " + std::to_string(entry.featureReportLength)
                : (entry.kind == HidInterfaceKind::LegacyDriver ? "driver" : "no feature report");
        if (arguments.json) {
            interfaces.push_back(
                JsonObject()
                    .Text("path", entry.path)
                    .Text("kind", entry.kind == HidInterfaceKind::LegacyDriver ? "driver" : "hid")
                    .Number("vendorId", entry.vendorId)
                    .Number("productId", entry.productId)
                    .Text("family", entry.family)
                    .Text("name", entry.name)
                    .Number("featureReportLength", entry.featureReportLength)
                    .Bool("usable", isUsable)
                    .Text("problem", isUsable ? "" : state)
                    .Str());
        } else {
            // Names and paths come from devices and the environment: no byte of theirs may act on
            // the terminal or break the columns.
            std::printf("%s\t%s:%s\t%s\t%s\t%s\t%s\n", EscapeControlCharacters(entry.path).c_str(),
                        Hex4(entry.vendorId).c_str(), Hex4(entry.productId).c_str(),
                        entry.family.empty() ? "-" : entry.family.c_str(),
                        entry.name.empty() ? "-" : EscapeControlCharacters(entry.name).c_str(),
                        feature.c_str(), EscapeControlCharacters(state).c_str());
        }
    }
    if (arguments.json) {
        std::printf("%s\n", JsonObject().Raw("interfaces", JsonArray(interfaces)).Str().c_str());
    }
    if (!usable && !arguments.json) {
        PrintMessage(GetResultMessage(DeviceResultNoDevice));
    }
    return usable ? static_cast<int>(ExitOk) : static_cast<int>(DeviceResultNoDevice);
}

int RunProgram(const CliArguments& arguments)
{
    OpenedProject project;
    uint8_t format = 0;
    const int status = OpenProject(arguments.operands[0], project, format);
    // A device command answers device result codes only.
    if (status == ExitCannotOpen) {
        return DeviceResultCannotOpenFile;
    }
    if (status != ExitOk) {
        return DeviceResultCorruptedFile;
    }
    Keyboard& keyboard = *project.keyboard;
    if (!keyboard.CanProgram()) {
        return RefuseUnsupported();
    }
    PrepareForDevice(keyboard, arguments);
    if (arguments.hasBackup) {
        const int backedUp = BackUpBeforeProgramming(keyboard, arguments);
        if (backedUp != ExitOk) {
            return backedUp;
        }
    }
    keyboard.SetVerifyAfterProgramming(!arguments.noVerify);
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = keyboard.Program(&bar);
    bar.Finish();
    return ReportResult(result, keyboard, arguments);
}

int RunDownload(const CliArguments& arguments)
{
    std::unique_ptr<Keyboard> keyboard = CreateForDevice(arguments);
    if (!keyboard) {
        return ExitUsage;
    }
    if (arguments.hasFormat &&
        !CheckFormat(*keyboard, arguments.format, GetUsageLine(CliCommand::Download))) {
        return ExitUsage;
    }
    if (!keyboard->CanDownloadSequences()) {
        return RefuseUnsupported();
    }
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = keyboard->DownloadSequences(&bar);
    bar.Finish();
    if (result != DeviceResultOk) {
        // A failed read leaves a partly decoded project: it is not saved.
        return ReportResult(result, *keyboard, arguments);
    }
    return SaveProjectChecked(*keyboard, arguments.output, arguments.format);
}

int RunFirmware(const CliArguments& arguments)
{
    std::unique_ptr<Keyboard> keyboard = CreateForDevice(arguments);
    if (!keyboard) {
        return ExitUsage;
    }
    if (!keyboard->CanUploadFirmware()) {
        return RefuseUnsupported();
    }
    const std::string& path = arguments.operands[1];
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = keyboard->UploadFirmware(path, &bar);
    bar.Finish();
    if (result == DeviceResultCannotOpenFile || result == DeviceResultCorruptedFile) {
        PrintFileMessage(path, GetResultMessage(result), keyboard->GetErrorText());
        return result;
    }
    return ReportResult(result, *keyboard, arguments);
}

int RunVersion(const CliArguments& arguments)
{
    std::unique_ptr<Keyboard> keyboard = CreateForDevice(arguments);
    if (!keyboard) {
        return ExitUsage;
    }
    if (!keyboard->CanShowFirmwareVersion()) {
        return RefuseUnsupported();
    }
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    std::string text;
    const int result = keyboard->GetFirmwareVersion(&bar, &text);
    bar.Finish();
    if (arguments.json) {
        JsonObject json;
        json.Number("status", result)
            .Raw("version", result == DeviceResultOk ? JsonString(text) : "null")
            .Text("message", FormatDeviceMessage(result, keyboard->GetErrorText()));
        std::printf("%s\n", json.Str().c_str());
    } else if (result == DeviceResultOk) {
        std::printf("%s\n", text.c_str());
    }
    return ReportResult(result, *keyboard, arguments);
}
