// A ZQ-1100 driver that is not installed: opening it always fails.
#pragma once

#include "device/LegacyDriverBackend.h"

class NullLegacyDriver : public LegacyDriverBackend
{
public:
    bool Open() override;
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool QueryVersion(uint8_t& version) override;
    bool WriteByte(uint8_t value) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    uint32_t m_lastError = 0;
};
