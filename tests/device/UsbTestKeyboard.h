// A USB keyboard project whose device image is scripted, and a fake keyboard with a fake clock, for
// the device operation tests.
#pragma once

#include "DeviceTestSupport.h"
#include "device/FakeHidBackend.h"
#include "device/HidAccess.h"
#include "model/UsbKeyboardCommon.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class UsbTestKeyboard : public UsbKeyboardCommon
{
public:
    static constexpr uint16_t ProductId = 0x1000;

    UsbTestKeyboard() : UsbKeyboardCommon(1, 1, 1) { m_productId = ProductId; }

    void SetProductId(uint16_t productId) { m_productId = productId; }

    int BuildDeviceImage(uint8_t* buffer, size_t* size, uint8_t formatVersion) override
    {
        m_builtFormat = formatVersion;
        if (m_buildResult != 0) {
            return m_buildResult;
        }
        if (!m_image.empty()) {
            std::copy_n(m_image.begin(), std::min(m_image.size(), *size), buffer);
        }
        *size = m_image.size();
        return 0;
    }
    int ParseDeviceImage(uint8_t* buffer, size_t length, uint8_t formatVersion) override
    {
        m_checks.push_back({buffer != nullptr, length});
        if (formatVersion != 1) {
            return 10;
        }
        if (length < m_neededLength) {
            return 6;
        }
        if (buffer != nullptr) {
            m_parsed.assign(buffer, buffer + length);
            return m_parseResult;
        }
        return 0;
    }

    std::string GetLayoutName(uint8_t) const override { return {}; }
    std::string GetTypeName() const override { return {}; }
    uint8_t GetTypeId() const override { return 255; }
    std::string GetFileFilter(std::string*, std::string*) const override { return {}; }
    bool DetectDevice(std::string*) override { return false; }
    bool SelectDevice(uint8_t) override { return false; }
    uint16_t GetCellCount(bool) const override { return 1; }
    std::string GetFileMagic() const override { return {}; }
    std::string GetDeviceName() const override { return m_deviceName; }
    bool HasOptionsLine() const override { return false; }
    bool ParseOptionsLine(const std::string&) override { return false; }
    std::string FormatOptionsLine() const override { return {}; }
    uint8_t GetImageHeaderSize() const override { return 0; }

    struct ParseCall
    {
        bool withBuffer;
        size_t length;
        bool operator==(const ParseCall&) const = default;
    };

    std::vector<uint8_t> m_image;
    int m_buildResult = 0;
    uint8_t m_builtFormat = 0;
    size_t m_neededLength = 1;
    int m_parseResult = 0;
    std::vector<ParseCall> m_checks;
    std::vector<uint8_t> m_parsed;
    std::string m_deviceName = "ZQ-2200";
};

// The keyboard's memory area runs from 0x0100; its header is 8 bytes long with version 2.10.7.
class FakeUsbKeyboard
{
public:
    static constexpr uint16_t StartAddress = 0x0100;
    static constexpr uint8_t HeaderLength = 8;

    explicit FakeUsbKeyboard(uint16_t endAddress = 0x08FF)
    {
        m_backend.AddInterface({"/dev/hidraw0", kZqUsbVendorId, UsbTestKeyboard::ProductId, 137,
                                HidInterfaceKind::Hid, "ZQ-2200"});
        SetMemoryMap(endAddress, HeaderLength);
        m_access.backend = &m_backend;
        m_access.nowMs = [this] { return m_nowMs; };
        // Every sleep takes a second, so a keyboard that stays busy ends the poll after a few reads.
        m_access.sleepMs = [this](uint32_t) { m_nowMs += 1000; };
    }

    void SetMemoryMap(uint16_t endAddress, uint8_t headerLength)
    {
        m_backend.SetMemoryMap(1, StartAddress, endAddress);
        const Bytes header = {headerLength, 2, 10, 7, 0xEE, 0xEE, 0xEE, 0xEE};
        std::copy(header.begin(), header.end(), m_backend.Memory().begin() + StartAddress);
    }

    FakeHidBackend m_backend;
    HidAccess m_access;
    uint64_t m_nowMs = 0;
};

struct ExpectedReport
{
    bool set;
    Bytes bytes;
};

// Reports as the fake recorded them, in the form the tests spell out.
inline std::vector<ExpectedReport> Exchanged(const FakeHidBackend& backend)
{
    std::vector<ExpectedReport> reports;
    for (const auto& report : backend.Reports()) {
        reports.push_back({report.set, report.bytes});
    }
    return reports;
}

inline bool operator==(const ExpectedReport& a, const ExpectedReport& b)
{
    return a.set == b.set && a.bytes == b.bytes;
}

inline void PrintTo(const ExpectedReport& report, std::ostream* out)
{
    *out << (report.set ? "set" : "get");
    const char* digits = "0123456789ABCDEF";
    for (size_t i = 0; i < report.bytes.size() && i < 12; ++i) {
        *out << ' ' << digits[report.bytes[i] >> 4] << digits[report.bytes[i] & 15];
    }
    if (report.bytes.size() > 12) {
        *out << " ... (" << report.bytes.size() << " bytes)";
    }
}
