// An in-process keyboard for tests: scripted interfaces, status answers and failures, a device memory
// that answers reads and takes writes, and a record of every report, byte for byte.
#pragma once

#include "device/HidBackend.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class FakeHidBackend : public HidBackend
{
public:
    struct Report
    {
        bool set = false;           // SetFeature; otherwise GetFeature with the host's buffer
        std::vector<uint8_t> bytes; // as the host handed them over
        bool failed = false;
    };

    FakeHidBackend();

    // Scripting.
    void AddInterface(const HidInterfaceInfo& info) { m_interfaces.push_back(info); }
    void SetEnumerationFails(bool fails) { m_enumerationFails = fails; }
    void SetOpenError(const std::string& path, int errnoValue) { m_openErrors[path] = errnoValue; }
    // Opening the interface fails as an exclusive open of one another program holds.
    void SetHeldElsewhere(const std::string& path) { m_heldElsewhere.insert(path); }
    // Answered in order by status reads; once used up the default status is answered.
    void QueueStatuses(const std::vector<uint8_t>& statuses);
    // 1 (done) at first; 3 makes the keyboard busy for ever.
    void SetDefaultStatus(uint8_t status) { m_defaultStatus = status; }
    // Answered by the next data report reads in place of what the last command prepared.
    void QueueData(const std::vector<uint8_t>& payload) { m_queuedData.push_back(payload); }
    // The report with this 1-based number (set and get counted together) fails with errnoValue, and
    // every later one too when sticky.
    void FailAtReport(size_t number, int errnoValue, bool sticky = true);
    void SetMemoryMap(uint8_t formatVersion, uint16_t startAddress, uint16_t endAddress);
    // A write covering the address stores the complement of the byte it carries there.
    void CorruptStoredByte(uint16_t address) { m_corruptAddress = address; }
    // The keyboard's 64 KiB address space.
    std::vector<uint8_t>& Memory() { return m_memory; }

    // Observation.
    const std::vector<Report>& Reports() const { return m_reports; }
    void ClearReports() { m_reports.clear(); }
    const std::vector<std::vector<uint8_t>>& FirmwareBlocks() const { return m_firmwareBlocks; }
    const std::vector<std::string>& OpenedPaths() const { return m_openedPaths; }
    size_t OpenHandleCount() const { return m_openHandles.size(); }
    size_t CloseCount() const { return m_closeCount; }
    size_t EnumerationCount() const { return m_enumerationCount; }
    size_t ApplicationStarts() const { return m_applicationStarts; }

    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    bool Admit(bool set, HidHandle handle, const uint8_t* report, size_t length);
    void TakeCommand(const uint8_t* report, size_t length);
    void AnswerStatus(uint8_t* report, size_t length);
    void AnswerData(uint8_t* report, size_t length);
    bool Fail(int errnoValue);

    std::vector<HidInterfaceInfo> m_interfaces;
    bool m_enumerationFails = false;
    std::map<std::string, int> m_openErrors;
    std::set<std::string> m_heldElsewhere;
    std::deque<uint8_t> m_queuedStatuses;
    uint8_t m_defaultStatus = 1;
    std::deque<std::vector<uint8_t>> m_queuedData;
    size_t m_failAt = 0;
    int m_failErrno = 0;
    bool m_failSticky = true;

    std::vector<uint8_t> m_memory;
    std::optional<uint16_t> m_corruptAddress;
    std::vector<uint8_t> m_memoryMap;
    std::vector<uint8_t> m_dataIn;  // the last data report sent by the host
    std::vector<uint8_t> m_dataOut; // what the next data report read answers
    std::vector<uint8_t> m_command; // waiting for its status to say done
    std::vector<std::vector<uint8_t>> m_firmwareBlocks;
    size_t m_applicationStarts = 0;

    std::vector<Report> m_reports;
    std::vector<std::string> m_openedPaths;
    std::set<HidHandle> m_openHandles;
    HidHandle m_nextHandle = 1;
    size_t m_closeCount = 0;
    size_t m_enumerationCount = 0;
    uint32_t m_lastError = 0;
};
