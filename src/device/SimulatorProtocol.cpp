#include "device/SimulatorProtocol.h"

#include "device/HidReports.h"

#include <algorithm>

namespace SimulatorProtocol {

namespace {

void PutU32(uint8_t* destination, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        destination[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t GetU32(const uint8_t* source)
{
    return static_cast<uint32_t>(source[0]) | static_cast<uint32_t>(source[1]) << 8 |
           static_cast<uint32_t>(source[2]) << 16 | static_cast<uint32_t>(source[3]) << 24;
}

} // namespace

void WriteRequestHeader(uint8_t* destination, const RequestHeader& header)
{
    destination[kRequestOpcodeOffset] = header.opcode;
    PutU16(destination + kRequestLengthOffset, header.length);
}

RequestHeader ReadRequestHeader(const uint8_t* source)
{
    RequestHeader header;
    header.opcode = source[kRequestOpcodeOffset];
    header.length = GetU16(source + kRequestLengthOffset);
    return header;
}

void WriteAnswerHeader(uint8_t* destination, const AnswerHeader& header)
{
    PutU32(destination + kAnswerErrorOffset, header.error);
    PutU16(destination + kAnswerLengthOffset, header.length);
}

AnswerHeader ReadAnswerHeader(const uint8_t* source)
{
    AnswerHeader header;
    header.error = GetU32(source + kAnswerErrorOffset);
    header.length = GetU16(source + kAnswerLengthOffset);
    return header;
}

std::vector<uint8_t> BuildInfoAnswer(const HidInterfaceInfo& info)
{
    const size_t nameLength = std::min(info.name.size(), kMaxPayloadLength - kInfoNameOffset);
    std::vector<uint8_t> payload(kInfoNameOffset + nameLength, 0);
    PutU16(&payload[kInfoVendorIdOffset], info.vendorId);
    PutU16(&payload[kInfoProductIdOffset], info.productId);
    PutU16(&payload[kInfoFeatureLengthOffset], info.featureReportByteLength);
    payload[kInfoKindOffset] = static_cast<uint8_t>(info.kind);
    std::copy_n(info.name.begin(), nameLength, payload.begin() + kInfoNameOffset);
    return payload;
}

bool ReadInfoAnswer(const uint8_t* payload, size_t length, HidInterfaceInfo& info)
{
    if (length < kInfoNameOffset) {
        return false;
    }
    const uint8_t kind = payload[kInfoKindOffset];
    if (kind != kKindHid && kind != kKindLegacy) {
        return false;
    }
    info.vendorId = GetU16(payload + kInfoVendorIdOffset);
    info.productId = GetU16(payload + kInfoProductIdOffset);
    info.featureReportByteLength = GetU16(payload + kInfoFeatureLengthOffset);
    info.kind = static_cast<HidInterfaceKind>(kind);
    info.name.assign(payload + kInfoNameOffset, payload + length);
    return true;
}

} // namespace SimulatorProtocol
