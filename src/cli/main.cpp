// zqtool: the command-line companion of the ZQ programmer.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgramStart.h"
#include "cli/StopSignals.h"

#include "device/DeviceBackends.h"
#include "device/UsbVendorId.h"
#include "lang/Texts.h"
#include "lang/Translations.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsDeviceCommand(CliCommand command)
{
    return command == CliCommand::Program || command == CliCommand::Download ||
           command == CliCommand::Firmware || command == CliCommand::Version || command == CliCommand::List ||
           command == CliCommand::Diff;
}

// ZQ_VENDOR_ID stands in for --vendor-id; a value that is no id is as wrong as a bad option.
bool ApplyVendorIdVariable(CliArguments& arguments)
{
    const char* value = std::getenv(kVendorIdVariable);
    if (arguments.hasVendorId || value == nullptr || !IsDeviceCommand(arguments.command)) {
        return true;
    }
    if (!ParseVendorId(value, arguments.vendorId)) {
        PrintUsageError(std::string("invalid value '") + value + "' for " + kVendorIdVariable +
                            " (1 to 0xFFFF, decimal or 0x hexadecimal)",
                        GetUsageLine(arguments.command));
        return false;
    }
    arguments.hasVendorId = true;
    arguments.vendorIdFromEnvironment = true;
    return true;
}

} // namespace

int RunCommand(const CliArguments& arguments)
{
    switch (arguments.command) {
    case CliCommand::Types:
        return RunTypes(arguments);
    case CliCommand::New:
        return RunNew(arguments);
    case CliCommand::Check:
        return RunCheck(arguments);
    case CliCommand::Convert:
        return RunConvert(arguments);
    case CliCommand::Image:
        return RunImage(arguments);
    case CliCommand::List:
        return RunList(arguments);
    case CliCommand::Codes:
        return RunCodes(arguments);
    case CliCommand::Program:
        return RunProgram(arguments);
    case CliCommand::Download:
        return RunDownload(arguments);
    case CliCommand::Firmware:
        return RunFirmware(arguments);
    case CliCommand::Version:
        return RunVersion(arguments);
    case CliCommand::Diff:
        return RunDiff(arguments);
    case CliCommand::None:
        break;
    }
    return ExitUsage;
}

int main(int argc, char** argv)
{
    PrepareStandardStreams();
    const std::string program = GetProgramPath(argc > 0 ? argv[0] : nullptr);
    LoadLanguageFileForProgram(program);
    const char* wanted = std::getenv("ZQ_LANGUAGE");
    InstallTranslation(GetTranslationFolders(program.substr(0, program.find_last_of("/\\"))),
                       wanted != nullptr ? wanted : "", GetEnvironmentLocale());

    const std::vector<std::string> words = GetProgramArguments(argc, argv);
    CliArguments arguments;
    std::string error;
    if (!ParseCliArguments(words, arguments, error)) {
        return PrintUsageError(error, GetUsageLine(arguments.command));
    }
    if (arguments.version) {
        std::printf("zqtool %s\n", ZQ_VERSION_TEXT);
        return FinishOutput(ExitOk);
    }
    if (arguments.help) {
        std::fputs(GetHelpText(arguments.command).c_str(), stdout);
        return FinishOutput(ExitOk);
    }
    if (!ApplyVendorIdVariable(arguments)) {
        return ExitUsage;
    }
    // Several keyboards each get a channel of their own.
    if (arguments.devices.size() == 1) {
        ChooseDeviceInterface(arguments.device);
    }
    if (IsDeviceCommand(arguments.command)) {
        CatchStopSignals();
    }
    return FinishOutput(RunCommand(arguments));
}
