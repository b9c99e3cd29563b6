// The socket frames between the program and a simulated keyboard (zqsim), for both sides.
// Request: u8 opcode, u16 n, n payload bytes. Answer: u32 error, u16 m, m payload bytes.
// All integers are little-endian.
#pragma once

#include "device/HidBackend.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace SimulatorProtocol {

constexpr size_t kRequestHeaderLength = 3;
constexpr size_t kRequestOpcodeOffset = 0;
constexpr size_t kRequestLengthOffset = 1; // u16
constexpr size_t kAnswerHeaderLength = 6;
constexpr size_t kAnswerErrorOffset = 0;  // u32, 0 or the OS error code the host records
constexpr size_t kAnswerLengthOffset = 4; // u16
constexpr size_t kMaxPayloadLength = 0xFFFF;

constexpr uint8_t kOpcodeInfo = 'I';
constexpr uint8_t kOpcodeSetFeature = 'S';
constexpr uint8_t kOpcodeGetFeature = 'G';
constexpr uint8_t kOpcodeLegacyVersion = 'V';
constexpr uint8_t kOpcodeLegacyWrite = 'W';
// Optional request payload byte of 'I': the connection opens the device for its own use.
constexpr uint8_t kInfoOpenForUse = 1;

// Info answer: u16 vendor id, u16 product id, u16 feature report length (0: none), u8 kind, then
// the device name in UTF-8 up to the end of the payload.
constexpr size_t kInfoVendorIdOffset = 0;
constexpr size_t kInfoProductIdOffset = 2;
constexpr size_t kInfoFeatureLengthOffset = 4;
constexpr size_t kInfoKindOffset = 6;
constexpr size_t kInfoNameOffset = 7;
constexpr uint8_t kKindHid = static_cast<uint8_t>(HidInterfaceKind::Hid);
constexpr uint8_t kKindLegacy = static_cast<uint8_t>(HidInterfaceKind::LegacyDriver);

struct RequestHeader
{
    uint8_t opcode = 0;
    uint16_t length = 0;
};

struct AnswerHeader
{
    uint32_t error = 0;
    uint16_t length = 0;
};

// Header readers and writers work on kRequestHeaderLength or kAnswerHeaderLength bytes.
void WriteRequestHeader(uint8_t* destination, const RequestHeader& header);
RequestHeader ReadRequestHeader(const uint8_t* source);
void WriteAnswerHeader(uint8_t* destination, const AnswerHeader& header);
AnswerHeader ReadAnswerHeader(const uint8_t* source);

// The info payload; a name too long for one frame is cut.
std::vector<uint8_t> BuildInfoAnswer(const HidInterfaceInfo& info);
// False for a payload shorter than the fixed fields or an unknown kind; info is then unchanged.
// info.path is never touched.
bool ReadInfoAnswer(const uint8_t* payload, size_t length, HidInterfaceInfo& info);

} // namespace SimulatorProtocol
