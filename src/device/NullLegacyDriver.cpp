#include "device/NullLegacyDriver.h"

#include "device/OsError.h"

#include <cerrno>

bool NullLegacyDriver::Open()
{
    m_lastError = MapOsError(ENOENT);
    return false;
}

bool NullLegacyDriver::QueryVersion(uint8_t& version)
{
    version = 0;
    m_lastError = MapOsError(EBADF);
    return false;
}

bool NullLegacyDriver::WriteByte(uint8_t)
{
    m_lastError = MapOsError(EBADF);
    return false;
}
