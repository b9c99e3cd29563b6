// The ZQ-1100 driver reached through its device node and the driver's two control codes.
#pragma once

#include "device/LegacyDriverBackend.h"

#include <string>

constexpr const char* kLegacyDriverNode = "/dev/zq1100";
// The driver's requests, numbered as its control codes. The argument points to one byte; the
// answer is the count of bytes returned, as the control codes give it.
constexpr unsigned long kLegacyDriverQueryVersion = 0x222800;
constexpr unsigned long kLegacyDriverWriteByte = 0x222804;

class DeviceNodeLegacyDriver : public LegacyDriverBackend
{
public:
    // Tests point it at another node.
    explicit DeviceNodeLegacyDriver(std::string path = kLegacyDriverNode);
    ~DeviceNodeLegacyDriver() override;
    DeviceNodeLegacyDriver(const DeviceNodeLegacyDriver&) = delete;
    DeviceNodeLegacyDriver& operator=(const DeviceNodeLegacyDriver&) = delete;

    // Read-only and exclusive: a second open, here or in another process, fails while one is held.
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }
    bool QueryVersion(uint8_t& version) override;
    bool WriteByte(uint8_t value) override;
    uint32_t GetLastError() const override { return m_lastError; }
    const std::string& GetPath() const { return m_path; }

private:
    // The byte count the driver answered, or -1 with the error kept.
    int Control(unsigned long request, uint8_t* byte);

    std::string m_path;
    int m_fd = -1;
    uint32_t m_lastError = 0;
};
