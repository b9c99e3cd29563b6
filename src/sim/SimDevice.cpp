#include "sim/SimDevice.h"

#include "device/HidReports.h"
#include "device/OsError.h"
#include "device/SimulatorProtocol.h"
#include "device/UsbProgramming.h"
#include "sim/SimFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

using namespace SimulatorProtocol;

namespace {

constexpr size_t kAddressSpace = 0x10000;
// What Windows answers for a request the driver does not know or a parameter it refuses.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorInvalidParameter = 87;

SimReply ErrorReply(uint32_t error)
{
    SimReply reply;
    reply.error = error;
    return reply;
}

} // namespace

SimDevice::SimDevice(SimInterfaceConfig config) : m_config(std::move(config)), m_memory(kAddressSpace, 0) {}

bool SimDevice::Load(std::string& error)
{
    std::fill(m_memory.begin(), m_memory.end(), 0);
    const uint8_t header[] = {m_config.headerLength, m_config.firmwareVersion[0], m_config.firmwareVersion[1],
                              m_config.firmwareVersion[2]};
    WriteArea(UsbMemory::kHeaderLengthOffset, header, sizeof header);
    if (!m_config.memoryFile.empty()) {
        std::vector<uint8_t> data;
        if (!ReadWholeFile(m_config.memoryFile, AreaSize(), data, error)) {
            return false;
        }
        if (data.size() > AreaSize()) {
            error = "memory file " + m_config.memoryFile + " is larger than the memory area (" +
                    std::to_string(AreaSize()) + " bytes)";
            return false;
        }
        WriteArea(0, data.data(), data.size());
    }
    WriteArea(0, m_config.headerBytes.data(), m_config.headerBytes.size());
    if (m_config.headerLengthGiven) {
        WriteArea(UsbMemory::kHeaderLengthOffset, &m_config.headerLength, 1);
    }
    if (m_config.firmwareVersionGiven) {
        WriteArea(UsbMemory::kFirmwareVersionOffset, m_config.firmwareVersion.data(),
                  UsbMemory::kFirmwareVersionLength);
    }
    return true;
}

void SimDevice::OnConnect()
{
    m_dataPending = false;
    m_dataIn.fill(0);
    m_finalStatus = HidStatusDone;
    m_busyLeft = 0;
}

bool SimDevice::AcceptsConnections() const
{
    return !(m_gone && m_config.disconnectError == 0);
}

bool SimDevice::Take()
{
    if (m_held) {
        return m_holder == m_serving;
    }
    m_held = true;
    m_holder = m_serving;
    OnConnect();
    return true;
}

void SimDevice::EndConnection(uint64_t connection)
{
    if (m_held && m_holder == connection) {
        m_held = false;
    }
}

SimReply SimDevice::Handle(uint8_t opcode, const uint8_t* payload, size_t size)
{
    bool hidOp = opcode == kOpcodeSetFeature || opcode == kOpcodeGetFeature;
    bool legacyOp = opcode == kOpcodeLegacyVersion || opcode == kOpcodeLegacyWrite;
    if (opcode == kOpcodeInfo) {
        if (!AcceptsConnections()) {
            SimReply reply;
            reply.close = true;
            return reply;
        }
        if (size >= 1 && payload[0] == kInfoOpenForUse && !Take()) {
            return ErrorReply(kOsErrorInUse);
        }
        return Info();
    }
    if (!hidOp && !legacyOp) {
        return ErrorReply(kErrorInvalidFunction);
    }
    if (hidOp && (m_config.kind != kKindHid || m_config.featureLength == 0)) {
        return ErrorReply(kErrorInvalidFunction);
    }
    if (legacyOp && m_config.kind != kKindLegacy) {
        return ErrorReply(kErrorInvalidFunction);
    }
    if (!Take()) {
        return ErrorReply(kOsErrorInUse);
    }

    if (m_config.disconnectAfter && m_reportsServed >= *m_config.disconnectAfter) {
        m_gone = true;
    }
    if (m_gone) {
        SimReply reply = ErrorReply(m_config.disconnectError);
        reply.close = m_config.disconnectError == 0;
        return reply;
    }
    ++m_reportsServed;

    switch (opcode) {
    case kOpcodeSetFeature:
        return SetFeature(payload, size);
    case kOpcodeGetFeature:
        return GetFeature(payload, size);
    case kOpcodeLegacyVersion: {
        SimReply reply;
        reply.payload.push_back(m_config.legacyVersion);
        return reply;
    }
    default:
        return LegacyWrite(payload, size);
    }
}

SimReply SimDevice::Info() const
{
    HidInterfaceInfo info;
    info.vendorId = m_config.vendorId;
    info.productId = m_config.productId;
    info.featureReportByteLength = m_config.featureLength;
    info.kind = static_cast<HidInterfaceKind>(m_config.kind);
    info.name = m_config.name;
    SimReply reply;
    reply.payload = BuildInfoAnswer(info);
    return reply;
}

SimReply SimDevice::SetFeature(const uint8_t* report, size_t size)
{
    if (size == 0) {
        return ErrorReply(kErrorInvalidParameter);
    }
    if (report[kReportIdOffset] == kDataReportId) {
        m_dataOut.fill(0);
        size_t copied = std::min(size - kDataPayloadOffset, kDataPayloadLength);
        std::memcpy(m_dataOut.data(), report + kDataPayloadOffset, copied);
        m_dataPending = true;
        return {};
    }
    if (report[kReportIdOffset] == kCommandReportId) {
        // A short report reads as zeros beyond its end.
        uint8_t command[kCommandReportLength] = {};
        std::memcpy(command, report, std::min(size, kCommandReportLength));
        RunCommand(command[kCommandCodeOffset], GetU16(&command[kCommandAddressOffset]),
                   command[kCommandCountOffset]);
        return {};
    }
    return ErrorReply(kErrorInvalidParameter);
}

void SimDevice::Fill(SimReply& reply, const uint8_t* data, size_t size, uint8_t id)
{
    reply.payload[kReportIdOffset] = id;
    size_t copied = std::min(reply.payload.size() - 1, size);
    std::memcpy(reply.payload.data() + 1, data, copied);
}

SimReply SimDevice::GetFeature(const uint8_t* report, size_t size)
{
    if (size == 0) {
        return ErrorReply(kErrorInvalidParameter);
    }
    SimReply reply;
    reply.payload.assign(size, 0);
    if (report[kReportIdOffset] == kCommandReportId) {
        uint8_t status = m_finalStatus;
        if (m_busyLeft != 0) {
            status = HidStatusBusy;
            if (m_busyLeft > 0) {
                --m_busyLeft;
            }
        }
        Fill(reply, &status, 1, kCommandReportId);
        return reply;
    }
    if (report[kReportIdOffset] == kDataReportId) {
        Fill(reply, m_dataIn.data(), m_dataIn.size(), kDataReportId);
        return reply;
    }
    return ErrorReply(kErrorInvalidParameter);
}

SimReply SimDevice::LegacyWrite(const uint8_t* payload, size_t size)
{
    if (size != 1) {
        return ErrorReply(kErrorInvalidParameter);
    }
    m_legacyBytes.push_back(payload[0]);
    DumpQuietly(m_config.dumpLegacyFile, m_legacyBytes);
    return {};
}

void SimDevice::RunCommand(uint8_t code, uint16_t address, uint8_t count)
{
    ++m_commandsSeen;
    ++m_commandsSeenByCode[code];
    m_dataIn.fill(0);
    const SimFailRule* rule = MatchFailRule(code);
    uint8_t status = rule ? rule->status : uint8_t{HidStatusDone};
    if (status == HidStatusDone) {
        status = CarryOut(code, address, count);
    }
    m_dataPending = false;
    m_finalStatus = status;
    m_busyLeft = m_config.busyPolls[code < m_config.busyPolls.size() ? code : 0];
}

uint8_t SimDevice::CarryOut(uint8_t code, uint16_t address, uint8_t count)
{
    switch (code) {
    case HidCommandCommitFirmwareBlock:
        if (!m_dataPending) {
            return HidStatusFailed;
        }
        m_firmware.insert(m_firmware.end(), m_dataOut.begin(), m_dataOut.end());
        DumpQuietly(m_config.dumpFirmwareFile, m_firmware);
        return HidStatusDone;
    case HidCommandRequestRead:
        if (count == 0 || count > UsbMemory::kChunkSize) {
            return HidStatusFailed;
        }
        if (!InArea(address, count)) {
            return HidStatusNotAllowed;
        }
        std::memcpy(m_dataIn.data(), &m_memory[address], count);
        return HidStatusDone;
    case HidCommandConfirmWrite:
        if (count == 0 || count > UsbMemory::kChunkSize || !m_dataPending) {
            return HidStatusFailed;
        }
        if (!InArea(address, count)) {
            return HidStatusNotAllowed;
        }
        std::memcpy(&m_memory[address], m_dataOut.data(), count);
        if (m_config.corruptAddress && *m_config.corruptAddress >= address &&
            *m_config.corruptAddress < address + count) {
            m_memory[*m_config.corruptAddress] ^= 0xFF;
        }
        DumpQuietly(m_config.dumpMemoryFile, Area());
        return HidStatusDone;
    case HidCommandQueryMemoryMap:
        m_dataIn[kMemoryMapFormatVersionOffset] = m_config.formatVersion;
        PutU16(&m_dataIn[kMemoryMapStartAddressOffset], m_config.startAddress);
        PutU16(&m_dataIn[kMemoryMapEndAddressOffset], m_config.endAddress);
        return HidStatusDone;
    case HidCommandStartApplication:
        return HidStatusDone;
    default:
        return HidStatusFailed;
    }
}

const SimFailRule* SimDevice::MatchFailRule(uint8_t code) const
{
    for (const SimFailRule& rule : m_config.failRules) {
        uint32_t seen = rule.command == 0 ? m_commandsSeen : m_commandsSeenByCode[code];
        if ((rule.command == 0 || rule.command == code) && seen == rule.nth) {
            return &rule;
        }
    }
    return nullptr;
}

size_t SimDevice::AreaSize() const
{
    if (m_config.endAddress == 0 || m_config.endAddress < m_config.startAddress) {
        return 0;
    }
    return static_cast<size_t>(m_config.endAddress) - m_config.startAddress + 1;
}

bool SimDevice::InArea(uint32_t address, uint32_t count) const
{
    size_t size = AreaSize();
    return size != 0 && address >= m_config.startAddress && address + count <= m_config.startAddress + size;
}

void SimDevice::WriteArea(size_t offset, const uint8_t* data, size_t size)
{
    size_t area = AreaSize();
    if (size == 0 || offset >= area) {
        return;
    }
    size_t copied = std::min(size, area - offset);
    std::memcpy(&m_memory[m_config.startAddress + offset], data, copied);
}

std::vector<uint8_t> SimDevice::Area() const
{
    auto begin = m_memory.begin() + m_config.startAddress;
    return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(AreaSize()));
}

void SimDevice::DumpQuietly(const std::string& path, const std::vector<uint8_t>& data) const
{
    std::string error;
    if (!path.empty() && !WriteFileReplacing(path, data.data(), data.size(), error)) {
        std::fprintf(stderr, "zqsim: %s\n", error.c_str());
    }
}

bool SimDevice::DumpAll(std::string& error) const
{
    bool ok = true;
    const std::pair<const std::string*, std::vector<uint8_t>> dumps[] = {
        {&m_config.dumpMemoryFile, Area()},
        {&m_config.dumpFirmwareFile, m_firmware},
        {&m_config.dumpLegacyFile, m_legacyBytes},
    };
    for (const auto& [path, data] : dumps) {
        std::string failure;
        if (!path->empty() && !WriteFileReplacing(*path, data.data(), data.size(), failure)) {
            error += (error.empty() ? "" : "\n") + failure;
            ok = false;
        }
    }
    return ok;
}
