// Byte layouts of the keyboards' HID feature reports: data (id 3), command and status (id 2), and the
// memory-map answer carried by a data report.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Data report, both directions.
constexpr uint8_t kDataReportId = 3;
constexpr size_t kDataReportLength = 137;
constexpr size_t kDataPayloadOffset = 1;
constexpr size_t kDataPayloadLength = kDataReportLength - kDataPayloadOffset;

// Command report (host to keyboard) and status report (keyboard to host).
constexpr uint8_t kCommandReportId = 2;
constexpr size_t kCommandReportLength = 8;
constexpr size_t kCommandCodeOffset = 1;
constexpr size_t kCommandAddressOffset = 2; // u16 little-endian
constexpr size_t kCommandCountOffset = 4;
constexpr size_t kStatusCodeOffset = 1;

constexpr size_t kReportIdOffset = 0;

enum HidCommand : uint8_t {
    HidCommandCommitFirmwareBlock = 1,
    HidCommandRequestRead = 2,
    HidCommandConfirmWrite = 3,
    HidCommandQueryMemoryMap = 4,
    HidCommandStartApplication = 5,
};

enum HidStatus : uint8_t {
    HidStatusDone = 1,
    HidStatusFailed = 2,
    HidStatusBusy = 3,
    HidStatusDenied = 4,
    HidStatusNotAllowed = 5,
    HidStatusProgrammingFailed = 6,
};

// Memory-map answer, offsets in the data payload.
constexpr size_t kMemoryMapFormatVersionOffset = 0;
constexpr size_t kMemoryMapStartAddressOffset = 1; // u16 little-endian
constexpr size_t kMemoryMapEndAddressOffset = 3;   // u16 little-endian, inclusive; 0 = no memory
constexpr size_t kMemoryMapLength = 5;

using CommandReport = std::array<uint8_t, kCommandReportLength>;

CommandReport BuildCommandReport(uint8_t command, uint16_t address, uint8_t count);
// The buffer the host hands over to read a status report: id 2, the rest 0.
CommandReport BuildStatusRequest();

struct HidReportLengths;
// Whether a parsed report descriptor declares both feature reports above, as the interface a
// keyboard is programmed through does; its typing and card reader interfaces do not.
bool DeclaresProgrammingReports(const HidReportLengths& lengths);

void PutU16(uint8_t* destination, uint16_t value);
uint16_t GetU16(const uint8_t* source);
