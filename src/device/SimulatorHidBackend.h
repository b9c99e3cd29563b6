// HID interfaces played by zqsim processes, one Unix-domain socket per interface.
#pragma once

#include "device/HidBackend.h"
#include "device/SimulatorConnection.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class SimulatorHidBackend : public HidBackend
{
public:
    // The sockets in enumeration order.
    explicit SimulatorHidBackend(std::vector<std::string> socketPaths,
                                 uint32_t timeoutMs = SimulatorConnection::kDefaultTimeoutMs);

    // Connects to each socket in turn and asks for its info; sockets that do not answer are not
    // present. Open connects again and takes the keyboard for itself, as an exclusive open would.
    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    SimulatorConnection* Find(HidHandle handle);

    std::vector<std::string> m_socketPaths;
    uint32_t m_timeoutMs;
    uint32_t m_lastError = 0;
    HidHandle m_nextHandle = 1;
    std::map<HidHandle, std::unique_ptr<SimulatorConnection>> m_open;
};
