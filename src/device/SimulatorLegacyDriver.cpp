#include "device/SimulatorLegacyDriver.h"

#include "device/OsError.h"
#include "device/SimulatorProtocol.h"

#include <cerrno>
#include <utility>

SimulatorLegacyDriver::SimulatorLegacyDriver(std::vector<std::string> socketPaths, uint32_t timeoutMs)
    : m_socketPaths(std::move(socketPaths)), m_connection(timeoutMs)
{
}

bool SimulatorLegacyDriver::Open()
{
    Close();
    for (const std::string& path : m_socketPaths) {
        HidInterfaceInfo info;
        // Only the driver is taken: a USB keyboard on the way may be in someone else's use.
        if (m_connection.Connect(path) && m_connection.QueryInfo(info) &&
            info.kind == HidInterfaceKind::LegacyDriver && m_connection.QueryInfo(info, true)) {
            m_lastError = kOsErrorNone;
            return true;
        }
        m_connection.Close();
    }
    m_lastError = MapOsError(ENOENT);
    return false;
}

void SimulatorLegacyDriver::Close()
{
    m_connection.Close();
}

bool SimulatorLegacyDriver::QueryVersion(uint8_t& version)
{
    version = 0;
    std::vector<uint8_t> answer;
    const bool done =
        m_connection.Transact(SimulatorProtocol::kOpcodeLegacyVersion, nullptr, 0, answer, 1, 1);
    m_lastError = m_connection.GetLastError();
    if (!done) {
        return false;
    }
    version = answer[0];
    return true;
}

bool SimulatorLegacyDriver::WriteByte(uint8_t value)
{
    std::vector<uint8_t> answer;
    const bool done = m_connection.Transact(SimulatorProtocol::kOpcodeLegacyWrite, &value, 1, answer, 0, 0);
    m_lastError = m_connection.GetLastError();
    return done;
}
