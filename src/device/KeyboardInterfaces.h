// Every interface the device commands would consider, and whether each can be used: what
// "zqtool list" shows, and how a missing keyboard is explained.
#pragma once

#include "device/HidBackend.h"

#include <cstdint>
#include <string>
#include <vector>

class LegacyDriverBackend;

enum class InterfaceState : uint8_t {
    Usable,
    // A USB interface of the keyboard that is not the one it is programmed through: no feature
    // report, or not the programming ones.
    NoFeatureReport,
    OtherVendor,  // a simulated keyboard with a vendor id other than the one looked for
    NotAnswering, // a simulator entry nobody serves
    NoPermission,
    InUse,
    Unreadable, // what the interface is could not be read; osError tells why
    Failed,     // osError tells why
};

struct KeyboardInterface
{
    std::string path;
    HidInterfaceKind kind = HidInterfaceKind::Hid;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string family; // "ZQ-2200", "ZQ-3300", "ZQ-1100"; empty for product ids of no family
    std::string name;
    uint16_t featureReportLength = 0;
    InterfaceState state = InterfaceState::Failed;
    uint32_t osError = 0; // the backend's code (OsError.h) when opening failed
};

// "ZQ-2200" or "ZQ-3300" for their product ids, else empty.
std::string GetUsbFamilyName(uint16_t productId);

// The HID interfaces of the vendor's keyboard families in enumeration order, each opened and
// closed again to learn whether it can be used.
std::vector<KeyboardInterface> ListHidInterfaces(HidBackend& hid, uint16_t vendorId);
// The ZQ-1100 driver at path, opened and closed again.
KeyboardInterface ProbeLegacyDriver(LegacyDriverBackend& legacy, const std::string& path);
// Every simulator entry in order, whatever it plays, so that a mistyped entry shows too.
std::vector<KeyboardInterface> ListSimulatorInterfaces(const std::vector<std::string>& entries,
                                                       uint16_t vendorId);
// As the device commands would find them: the chosen interface, ZQ_SIMULATOR, or the platform's.
std::vector<KeyboardInterface> ListKeyboardInterfaces(uint16_t vendorId);
// Whether the device commands talk to zqsim rather than the platform.
bool IsSimulatorInUse();
