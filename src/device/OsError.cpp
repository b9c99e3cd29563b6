#include "device/OsError.h"

#include <cerrno>

uint32_t MapOsError(int errnoValue)
{
    switch (errnoValue) {
    case 0:
        return OsErrorNone;
    case ENODEV:
    case ENXIO:
    case ENOENT:
        return OsErrorNotConnected;
    case EIO:
    case EPIPE:
    case EPROTO:
    case ETIMEDOUT:
        return OsErrorNotFunctioning;
    default:
        return OsErrorOtherBase + static_cast<uint32_t>(errnoValue < 0 ? -errnoValue : errnoValue);
    }
}
