#include "SimulatedKeyboard.h"

#include "device/HidReports.h"
#include "device/OsError.h"
#include "device/SimulatorProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// What hidraw would answer for the simulator's error: a device that left, or a stalled transfer.
int ErrnoOf(const SimReply& reply)
{
    if (reply.close || reply.error == kOsErrorNotConnected) {
        return -ENODEV;
    }
    return -EPIPE;
}

} // namespace

SimInterfaceConfig SimulatedKeyboard::Configure(const std::string& family,
                                                const std::array<uint8_t, 3>& version)
{
    SimInterfaceConfig config;
    if (!ApplySimFamily(family, config)) {
        config.productId = 0; // matches no project, so a misnamed family fails the test visibly
    }
    config.firmwareVersion = version;
    config.firmwareVersionGiven = true;
    return config;
}

SimulatedKeyboard::SimulatedKeyboard(const std::string& family, const std::array<uint8_t, 3>& firmwareVersion)
    : m_device(Configure(family, firmwareVersion))
{
}

bool SimulatedKeyboard::Load(std::string& error)
{
    std::lock_guard lock(m_mutex);
    return m_device.Load(error);
}

int SimulatedKeyboard::SetFeature(const uint8_t* report, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (length > kCommandCodeOffset && report[kReportIdOffset] == kCommandReportId) {
        m_commands.push_back(report[kCommandCodeOffset]);
    }
    const SimReply reply = m_device.Handle(SimulatorProtocol::kOpcodeSetFeature, report, length);
    if (reply.close || reply.error != 0) {
        return ErrnoOf(reply);
    }
    return static_cast<int>(length);
}

int SimulatedKeyboard::GetFeature(uint8_t* report, size_t length)
{
    std::lock_guard lock(m_mutex);
    const SimReply reply = m_device.Handle(SimulatorProtocol::kOpcodeGetFeature, report, length);
    if (reply.close || reply.error != 0) {
        return ErrnoOf(reply);
    }
    const size_t answered = std::min(length, reply.payload.size());
    std::memcpy(report, reply.payload.data(), answered);
    return static_cast<int>(answered);
}

std::vector<uint8_t> SimulatedKeyboard::Area() const
{
    std::lock_guard lock(m_mutex);
    return m_device.Area();
}

std::vector<uint8_t> SimulatedKeyboard::Firmware() const
{
    std::lock_guard lock(m_mutex);
    return m_device.Firmware();
}

std::vector<uint8_t> SimulatedKeyboard::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}
