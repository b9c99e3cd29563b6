// The ZQ-1100 driver device played by zqsim: the first socket whose info says kind 1.
#pragma once

#include "device/LegacyDriverBackend.h"
#include "device/SimulatorConnection.h"

#include <string>
#include <vector>

class SimulatorLegacyDriver : public LegacyDriverBackend
{
public:
    explicit SimulatorLegacyDriver(std::vector<std::string> socketPaths,
                                   uint32_t timeoutMs = SimulatorConnection::kDefaultTimeoutMs);

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_connection.IsConnected(); }
    bool QueryVersion(uint8_t& version) override;
    bool WriteByte(uint8_t value) override;
    uint32_t GetLastError() const override { return m_lastError; }

private:
    std::vector<std::string> m_socketPaths;
    SimulatorConnection m_connection;
    uint32_t m_lastError = 0;
};
