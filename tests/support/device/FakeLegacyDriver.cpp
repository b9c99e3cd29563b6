#include "device/FakeLegacyDriver.h"

#include "device/OsError.h"

#include <cerrno>

void FakeLegacyDriver::FailAtWrite(size_t number, int errnoValue)
{
    m_failAt = number;
    m_failErrno = errnoValue;
}

bool FakeLegacyDriver::Open()
{
    if (m_openFails || m_open) {
        return Fail(m_open ? EBUSY : ENOENT);
    }
    m_open = true;
    ++m_openCount;
    m_lastError = kOsErrorNone;
    return true;
}

void FakeLegacyDriver::Close()
{
    if (m_open) {
        m_open = false;
        ++m_closeCount;
    }
}

bool FakeLegacyDriver::QueryVersion(uint8_t& version)
{
    version = 0;
    if (!m_open) {
        return Fail(EBADF);
    }
    if (m_versionFails) {
        return Fail(EIO);
    }
    version = m_version;
    m_lastError = kOsErrorNone;
    return true;
}

bool FakeLegacyDriver::WriteByte(uint8_t value)
{
    if (!m_open) {
        return Fail(EBADF);
    }
    ++m_writeCount;
    if (m_failAt != 0 && m_writeCount >= m_failAt) {
        return Fail(m_failErrno);
    }
    m_written.push_back(value);
    m_lastError = kOsErrorNone;
    return true;
}

bool FakeLegacyDriver::Fail(int errnoValue)
{
    m_lastError = MapOsError(errnoValue);
    return false;
}
