#include "sim/SimFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Describe(const char* what, const std::string& path, int code)
{
    return std::string(what) + " " + path + ": " + std::strerror(code);
}

} // namespace

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& data, std::string& error)
{
    data.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Describe("cannot open", path, errno);
        return false;
    }
    uint8_t chunk[4096];
    while (data.size() <= maxBytes) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = Describe("cannot read", path, errno);
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        data.insert(data.end(), chunk, chunk + got);
    }
    if (data.size() > maxBytes + 1)
        data.resize(maxBytes + 1);
    if (::close(fd) != 0) {
        error = Describe("cannot close", path, errno);
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size, std::string& error)
{
    std::string temporary = path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = Describe("cannot create", temporary, errno);
        return false;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd, data + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            error = Describe("cannot write", temporary, put < 0 ? errno : EIO);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        done += static_cast<size_t>(put);
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
