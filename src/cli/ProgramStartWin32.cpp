#include "cli/ProgramStart.h"

#include "io/WidePathWin32.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {
// The longest path the wide calls take.
constexpr size_t kLongestPath = 32768;
} // namespace

// argv holds the arguments in the ANSI code page, which cannot name every file: the wide
// command line can.
std::vector<std::string> GetProgramArguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return argc > 0 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(WideToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

std::string GetProgramPath(const char* argv0)
{
    // Long paths need more than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    while (path.size() <= kLongestPath) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            break;
        }
        if (length < path.size()) {
            path.resize(length);
            const std::string name = WideToUtf8(path);
            if (!name.empty()) {
                return name;
            }
            break;
        }
        path.resize(path.size() * 2);
    }
    return argv0 != nullptr ? argv0 : "";
}

void PrepareStandardStreams()
{
    // Failures leave the streams as they were: text mode still shows every message.
    (void)::_setmode(::_fileno(stdout), _O_BINARY);
    (void)::_setmode(::_fileno(stderr), _O_BINARY);
    (void)::SetConsoleOutputCP(CP_UTF8);
}
