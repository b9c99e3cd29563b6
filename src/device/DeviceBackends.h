// Chooses the HID and legacy driver backends: zqsim when ZQ_SIMULATOR is set, else the platform's.
#pragma once

#include "device/HidBackend.h"
#include "device/LegacyDriverBackend.h"

#include <memory>
#include <string>
#include <vector>

// The environment variable naming the simulator sockets, ':'-separated, in enumeration order;
// an entry "tcp:127.0.0.1:PORT" spans three fields.
constexpr const char* kSimulatorVariable = "ZQ_SIMULATOR";

// Empty entries are dropped.
std::vector<std::string> SplitSimulatorPaths(const std::string& value);

// simulatorSockets: the variable's value, or null when it is not set.
std::unique_ptr<HidBackend> CreateHidBackend(const char* simulatorSockets);
std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend(const char* simulatorSockets);

// A zqsim entry rather than a platform node: "tcp:...", a Unix-domain socket, or a path that does
// not exist while ZQ_SIMULATOR is set.
bool IsSimulatorEntry(const std::string& path);

// Restricts the backends below to one interface: a hidraw node, the ZQ-1100 node or one simulator
// entry, whatever ZQ_SIMULATOR says. Empty lifts the restriction.
void ChooseDeviceInterface(const std::string& path);
const std::string& GetChosenDeviceInterface();

// The ZQ-1100 driver's device on this platform (/dev/zq1100, or \\.\zq1100 on Windows), and the
// platform's backend for it or for another path.
std::string GetPlatformLegacyDriverPath();
std::unique_ptr<LegacyDriverBackend> CreatePlatformLegacyDriver(const std::string& path);

// The backends of one interface, whatever is chosen: each keyboard programmed at once with others
// has its own.
std::unique_ptr<HidBackend> CreateHidBackendFor(const std::string& path);
std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackendFor(const std::string& path);

// The chosen interface, else ZQ_SIMULATOR from the environment, else the platform's.
std::unique_ptr<HidBackend> CreateHidBackend();
std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend();
