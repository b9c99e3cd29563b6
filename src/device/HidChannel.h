// Feature-report transfers and the five keyboard commands over an opened HID interface.
#pragma once

#include "device/HidDevice.h"
#include "device/HidReports.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class ProgressSink;

class HidChannel : public HidDevice
{
public:
    // A keyboard answering busy for this long without a break fails the command with status 3.
    static constexpr uint64_t kBusyPollLimitMs = 10000;
    // After this long the user hears that the keyboard is busy, so that the wait is not taken for a hang.
    static constexpr uint64_t kBusyNoticeMs = 2000;
    // Once a stop is asked for, a busy keyboard gets this much longer, and the closing step as much
    // again: it may still get through, and the user is answered within half a second.
    static constexpr uint64_t kBusyAfterStopMs = 150;

    explicit HidChannel(HidBackend& backend);

    // Also forgets the memory map.
    void Close() override;

    // At most 136 payload bytes; more is refused without any I/O.
    bool SendData(const uint8_t* data, size_t length);
    // Copies the first length payload bytes (at most 136); zeros after a failed read.
    bool ReceiveData(uint8_t* buffer, size_t length);
    // Sends the command and polls the status until the keyboard is no longer busy; true only on done.
    bool Execute(const CommandReport& command);

    bool CommitFirmwareBlock();
    // Callers pass counts of 1 to 128.
    bool RequestRead(uint16_t address, uint8_t count);
    bool ConfirmWrite(uint16_t address, uint8_t count);
    bool StartApplication();
    // Asks the keyboard only while the cache is empty; an all-zero answer is not cached.
    bool QueryMemoryMap();

    // The last status answered; set to 1 before every command.
    uint8_t GetStatus() const { return m_status; }
    // The code of the last HID call (see OsError.h), whether it succeeded or not.
    uint32_t GetLastError() const { return m_lastError; }
    uint8_t GetFormatVersion() const { return m_formatVersion; }
    uint16_t GetStartAddress() const { return m_startAddress; }
    uint16_t GetEndAddress() const { return m_endAddress; }
    // end - start + 1, or 0 when end is 0; negative for a map whose end lies before its start.
    int32_t GetMemoryCapacity() const;

    // Told when the keyboard has been busy for kBusyNoticeMs; may be null.
    void SetProgressSink(ProgressSink* sink) { m_sink = sink; }
    // Reports sent and received since the channel was made.
    uint32_t GetReportCount() const { return m_reportCount; }

    // For tests: a millisecond clock and the sleep of the busy poll.
    void SetClock(std::function<uint64_t()> nowMs, std::function<void(uint32_t)> sleepMs);
    // Sleeps on the channel's clock, so that tests can skip the wait.
    void Pause(uint32_t milliseconds) { m_sleepMs(milliseconds); }

private:
    bool PollStatus();
    void ClearMemoryMap();

    uint8_t m_status = 0;
    uint32_t m_lastError = 0;
    uint8_t m_formatVersion = 0;
    uint16_t m_startAddress = 0;
    uint16_t m_endAddress = 0;
    ProgressSink* m_sink = nullptr;
    uint32_t m_reportCount = 0;
    std::function<uint64_t()> m_nowMs;
    std::function<void(uint32_t)> m_sleepMs;
};
