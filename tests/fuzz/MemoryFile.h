// Fuzz input handed to file readers through an anonymous in-memory file: nothing is left
// behind in a temporary folder, however the fuzzer ends.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// Replaces the content of the process's one in-memory file by the bytes and answers a path
// that opens it. Every call reuses the same file, so a reader must be done with the last one.
inline std::string WriteMemoryFile(const void* data, size_t size)
{
    static const int handle = [] {
        const int created = ::memfd_create("zq-fuzz-input", MFD_CLOEXEC);
        if (created < 0) {
            std::abort();
        }
        return created;
    }();
    if (::ftruncate(handle, 0) != 0) {
        std::abort();
    }
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(handle, bytes + done, size - done, static_cast<off_t>(done));
        if (put <= 0) {
            std::abort();
        }
        done += static_cast<size_t>(put);
    }
    return "/proc/self/fd/" + std::to_string(handle);
}
