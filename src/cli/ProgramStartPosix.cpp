#include "cli/ProgramStart.h"

#include <climits>
#include <unistd.h>

std::vector<std::string> GetProgramArguments(int argc, char** argv)
{
    return argc > 0 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string GetProgramPath(const char* argv0)
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        return std::string(path, static_cast<size_t>(length));
    }
    return argv0 != nullptr ? argv0 : "";
}

void PrepareStandardStreams() {}
