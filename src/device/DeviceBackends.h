// Chooses the HID and legacy driver backends: zqsim when ZQ_SIMULATOR is set, else the platform's.
#pragma once

#include "device/HidBackend.h"
#include "device/LegacyDriverBackend.h"

#include <memory>
#include <string>
#include <vector>

// The environment variable naming the simulator sockets, ':'-separated, in enumeration order.
constexpr const char* kSimulatorVariable = "ZQ_SIMULATOR";

// Empty entries are dropped.
std::vector<std::string> SplitSimulatorPaths(const std::string& value);

// simulatorSockets: the variable's value, or null when it is not set.
std::unique_ptr<HidBackend> CreateHidBackend(const char* simulatorSockets);
std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend(const char* simulatorSockets);

// Read ZQ_SIMULATOR from the environment.
std::unique_ptr<HidBackend> CreateHidBackend();
std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend();
