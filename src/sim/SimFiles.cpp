#include "sim/SimFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Describe(const char* what, const std::string& path, int code)
{
    return std::string(what) + " " + path + ": " + std::strerror(code);
}

// A fresh name beside the target: two simulators dumping to one path never share a temporary file,
// and nothing planted under the name is followed.
int CreateTemporary(const std::string& path, std::string& temporary)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1; // errno is still EEXIST
}

} // namespace

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& data, std::string& error)
{
    data.clear();
    // Without blocking, so that a FIFO with no writer cannot hang the start.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = Describe("cannot open", path, errno);
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "cannot read " + path + ": not a regular file";
        ::close(fd);
        return false;
    }
    uint8_t chunk[4096];
    while (data.size() <= maxBytes) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = Describe("cannot read", path, errno);
            ::close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    if (data.size() > maxBytes + 1) {
        data.resize(maxBytes + 1);
    }
    if (::close(fd) != 0) {
        error = Describe("cannot close", path, errno);
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size, std::string& error)
{
    std::string temporary;
    int fd = CreateTemporary(path, temporary);
    if (fd < 0) {
        error = Describe("cannot create", temporary, errno);
        return false;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd, data + done, size - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error = Describe("cannot write", temporary, put < 0 ? errno : EIO);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        done += static_cast<size_t>(put);
    }
    // On disk before the rename, or a crash could leave an empty dump in place of the last one.
    if (::fsync(fd) != 0) {
        error = Describe("cannot sync", temporary, errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        error = Describe("cannot close", temporary, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Describe("cannot replace", path, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
