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

namespace {

// The name the program was started by; empty when the system cannot tell.
std::wstring ModuleFileName()
{
    // Long paths need more than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    while (path.size() <= kLongestPath) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
    return {};
}

// The file behind links and junctions, in its plain drive-letter form; empty when unknown.
std::wstring FinalPathOf(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring final(kLongestPath, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    ::CloseHandle(file);
    if (length == 0 || length >= final.size()) {
        return {};
    }
    final.resize(length);
    const std::wstring longPrefix = L"\\\\?\\", uncPrefix = L"\\\\?\\UNC\\";
    if (final.rfind(uncPrefix, 0) == 0) {
        return L"\\\\" + final.substr(uncPrefix.size());
    }
    return final.rfind(longPrefix, 0) == 0 ? final.substr(longPrefix.size()) : final;
}

} // namespace

std::string GetProgramPath(const char* argv0)
{
    const std::wstring started = ModuleFileName();
    const std::wstring final = started.empty() ? started : FinalPathOf(started);
    const std::string name = WideToUtf8(final.empty() ? started : final);
    if (!name.empty()) {
        return name;
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
