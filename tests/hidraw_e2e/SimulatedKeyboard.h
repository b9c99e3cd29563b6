// zqsim's keyboard behind an emulated hidraw node: every feature report goes to a SimDevice, whose
// memory and received firmware the tests then read.
#pragma once

#include "EmulatedHidraw.h"

#include "sim/SimDevice.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class SimulatedKeyboard : public FeatureResponder
{
public:
    // family: "zq2200" or "zq3300" as zqsim names them; the version goes to memory header bytes 1 to 3.
    SimulatedKeyboard(const std::string& family, const std::array<uint8_t, 3>& firmwareVersion);

    // Builds the memory; false with the reason as zqsim would give it.
    bool Load(std::string& error);

    int SetFeature(const uint8_t* report, size_t length) override;
    int GetFeature(uint8_t* report, size_t length) override;

    // The memory area, header included.
    std::vector<uint8_t> Area() const;
    std::vector<uint8_t> Firmware() const;
    // The command code of every command report received, in order.
    std::vector<uint8_t> Commands() const;

private:
    static SimInterfaceConfig Configure(const std::string& family, const std::array<uint8_t, 3>& version);

    mutable std::mutex m_mutex; // reports arrive on the filesystem's thread
    SimDevice m_device;
    std::vector<uint8_t> m_commands;
};
