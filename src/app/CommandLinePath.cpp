#include "app/CommandLinePath.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string MakeAbsolutePath(const std::string& path, const std::string& currentFolder)
{
    if (path.empty() || path.front() == '/' || currentFolder.empty()) {
        return path;
    }
    std::string result = currentFolder;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            if (result.back() != '/') {
                result.push_back('/');
            }
            result += part;
        }
        start = end + 1;
    }
    return result;
}

std::string GetCurrentFolder()
{
    std::error_code error;
    const char* shell = std::getenv("PWD");
    if (shell != nullptr && shell[0] == '/' && std::filesystem::equivalent(shell, ".", error)) {
        return shell;
    }
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}
