// A HID stack with no interfaces, for platforms without a backend of their own.
#pragma once

#include "device/HidBackend.h"

class NullHidBackend : public HidBackend
{
public:
    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    uint32_t m_lastError = 0;
};
