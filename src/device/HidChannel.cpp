#include "device/HidChannel.h"

#include "device/DeviceStop.h"
#include "device/MessagePump.h"
#include "device/OsError.h"
#include "device/ProgressSink.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace {

using DataReport = std::array<uint8_t, kDataReportLength>;

uint64_t SteadyNowMs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SleepMs(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool FitsDataReport(size_t length)
{
    return length + kDataPayloadOffset <= kDataReportLength;
}

} // namespace

HidChannel::HidChannel(HidBackend& backend) : HidDevice(backend), m_nowMs(SteadyNowMs), m_sleepMs(SleepMs) {}

void HidChannel::Close()
{
    ClearMemoryMap();
    HidDevice::Close();
}

bool HidChannel::SendData(const uint8_t* data, size_t length)
{
    if (!FitsDataReport(length) || (data == nullptr && length != 0)) {
        return false;
    }
    if (!IsOpen()) {
        m_lastError = MapOsError(EBADF);
        return false;
    }
    DataReport report{};
    report[kReportIdOffset] = kDataReportId;
    if (length != 0) {
        std::memcpy(&report[kDataPayloadOffset], data, length);
    }
    const bool sent = m_backend.SetFeature(m_handle, report.data(), report.size());
    m_lastError = m_backend.GetLastError();
    ++m_reportCount;
    return sent;
}

bool HidChannel::ReceiveData(uint8_t* buffer, size_t length)
{
    if (!FitsDataReport(length) || (buffer == nullptr && length != 0)) {
        return false;
    }
    DataReport report{};
    report[kReportIdOffset] = kDataReportId;
    bool received = false;
    if (IsOpen()) {
        received = m_backend.GetFeature(m_handle, report.data(), report.size());
        m_lastError = m_backend.GetLastError();
        ++m_reportCount;
    } else {
        m_lastError = MapOsError(EBADF);
    }
    if (!received) {
        report.fill(0);
    }
    if (length != 0) {
        std::memcpy(buffer, &report[kDataPayloadOffset], length);
    }
    return received;
}

bool HidChannel::Execute(const CommandReport& command)
{
    m_status = HidStatusDone;
    if (!IsOpen()) {
        m_lastError = MapOsError(EBADF);
        return false;
    }
    bool result = m_backend.SetFeature(m_handle, command.data(), command.size());
    ++m_reportCount;
    if (result) {
        result = PollStatus() && m_status == HidStatusDone;
    }
    m_lastError = m_backend.GetLastError();
    return result;
}

bool HidChannel::PollStatus()
{
    CommandReport answer = BuildStatusRequest();
    bool read = m_backend.GetFeature(m_handle, answer.data(), answer.size());
    ++m_reportCount;
    const uint64_t busySince = m_nowMs();
    uint64_t limit = kBusyPollLimitMs;
    bool noticed = false;
    while (read && answer[kStatusCodeOffset] == HidStatusBusy) {
        const uint64_t busyFor = m_nowMs() - busySince;
        if (IsDeviceStopRequested() && limit == kBusyPollLimitMs) {
            limit = std::min(limit, busyFor + kBusyAfterStopMs);
        }
        if (busyFor >= limit) {
            m_status = HidStatusBusy;
            return false;
        }
        if (!noticed && busyFor >= kBusyNoticeMs && m_sink != nullptr) {
            m_sink->KeyboardBusy();
            noticed = true;
        }
        PumpMessages();
        m_sleepMs(1);
        answer = BuildStatusRequest();
        read = m_backend.GetFeature(m_handle, answer.data(), answer.size());
        ++m_reportCount;
    }
    if (!read) {
        return false;
    }
    m_status = answer[kStatusCodeOffset];
    return true;
}

bool HidChannel::CommitFirmwareBlock()
{
    return Execute(BuildCommandReport(HidCommandCommitFirmwareBlock, 0, 0));
}

bool HidChannel::RequestRead(uint16_t address, uint8_t count)
{
    return Execute(BuildCommandReport(HidCommandRequestRead, address, count));
}

bool HidChannel::ConfirmWrite(uint16_t address, uint8_t count)
{
    return Execute(BuildCommandReport(HidCommandConfirmWrite, address, count));
}

bool HidChannel::StartApplication()
{
    return Execute(BuildCommandReport(HidCommandStartApplication, 0, 0));
}

bool HidChannel::QueryMemoryMap()
{
    if (m_formatVersion != 0 || m_startAddress != 0 || m_endAddress != 0) {
        return true;
    }
    if (!Execute(BuildCommandReport(HidCommandQueryMemoryMap, 0, 0))) {
        return false;
    }
    uint8_t answer[kMemoryMapLength] = {};
    if (!ReceiveData(answer, sizeof answer)) {
        return false;
    }
    m_formatVersion = answer[kMemoryMapFormatVersionOffset];
    m_startAddress = GetU16(&answer[kMemoryMapStartAddressOffset]);
    m_endAddress = GetU16(&answer[kMemoryMapEndAddressOffset]);
    return true;
}

int32_t HidChannel::GetMemoryCapacity() const
{
    if (m_endAddress == 0) {
        return 0;
    }
    return static_cast<int32_t>(m_endAddress) - static_cast<int32_t>(m_startAddress) + 1;
}

void HidChannel::SetClock(std::function<uint64_t()> nowMs, std::function<void(uint32_t)> sleepMs)
{
    m_nowMs = nowMs ? std::move(nowMs) : SteadyNowMs;
    m_sleepMs = sleepMs ? std::move(sleepMs) : SleepMs;
}

void HidChannel::ClearMemoryMap()
{
    m_formatVersion = 0;
    m_startAddress = 0;
    m_endAddress = 0;
}
