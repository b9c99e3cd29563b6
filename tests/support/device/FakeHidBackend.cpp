#include "device/FakeHidBackend.h"

#include "device/HidReports.h"
#include "device/OsError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

FakeHidBackend::FakeHidBackend() : m_memory(0x10000, 0), m_memoryMap(kMemoryMapLength, 0) {}

void FakeHidBackend::QueueStatuses(const std::vector<uint8_t>& statuses)
{
    m_queuedStatuses.insert(m_queuedStatuses.end(), statuses.begin(), statuses.end());
}

void FakeHidBackend::FailAtReport(size_t number, int errnoValue, bool sticky)
{
    m_failAt = number;
    m_failErrno = errnoValue;
    m_failSticky = sticky;
}

void FakeHidBackend::SetMemoryMap(uint8_t formatVersion, uint16_t startAddress, uint16_t endAddress)
{
    m_memoryMap[kMemoryMapFormatVersionOffset] = formatVersion;
    PutU16(&m_memoryMap[kMemoryMapStartAddressOffset], startAddress);
    PutU16(&m_memoryMap[kMemoryMapEndAddressOffset], endAddress);
}

bool FakeHidBackend::Enumerate(std::vector<HidInterfaceInfo>& interfaces)
{
    ++m_enumerationCount;
    interfaces.clear();
    if (m_enumerationFails) {
        return Fail(ENOMEM);
    }
    interfaces = m_interfaces;
    m_lastError = kOsErrorNone;
    return true;
}

HidHandle FakeHidBackend::Open(const std::string& path)
{
    const auto scripted = m_openErrors.find(path);
    if (scripted != m_openErrors.end()) {
        Fail(scripted->second);
        return kInvalidHidHandle;
    }
    if (m_heldElsewhere.count(path) != 0) {
        m_lastError = kOsErrorInUse;
        return kInvalidHidHandle;
    }
    const bool known = std::any_of(m_interfaces.begin(), m_interfaces.end(),
                                   [&](const HidInterfaceInfo& info) { return info.path == path; });
    if (!known) {
        Fail(ENOENT);
        return kInvalidHidHandle;
    }
    m_openedPaths.push_back(path);
    const HidHandle handle = m_nextHandle++;
    m_openHandles.insert(handle);
    m_lastError = kOsErrorNone;
    return handle;
}

void FakeHidBackend::Close(HidHandle handle)
{
    if (m_openHandles.erase(handle) != 0) {
        ++m_closeCount;
    }
}

bool FakeHidBackend::SetFeature(HidHandle handle, const uint8_t* report, size_t length)
{
    if (!Admit(true, handle, report, length)) {
        return false;
    }
    if (report[kReportIdOffset] == kDataReportId) {
        m_dataIn.assign(report + std::min(length, kDataPayloadOffset), report + length);
    } else if (report[kReportIdOffset] == kCommandReportId) {
        TakeCommand(report, length);
    }
    return true;
}

bool FakeHidBackend::GetFeature(HidHandle handle, uint8_t* report, size_t length)
{
    if (!Admit(false, handle, report, length)) {
        return false;
    }
    if (report[kReportIdOffset] == kCommandReportId) {
        AnswerStatus(report, length);
    } else if (report[kReportIdOffset] == kDataReportId) {
        AnswerData(report, length);
    }
    return true;
}

bool FakeHidBackend::Admit(bool set, HidHandle handle, const uint8_t* report, size_t length)
{
    Report record;
    record.set = set;
    if (report != nullptr) {
        record.bytes.assign(report, report + length);
    }
    const size_t number = m_reports.size() + 1;
    record.failed = m_failAt != 0 && (number == m_failAt || (m_failSticky && number > m_failAt));
    m_reports.push_back(record);
    if (record.failed) {
        return Fail(m_failErrno);
    }
    if (m_openHandles.count(handle) == 0) {
        return Fail(EBADF);
    }
    if (report == nullptr || length == 0) {
        return Fail(EINVAL);
    }
    m_lastError = kOsErrorNone;
    return true;
}

void FakeHidBackend::TakeCommand(const uint8_t* report, size_t length)
{
    m_command.assign(report, report + length);
    m_command.resize(kCommandReportLength, 0);
}

void FakeHidBackend::AnswerStatus(uint8_t* report, size_t length)
{
    uint8_t status = m_defaultStatus;
    if (!m_queuedStatuses.empty()) {
        status = m_queuedStatuses.front();
        m_queuedStatuses.pop_front();
    }
    std::fill(report + 1, report + length, 0);
    if (length > kStatusCodeOffset) {
        report[kStatusCodeOffset] = status;
    }
    if (status == HidStatusBusy || m_command.empty()) {
        return;
    }
    // The command takes effect only when the keyboard reports it done.
    const std::vector<uint8_t> command = std::move(m_command);
    m_command.clear();
    if (status != HidStatusDone) {
        return;
    }
    const uint16_t address = GetU16(&command[kCommandAddressOffset]);
    const size_t count = command[kCommandCountOffset];
    switch (command[kCommandCodeOffset]) {
    case HidCommandCommitFirmwareBlock:
        m_firmwareBlocks.push_back(m_dataIn);
        break;
    case HidCommandRequestRead:
        m_dataOut.assign(kDataPayloadLength, 0);
        for (size_t i = 0; i < std::min(count, kDataPayloadLength); ++i) {
            m_dataOut[i] = m_memory[(address + i) & 0xFFFF];
        }
        break;
    case HidCommandConfirmWrite:
        for (size_t i = 0; i < std::min(count, m_dataIn.size()); ++i) {
            const auto at = static_cast<uint16_t>(address + i);
            m_memory[at] = at == m_corruptAddress ? static_cast<uint8_t>(~m_dataIn[i]) : m_dataIn[i];
        }
        break;
    case HidCommandQueryMemoryMap:
        m_dataOut = m_memoryMap;
        break;
    case HidCommandStartApplication:
        ++m_applicationStarts;
        break;
    default:
        break;
    }
}

void FakeHidBackend::AnswerData(uint8_t* report, size_t length)
{
    std::vector<uint8_t> payload = m_dataOut;
    if (!m_queuedData.empty()) {
        payload = m_queuedData.front();
        m_queuedData.pop_front();
    }
    std::fill(report + 1, report + length, 0);
    const size_t room = length > kDataPayloadOffset ? length - kDataPayloadOffset : 0;
    const size_t count = std::min(room, payload.size());
    if (count != 0) {
        std::memcpy(report + kDataPayloadOffset, payload.data(), count);
    }
}

bool FakeHidBackend::Fail(int errnoValue)
{
    m_lastError = MapOsError(errnoValue);
    return false;
}
