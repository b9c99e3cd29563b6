#include "device/DeviceBackends.h"

#include "device/DeviceNodeLegacyDriver.h"
#include "device/HidrawBackend.h"
#include "device/SimulatorHidBackend.h"
#include "device/SimulatorLegacyDriver.h"

#include <cstdlib>

std::vector<std::string> SplitSimulatorPaths(const std::string& value)
{
    std::vector<std::string> paths;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(':', start);
        if (end == std::string::npos) {
            end = value.size();
        }
        if (end > start) {
            paths.push_back(value.substr(start, end - start));
        }
        start = end + 1;
    }
    return paths;
}

std::unique_ptr<HidBackend> CreateHidBackend(const char* simulatorSockets)
{
    if (simulatorSockets != nullptr) {
        return std::make_unique<SimulatorHidBackend>(SplitSimulatorPaths(simulatorSockets));
    }
    return std::make_unique<HidrawBackend>();
}

std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend(const char* simulatorSockets)
{
    if (simulatorSockets != nullptr) {
        return std::make_unique<SimulatorLegacyDriver>(SplitSimulatorPaths(simulatorSockets));
    }
    return std::make_unique<DeviceNodeLegacyDriver>();
}

std::unique_ptr<HidBackend> CreateHidBackend()
{
    return CreateHidBackend(std::getenv(kSimulatorVariable));
}

std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend()
{
    return CreateLegacyDriverBackend(std::getenv(kSimulatorVariable));
}
