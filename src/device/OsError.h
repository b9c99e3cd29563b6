// Platform errors as the Windows-shaped codes the keyboard error text knows.
#pragma once

#include <cstdint>

constexpr uint32_t kOsErrorNone = 0;
constexpr uint32_t kOsErrorNotFunctioning = 31; // ERROR_GEN_FAILURE
constexpr uint32_t kOsErrorNotConnected = 1167; // ERROR_DEVICE_NOT_CONNECTED
// ERROR_SHARING_VIOLATION: another program holds the keyboard open. Only an exclusive open gives it;
// MapOsError never does (EBUSY from a report is no such thing).
constexpr uint32_t kOsErrorInUse = 32;
// Other errno values are kept above this base so that they never read as 31 or 1167
// (EMLINK is 31 on Linux).
constexpr uint32_t kOsErrorOtherBase = 0x20000000;

// On Windows the system's own codes (GetLastError, WSAGetLastError) are these already and are
// kept as they are; errno values still go through MapOsError.

// Maps an errno value: device gone -> 1167, I/O failure -> 31, 0 -> 0, anything else to
// kOsErrorOtherBase + errno, which the error text does not record.
uint32_t MapOsError(int errnoValue);
