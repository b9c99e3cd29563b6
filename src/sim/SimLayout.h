// Byte layouts the simulated keyboard speaks: feature reports, memory header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace SimLayout {

// Feature reports; byte 0 is the report id.
constexpr size_t kReportId = 0;
constexpr uint8_t kCommandReportId = 2;
constexpr size_t kCommandReportSize = 8;
constexpr size_t kCommandCode = 1;
constexpr size_t kCommandAddress = 2; // u16
constexpr size_t kCommandCount = 4;
constexpr size_t kStatusCode = 1;
constexpr uint8_t kDataReportId = 3;
constexpr size_t kDataReportSize = 137;
constexpr size_t kDataPayload = 1;
constexpr size_t kDataPayloadSize = 136;
constexpr size_t kMaxTransfer = 128;

// Memory-map answer, in the data payload.
constexpr size_t kMapFormatVersion = 0;
constexpr size_t kMapStartAddress = 1; // u16
constexpr size_t kMapEndAddress = 3;   // u16, inclusive; 0 = no memory
constexpr size_t kMapSize = 5;

// Memory header at the start of the programmable area.
constexpr size_t kHeaderLength = 0;
constexpr size_t kHeaderVersion = 1; // three bytes
constexpr size_t kHeaderVersionSize = 3;

constexpr uint8_t kCmdCommitFirmwareBlock = 1;
constexpr uint8_t kCmdRequestRead = 2;
constexpr uint8_t kCmdConfirmWrite = 3;
constexpr uint8_t kCmdQueryMemoryMap = 4;
constexpr uint8_t kCmdStartApplication = 5;
constexpr uint8_t kCommandCodeCount = 6; // codes 0..5; 0 is unknown

constexpr uint8_t kStatusDone = 1;
constexpr uint8_t kStatusFailed = 2;
constexpr uint8_t kStatusBusy = 3;
constexpr uint8_t kStatusNotAllowed = 5;

// OS error codes answered in the frame's error field.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorNotFunctioning = 31;
constexpr uint32_t kErrorInUse = 32; // ERROR_SHARING_VIOLATION
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorNotConnected = 1167;

inline uint16_t GetU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace SimLayout
