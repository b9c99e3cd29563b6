// Inputs that are no ordinary file, for the tests of every reader: a FIFO nobody writes to, a
// folder, endless devices (the NUL device on Windows), and sparse files beyond 32-bit sizes.
#pragma once

#include "TempFolder.h"

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

constexpr uint64_t kFourGiB = uint64_t{1} << 32;

// Made in the folder where needed; devices the system lacks are left out.
inline std::vector<std::string> MakeNonRegularInputs(const TempFolder& folder)
{
    std::vector<std::string> paths;
#ifndef _WIN32
    const std::string fifo = folder.File("fifo");
    if (::mkfifo(fifo.c_str(), 0600) == 0) {
        paths.push_back(fifo);
    }
#endif
    const std::string subfolder = folder.File("folder");
    std::error_code ignored;
    if (std::filesystem::create_directory(subfolder, ignored)) {
        paths.push_back(subfolder);
    }
#ifdef _WIN32
    paths.emplace_back("NUL");
#else
    for (const char* device : {"/dev/null", "/dev/zero"}) {
        if (std::filesystem::exists(device, ignored)) {
            paths.emplace_back(device);
        }
    }
#endif
    return paths;
}

// A file of that size that takes no room on disk: zeros after the given start.
inline bool MakeSparseFile(const std::string& path, uint64_t size, const std::string& start = {})
{
#ifdef _WIN32
    std::error_code error;
    if (!WriteWholeFile(path, start)) {
        return false;
    }
    std::filesystem::resize_file(path, size, error);
    return !error;
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    bool made = ::write(fd, start.data(), start.size()) == static_cast<ssize_t>(start.size()) &&
                ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    made = ::close(fd) == 0 && made;
    return made;
#endif
}
