// An in-process ZQ-1100 driver for tests: scripted open, version answer and write failure, and a
// record of every byte written.
#pragma once

#include "device/LegacyDriverBackend.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class FakeLegacyDriver : public LegacyDriverBackend
{
public:
    // Scripting.
    void SetOpenFails(bool fails) { m_openFails = fails; }
    // A failing query, or one that answers a byte count other than 1, fails QueryVersion.
    void SetVersionAnswer(uint8_t version, bool fails = false)
    {
        m_version = version;
        m_versionFails = fails;
    }
    // The write with this 1-based number fails with errnoValue, and every later one.
    void FailAtWrite(size_t number, int errnoValue);

    // Observation.
    const std::vector<uint8_t>& Written() const { return m_written; }
    size_t OpenCount() const { return m_openCount; }
    size_t CloseCount() const { return m_closeCount; }

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    bool QueryVersion(uint8_t& version) override;
    bool WriteByte(uint8_t value) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    bool Fail(int errnoValue);

    bool m_openFails = false;
    uint8_t m_version = 0;
    bool m_versionFails = false;
    size_t m_failAt = 0;
    int m_failErrno = 0;
    size_t m_writeCount = 0;
    std::vector<uint8_t> m_written;
    bool m_open = false;
    size_t m_openCount = 0;
    size_t m_closeCount = 0;
    uint32_t m_lastError = 0;
};
