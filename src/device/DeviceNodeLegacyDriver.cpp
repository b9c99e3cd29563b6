#include "device/DeviceNodeLegacyDriver.h"

#include "device/OsError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

DeviceNodeLegacyDriver::DeviceNodeLegacyDriver(std::string path) : m_path(std::move(path)) {}

DeviceNodeLegacyDriver::~DeviceNodeLegacyDriver()
{
    Close();
}

bool DeviceNodeLegacyDriver::Open()
{
    if (m_fd >= 0) {
        m_lastError = MapOsError(EBUSY);
        return false;
    }
    int fd;
    do {
        fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_lastError = MapOsError(errno);
        return false;
    }
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked < 0 && errno == EINTR);
    if (locked < 0) {
        // Held by someone else: the driver device is not shared.
        const int lockError = errno == EWOULDBLOCK ? EBUSY : errno;
        (void)close(fd);
        m_lastError = MapOsError(lockError);
        return false;
    }
    m_fd = fd;
    m_lastError = kOsErrorNone;
    return true;
}

void DeviceNodeLegacyDriver::Close()
{
    if (m_fd < 0) {
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    // Not retried on EINTR: Linux frees the descriptor whatever close answers; the lock goes with it.
    m_lastError = close(fd) == 0 ? kOsErrorNone : MapOsError(errno);
}

bool DeviceNodeLegacyDriver::QueryVersion(uint8_t& version)
{
    version = 0;
    uint8_t answer = 0;
    const int count = Control(kLegacyDriverQueryVersion, &answer);
    if (count < 0) {
        return false;
    }
    if (count != 1) {
        m_lastError = kOsErrorNotFunctioning;
        return false;
    }
    version = answer;
    return true;
}

bool DeviceNodeLegacyDriver::WriteByte(uint8_t value)
{
    uint8_t byte = value;
    return Control(kLegacyDriverWriteByte, &byte) >= 0;
}

int DeviceNodeLegacyDriver::Control(unsigned long request, uint8_t* byte)
{
    if (m_fd < 0) {
        m_lastError = MapOsError(EBADF);
        return -1;
    }
    int result;
    do {
        result = ioctl(m_fd, request, byte);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        m_lastError = MapOsError(errno);
        return -1;
    }
    m_lastError = kOsErrorNone;
    return result;
}
