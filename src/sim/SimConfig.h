// What one simulated device interface is and how it misbehaves.
#pragma once

#include "device/HidReports.h"
#include "model/UsbKeyboard.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The keyboards' own vendor id, so the program finds the simulator without options.
constexpr uint16_t kSimDefaultVendorId = kZqUsbVendorId;
constexpr int kSimBusyForever = -1;
// Command codes 0 to 5; 0 is no command the keyboard knows.
constexpr size_t kSimCommandCodeCount = HidCommandStartApplication + 1;

struct SimFailRule
{
    uint8_t command = 0; // 0: any command
    uint32_t nth = 1;    // counted from 1 since start, over the commands the rule looks at
    uint8_t status = 2;
};

struct SimInterfaceConfig
{
    std::string socketPath;
    // Served on loopback TCP instead of a socket file; port 0 takes any free port.
    bool tcp = false;
    uint16_t tcpPort = 0;
    std::string name = "ZQ-2200";
    uint16_t vendorId = kSimDefaultVendorId;
    uint16_t productId = 0x1000;
    uint16_t featureLength = 137;
    uint8_t kind = 0; // 0 HID, 1 legacy driver

    uint8_t formatVersion = 1;
    uint16_t startAddress = 0x0800;
    uint16_t endAddress = 0x17FF;
    uint8_t headerLength = 16;
    std::array<uint8_t, 3> firmwareVersion{1, 0, 0};
    bool headerLengthGiven = false;
    bool firmwareVersionGiven = false;
    std::vector<uint8_t> headerBytes; // raw bytes at the start of the area

    std::string memoryFile;
    std::string dumpMemoryFile;
    std::string dumpFirmwareFile;
    std::string dumpLegacyFile;

    // Busy answers before the final status, by command code; kSimBusyForever never ends.
    std::array<int, kSimCommandCodeCount> busyPolls{};
    std::vector<SimFailRule> failRules;
    std::optional<uint32_t> disconnectAfter; // reports served before the device is gone
    uint32_t disconnectError = 0;            // 0: close the connection instead
    // A write covering this address stores the complement of the byte written there.
    std::optional<uint16_t> corruptAddress;

    uint8_t legacyVersion = 1;
};

// Sets ids, name, kind and feature length of a family; false for an unknown name.
bool ApplySimFamily(const std::string& family, SimInterfaceConfig& config);
