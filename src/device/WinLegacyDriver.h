// The ZQ-1100 driver on Windows: the device "\\.\zq1100" and the driver's two control codes.
#pragma once

#include "device/LegacyDriverBackend.h"

#include <cstdint>
#include <string>

class WinLegacyDriver : public LegacyDriverBackend
{
public:
    // Tests point it at another device name.
    explicit WinLegacyDriver(std::string path = "\\\\.\\zq1100");
    ~WinLegacyDriver() override;
    WinLegacyDriver(const WinLegacyDriver&) = delete;
    WinLegacyDriver& operator=(const WinLegacyDriver&) = delete;

    // Read access, not shared: a second open fails while one is held.
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_handle != -1; }
    bool QueryVersion(uint8_t& version) override;
    bool WriteByte(uint8_t value) override;
    uint32_t GetLastError() const override { return m_lastError; }
    const std::string& GetPath() const { return m_path; }

private:
    // The byte count the driver answered, or -1 with the error kept.
    long Control(uint32_t code, const uint8_t* input, uint32_t inputLength, uint8_t* output,
                 uint32_t outputLength);

    std::string m_path;
    intptr_t m_handle = -1;
    uint32_t m_lastError = 0;
};
