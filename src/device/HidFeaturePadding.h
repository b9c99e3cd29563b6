// Feature reports shorter than the interface's longest: Windows' HID class driver may refuse a
// buffer below FeatureReportByteLength, so such a call is tried again with the buffer padded.
#pragma once

#include <cstddef>
#include <cstdint>

// The answers of a refused short buffer: ERROR_INVALID_PARAMETER, ERROR_INVALID_USER_BUFFER.
constexpr uint32_t kHidErrorInvalidParameter = 87;
constexpr uint32_t kHidErrorInvalidUserBuffer = 1784;

// The buffer length for a second try after a feature call of length bytes failed with error, or
// 0 when there is none to make: the call failed for another reason or was long enough already.
size_t PaddedFeatureLength(uint32_t error, size_t length, uint16_t featureReportByteLength);
