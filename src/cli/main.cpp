// zqtool: the command-line companion of the ZQ programmer.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliProject.h"

#include "lang/Texts.h"

#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The real executable, so a language file beside it applies whatever path started it.
std::string GetProgramPath(const char* argv0)
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        return std::string(path, static_cast<size_t>(length));
    }
    return argv0 != nullptr ? argv0 : "";
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
    case CliCommand::Program:
        return RunProgram(arguments);
    case CliCommand::Download:
        return RunDownload(arguments);
    case CliCommand::Firmware:
        return RunFirmware(arguments);
    case CliCommand::Version:
        return RunVersion(arguments);
    case CliCommand::None:
        break;
    }
    return ExitUsage;
}

int main(int argc, char** argv)
{
    LoadLanguageFileForProgram(GetProgramPath(argc > 0 ? argv[0] : nullptr));

    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    CliArguments arguments;
    std::string error;
    if (!ParseCliArguments(words, arguments, error)) {
        return PrintUsageError(error, GetUsageLine(arguments.command));
    }
    if (arguments.version) {
        std::printf("zqtool %s\n", ZQ_VERSION_TEXT);
        return ExitOk;
    }
    if (arguments.help) {
        std::fputs(GetHelpText(arguments.command).c_str(), stdout);
        return ExitOk;
    }
    return RunCommand(arguments);
}
