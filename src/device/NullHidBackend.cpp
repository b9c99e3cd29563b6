#include "device/NullHidBackend.h"

#include "device/OsError.h"

#include <cerrno>

bool NullHidBackend::Enumerate(std::vector<HidInterfaceInfo>& interfaces)
{
    interfaces.clear();
    m_lastError = OsErrorNone;
    return true;
}

HidHandle NullHidBackend::Open(const std::string&)
{
    m_lastError = MapOsError(ENOENT);
    return InvalidHidHandle;
}

void NullHidBackend::Close(HidHandle) {}

bool NullHidBackend::SetFeature(HidHandle, const uint8_t*, size_t)
{
    m_lastError = MapOsError(EBADF);
    return false;
}

bool NullHidBackend::GetFeature(HidHandle, uint8_t*, size_t)
{
    m_lastError = MapOsError(EBADF);
    return false;
}
