// HID interfaces through Windows' SetupAPI and HID class driver.
#pragma once

#include "device/HidBackend.h"

#include <map>
#include <string>
#include <vector>

class WinHidBackend : public HidBackend
{
public:
    WinHidBackend() = default;
    // Closes what the caller left open.
    ~WinHidBackend() override;
    WinHidBackend(const WinHidBackend&) = delete;
    WinHidBackend& operator=(const WinHidBackend&) = delete;

    // Present interfaces of the HID class in SetupAPI's order. One that cannot be opened or whose
    // attributes cannot be read is left out; one whose capabilities cannot be read is listed
    // without a feature report.
    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override;
    // Shared and without read or write access, as the system itself holds keyboards open:
    // feature reports need neither.
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    bool FeatureCall(HidHandle handle, bool set, uint8_t* report, size_t length);

    uint32_t m_lastError = 0;
    // Open handles and their interface's feature report byte length.
    std::map<HidHandle, uint16_t> m_open;
};
