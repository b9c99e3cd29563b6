// HID interfaces through the Linux kernel's hidraw driver: sysfs for the list, /dev/hidrawN for I/O.
#pragma once

#include "device/HidBackend.h"

#include <set>
#include <string>
#include <vector>

class HidrawBackend : public HidBackend
{
public:
    // Tests point both folders at a made-up tree.
    explicit HidrawBackend(std::string sysfsRoot = "/sys", std::string deviceFolder = "/dev");
    // Closes what the caller left open.
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    // By hidraw number. A node without ids is left out; one whose uevent or report descriptor is
    // there but cannot be read is listed with readError; one whose report descriptor is missing or
    // cannot be parsed is listed without a feature report.
    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override;
    // Exclusive: a node another program holds open fails with kOsErrorInUse.
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    // A report the device took or gave only in part is an I/O failure (31).
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    bool ReadInterface(const std::string& nodeName, HidInterfaceInfo& info) const;
    bool Owns(HidHandle handle) const;
    bool FeatureIoctl(HidHandle handle, unsigned long request, uint8_t* report, size_t length);

    std::string m_sysfsRoot;
    std::string m_deviceFolder;
    uint32_t m_lastError = 0;
    std::set<int> m_open;
};
