// The commands that talk to a connected keyboard: program, download, firmware, version.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgressBar.h"

#include "device/DeviceResult.h"
#include "device/KeyboardBackup.h"
#include "device/UsbVendorId.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/stat.h>

namespace {

// Every project a device command works on looks for the tool's vendor id, as the editor's do
// for the one its settings give.
void PrepareForDevice(Keyboard& keyboard, const CliArguments& arguments)
{
    ApplyVendorId(keyboard, arguments.hasVendorId ? arguments.vendorId : kZqUsbVendorId);
}

// The editor offers only the commands the project's keyboard supports; the tool answers the
// others with "Operation not supported" without touching any device.
int RefuseUnsupported()
{
    PrintMessage(GetResultMessage(DeviceResultNotSupported));
    return DeviceResultNotSupported;
}

int ReportResult(int result, const Keyboard& keyboard)
{
    if (result != DeviceResultOk) {
        PrintMessage(FormatDeviceMessage(result, keyboard.GetErrorText()));
    }
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
int BackUpBeforeProgramming(Keyboard& keyboard, const std::string& out)
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
        return ReportResult(result, backup ? *backup : keyboard);
    }
    if (!IsFolder(out)) {
        return SaveProject(*backup, out, 0);
    }
    if (!SaveBackupInFolder(*backup, out, std::time(nullptr), nullptr)) {
        PrintMessage(LoadText(IDS_MSG_CANNOT_SAVE));
        return ExitSaveFailed;
    }
    return ExitOk;
}

} // namespace

int RunProgram(const CliArguments& arguments)
{
    OpenedProject project;
    uint8_t format = 0;
    const int status = OpenProject(arguments.operands[0], project, format);
    if (status != ExitOk) {
        return status;
    }
    Keyboard& keyboard = *project.keyboard;
    if (!keyboard.CanProgram()) {
        return RefuseUnsupported();
    }
    PrepareForDevice(keyboard, arguments);
    if (arguments.hasBackup) {
        const int backedUp = BackUpBeforeProgramming(keyboard, arguments.backup);
        if (backedUp != ExitOk) {
            return backedUp;
        }
    }
    keyboard.SetVerifyAfterProgramming(!arguments.noVerify);
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = keyboard.Program(&bar);
    bar.Finish();
    return ReportResult(result, keyboard);
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
        return ReportResult(result, *keyboard);
    }
    return SaveProject(*keyboard, arguments.output, arguments.format);
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
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    const int result = keyboard->UploadFirmware(arguments.operands[1], &bar);
    bar.Finish();
    return ReportResult(result, *keyboard);
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
    if (result == DeviceResultOk) {
        std::printf("%s\n", text.c_str());
    }
    return ReportResult(result, *keyboard);
}
