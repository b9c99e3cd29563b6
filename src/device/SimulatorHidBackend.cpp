#include "device/SimulatorHidBackend.h"

#include "device/OsError.h"
#include "device/SimulatorProtocol.h"

#include <cerrno>
#include <cstring>
#include <utility>

SimulatorHidBackend::SimulatorHidBackend(std::vector<std::string> socketPaths, uint32_t timeoutMs)
    : m_socketPaths(std::move(socketPaths)), m_timeoutMs(timeoutMs)
{
}

bool SimulatorHidBackend::Enumerate(std::vector<HidInterfaceInfo>& interfaces)
{
    interfaces.clear();
    for (const std::string& path : m_socketPaths) {
        SimulatorConnection connection(m_timeoutMs);
        HidInterfaceInfo info;
        if (!connection.Connect(path) || !connection.QueryInfo(info)) {
            continue;
        }
        info.path = path;
        interfaces.push_back(info);
    }
    m_lastError = kOsErrorNone;
    return true;
}

HidHandle SimulatorHidBackend::Open(const std::string& path)
{
    auto connection = std::make_unique<SimulatorConnection>(m_timeoutMs);
    HidInterfaceInfo info;
    if (!connection->Connect(path) || !connection->QueryInfo(info, true)) {
        m_lastError = connection->GetLastError();
        return kInvalidHidHandle;
    }
    const HidHandle handle = m_nextHandle++;
    m_open[handle] = std::move(connection);
    m_lastError = kOsErrorNone;
    return handle;
}

void SimulatorHidBackend::Close(HidHandle handle)
{
    m_open.erase(handle);
}

bool SimulatorHidBackend::SetFeature(HidHandle handle, const uint8_t* report, size_t length)
{
    SimulatorConnection* connection = Find(handle);
    if (connection == nullptr) {
        return false;
    }
    std::vector<uint8_t> answer;
    const bool done =
        connection->Transact(SimulatorProtocol::kOpcodeSetFeature, report, length, answer, 0, 0);
    m_lastError = connection->GetLastError();
    return done;
}

bool SimulatorHidBackend::GetFeature(HidHandle handle, uint8_t* report, size_t length)
{
    SimulatorConnection* connection = Find(handle);
    if (connection == nullptr) {
        return false;
    }
    std::vector<uint8_t> answer;
    const bool done =
        connection->Transact(SimulatorProtocol::kOpcodeGetFeature, report, length, answer, length, length);
    m_lastError = connection->GetLastError();
    if (done && length != 0) {
        std::memcpy(report, answer.data(), length);
    }
    return done;
}

SimulatorConnection* SimulatorHidBackend::Find(HidHandle handle)
{
    const auto found = m_open.find(handle);
    if (found == m_open.end()) {
        m_lastError = MapOsError(EBADF);
        return nullptr;
    }
    return found->second.get();
}
