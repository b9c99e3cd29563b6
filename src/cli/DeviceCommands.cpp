// The commands that talk to a connected keyboard: list, program, download, firmware, version.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgressBar.h"
#include "cli/StopSignals.h"

#include "device/DeviceBackends.h"
#include "device/DeviceResult.h"
#include "device/DeviceSummary.h"
#include "device/KeyboardBackup.h"
#include "device/KeyboardInterfaces.h"
#include "device/OsError.h"
#include "device/SimulatorSocket.h"
#include "device/UsbVendorId.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"
#include "model/UsbKeyboard.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr const char* kUdevHint =
    "install the udev rule 70-zq-keyboards.rules (see the README) and plug the keyboard in again";

// The editor offers only the commands the project's keyboard supports; the tool answers the
// others with "Operation not supported" without touching any device.
int RefuseUnsupported()
{
    PrintMessage(GetResultMessage(DeviceResultNotSupported));
    return DeviceResultNotSupported;
}

// What to do about a simulator entry that gave no keyboard; the listing also says to start zqsim.
std::string DescribeSilentEntry(const std::string& path, uint32_t osError, bool inListing = false)
{
    SimulatorEndpoint endpoint;
    if (path.rfind(kSimulatorTcpPrefix, 0) == 0 && !ParseSimulatorEndpoint(path, endpoint)) {
        // Names are never looked up: only a loopback address in numbers keeps the keyboard local.
        return "use tcp:127.0.0.1:" + path.substr(path.rfind(':') + 1) + " instead of " + path;
    }
    if (osError == kOsErrorOtherBase + EACCES || osError == kOsErrorOtherBase + EPERM) {
        return "permission denied to open " + path;
    }
    return "no simulated keyboard answers at " + path + (inListing ? "; start zqsim there" : "");
}

// The simulator entries that gave no keyboard, with what to do about each: a missing keyboard
// there is no matter of USB cables.
std::vector<std::string> FindSilentSimulatorEntries(uint16_t vendorId)
{
    std::vector<std::string> silent;
    if (!IsSimulatorInUse()) {
        return silent;
    }
    for (const KeyboardInterface& entry : ListKeyboardInterfaces(vendorId)) {
        if (entry.state == InterfaceState::NotAnswering) {
            silent.push_back(DescribeSilentEntry(entry.path, entry.osError));
        }
    }
    return silent;
}

} // namespace

uint16_t GetVendorId(const CliArguments& arguments)
{
    return arguments.hasVendorId ? arguments.vendorId : kZqUsbVendorId;
}

void PrepareForDevice(Keyboard& keyboard, const CliArguments& arguments)
{
    ApplyVendorId(keyboard, GetVendorId(arguments));
    if (arguments.hasVendorId && !arguments.vendorIdFromEnvironment &&
        dynamic_cast<LegacyKeyboard*>(&keyboard) != nullptr) {
        PrintMessage("zqtool: --vendor-id does not apply to ZQ-1100 keyboards; it is ignored");
    }
}

int ReportResult(int result, const Keyboard& keyboard, const CliArguments& arguments,
                 const std::string& prefix)
{
    if (result == DeviceResultOk) {
        return result;
    }
    if (result == DeviceResultInterrupted && GetCaughtStopSignal() != 0) {
        PrintMessage(FormatDeviceMessage(result, keyboard.GetErrorText()));
        return ExitInterrupted + GetCaughtStopSignal();
    }
    std::string message = prefix + FormatDeviceMessage(result, keyboard.GetErrorText());
    if (result == DeviceResultNoDevice || result == DeviceResultZq1100NotFound ||
        result == DeviceResultNoDriver) {
        const std::vector<std::string> silent = FindSilentSimulatorEntries(GetVendorId(arguments));
        if (!silent.empty()) {
            // The first line says what failed; the hint after it would send the user to the cable.
            message = prefix + GetResultMessage(result);
            message = message.substr(0, message.find_first_of("\r\n"));
            for (const std::string& why : silent) {
                message += "\nzqtool: " + why;
            }
        }
    }
    PrintMessage(message);
    return result;
}

void PrepareBar(ProgressBar& bar, const Keyboard& keyboard)
{
    bar.SetBusyNotice(stderr, ReplaceFirst(LoadText(IDS_DEVICE_BUSY), "%n", GetFamilyName(keyboard)));
}

namespace {

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

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && EqualsIgnoringCase(text.substr(text.size() - end.size()), end);
}

// A backup goes into a folder unless OUT names a project file: an existing folder, a name ending
// in '/', or a missing path not ending in .zqp is a folder, made when missing, as the editor's is.
bool IsBackupFolder(const std::string& out)
{
    struct stat status;
    if (::stat(out.c_str(), &status) == 0) {
        return S_ISDIR(status.st_mode);
    }
    return out.back() == '/' || !EndsWith(out, ".zqp");
}

using Clock = std::chrono::steady_clock;

// A terminal hears what a successful command did and how long it took; scripts hear nothing.
void PrintSummary(int result, DeviceOperation operation, const Keyboard& keyboard, Clock::time_point start)
{
    if (result != DeviceResultOk || ProgressBar::TerminalOrNull(stderr) == nullptr) {
        return;
    }
    const std::chrono::duration<double> took = Clock::now() - start;
    PrintMessage(
        FormatDeviceSummary(operation, GetFamilyName(keyboard), keyboard.GetExchangeCount(), took.count()));
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
    PrepareBar(bar, keyboard);
    const int result = ReadKeyboardBackup(keyboard, &bar, backup);
    bar.Finish(result == DeviceResultOk);
    if (result != DeviceResultOk) {
        // The keyboard was not touched: the reading of the backup failed, not the programming.
        return ReportResult(result, backup ? *backup : keyboard, arguments, "backup: ");
    }
    const std::string& out = arguments.backup;
    if (!IsBackupFolder(out)) {
        return SaveProject(*backup, out, 0);
    }
    errno = 0;
    if (!SaveBackupInFolder(*backup, out, std::time(nullptr), nullptr)) {
        PrintFileMessage(out, LoadText(IDS_MSG_CANNOT_SAVE), errno != 0 ? DescribeSystemError(errno) : "");
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
        return DescribeSilentEntry(entry.path, entry.osError, true);
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
        // The lines above say why of each interface; the USB cable hint would mislead a ZQ-1100 user.
        const std::string message = GetResultMessage(DeviceResultNoDevice);
        PrintMessage(message.substr(0, message.find_first_of("\r\n")));
        if (list.empty()) {
            PrintMessage("zqtool: no keyboard interface at all: check the USB cable of a ZQ-2200 or ZQ-3300, "
                         "the driver of a ZQ-1100 (" +
                         GetPlatformLegacyDriverPath() + ")");
        }
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
    if (ProgramsSeveralKeyboards(arguments)) {
        return RunProgramSeveral(keyboard, arguments);
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
    PrepareBar(bar, keyboard);
    const Clock::time_point start = Clock::now();
    const int result = keyboard.Program(&bar);
    bar.Finish(result == DeviceResultOk);
    // Only a USB keyboard is read back.
    const bool verified = keyboard.GetVerifyAfterProgramming() && keyboard.CanDownloadSequences();
    PrintSummary(result, verified ? DeviceOperation::ProgramAndVerify : DeviceOperation::Program, keyboard,
                 start);
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
    PrepareBar(bar, *keyboard);
    const Clock::time_point start = Clock::now();
    const int result = keyboard->DownloadSequences(&bar);
    bar.Finish(result == DeviceResultOk);
    if (result != DeviceResultOk) {
        // A failed read leaves a partly decoded project: it is not saved.
        return ReportResult(result, *keyboard, arguments);
    }
    const int saved = SaveProjectChecked(*keyboard, arguments.output, arguments.format);
    PrintSummary(saved, DeviceOperation::Download, *keyboard, start);
    return saved;
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
    PrepareBar(bar, *keyboard);
    const Clock::time_point start = Clock::now();
    const int result = keyboard->UploadFirmware(path, &bar);
    bar.Finish(result == DeviceResultOk);
    PrintSummary(result, DeviceOperation::UploadFirmware, *keyboard, start);
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
    PrepareBar(bar, *keyboard);
    const Clock::time_point start = Clock::now();
    std::string text;
    const int result = keyboard->GetFirmwareVersion(&bar, &text);
    bar.Finish(result == DeviceResultOk);
    PrintSummary(result, DeviceOperation::ReadFirmwareVersion, *keyboard, start);
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
