#include "device/OsError.h"

#include <cerrno>

uint32_t MapOsError(int errnoValue)
{
    switch (errnoValue) {
    case 0:
        return kOsErrorNone;
    case ENODEV:
    case ENXIO:
    case ENOENT:
        return kOsErrorNotConnected;
    case EIO:
    case EPIPE:
    case EPROTO:
    case ETIMEDOUT:
        return kOsErrorNotFunctioning;
    default:
        return kOsErrorOtherBase + static_cast<uint32_t>(errnoValue < 0 ? -errnoValue : errnoValue);
    }
}
