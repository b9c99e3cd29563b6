#include "device/KeyboardInterfaces.h"

#include "device/DeviceBackends.h"
#include "device/LegacyDriverBackend.h"
#include "device/OsError.h"
#include "device/SimulatorConnection.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace {

constexpr const char* kLegacyFamily = "ZQ-1100";

InterfaceState StateOfError(uint32_t code)
{
    if (code == kOsErrorInUse) {
        return InterfaceState::InUse;
    }
    if (code == kOsErrorOtherBase + EACCES || code == kOsErrorOtherBase + EPERM) {
        return InterfaceState::NoPermission;
    }
    return InterfaceState::Failed;
}

void Probe(HidBackend& hid, KeyboardInterface& entry)
{
    const HidHandle handle = hid.Open(entry.path);
    if (handle == kInvalidHidHandle) {
        entry.osError = hid.GetLastError();
        entry.state = StateOfError(entry.osError);
        return;
    }
    hid.Close(handle);
    entry.state = InterfaceState::Usable;
}

KeyboardInterface FromInfo(const HidInterfaceInfo& info, const std::string& path)
{
    KeyboardInterface entry;
    entry.path = path;
    entry.kind = info.kind;
    entry.vendorId = info.vendorId;
    entry.productId = info.productId;
    entry.name = info.name;
    entry.featureReportLength = info.featureReportByteLength;
    entry.family =
        info.kind == HidInterfaceKind::LegacyDriver ? kLegacyFamily : GetUsbFamilyName(info.productId);
    return entry;
}

KeyboardInterface ProbeSimulatorEntry(const std::string& path, uint16_t vendorId)
{
    SimulatorConnection connection;
    HidInterfaceInfo info;
    if (!connection.Connect(path) || !connection.QueryInfo(info)) {
        KeyboardInterface entry;
        entry.path = path;
        entry.state = InterfaceState::NotAnswering;
        entry.osError = connection.GetLastError();
        return entry;
    }
    KeyboardInterface entry = FromInfo(info, path);
    if (info.kind == HidInterfaceKind::Hid && info.vendorId != vendorId) {
        entry.state = InterfaceState::OtherVendor;
    } else if (info.kind == HidInterfaceKind::Hid && info.featureReportByteLength == 0) {
        entry.state = InterfaceState::NoFeatureReport;
    } else if (connection.QueryInfo(info, true)) {
        entry.state = InterfaceState::Usable;
    } else {
        entry.osError = connection.GetLastError();
        entry.state = StateOfError(entry.osError);
    }
    return entry;
}

bool Exists(const std::string& path)
{
#ifdef _WIN32
    // A device such as \\.\zq1100 is no file stat sees: it is there unless an open says "not found".
    std::unique_ptr<LegacyDriverBackend> driver = CreatePlatformLegacyDriver(path);
    if (driver->Open()) {
        driver->Close();
        return true;
    }
    return driver->GetLastError() != 2 && driver->GetLastError() != 3; // file, path not found
#else
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0;
#endif
}

} // namespace

std::string GetUsbFamilyName(uint16_t productId)
{
    if (productId == Zq2200Keyboard::kProductId) {
        return "ZQ-2200";
    }
    if (productId == Zq3300Keyboard::kProductId) {
        return "ZQ-3300";
    }
    return {};
}

std::vector<KeyboardInterface> ListHidInterfaces(HidBackend& hid, uint16_t vendorId)
{
    std::vector<KeyboardInterface> list;
    std::vector<HidInterfaceInfo> interfaces;
    hid.Enumerate(interfaces);
    for (const HidInterfaceInfo& info : interfaces) {
        // Whose an unreadable node is cannot be told: it is listed rather than silently missing.
        const bool idsUnknown = info.readError != 0 && info.vendorId == 0;
        if (!idsUnknown && (info.vendorId != vendorId || GetUsbFamilyName(info.productId).empty())) {
            continue;
        }
        KeyboardInterface entry = FromInfo(info, info.path);
        if (info.readError != 0) {
            entry.state = InterfaceState::Unreadable;
            entry.osError = info.readError;
        } else if (entry.featureReportLength == 0 || !info.programmingReports) {
            entry.state = InterfaceState::NoFeatureReport;
        } else {
            Probe(hid, entry);
        }
        list.push_back(entry);
    }
    return list;
}

KeyboardInterface ProbeLegacyDriver(LegacyDriverBackend& legacy, const std::string& path)
{
    KeyboardInterface entry;
    entry.path = path;
    entry.kind = HidInterfaceKind::LegacyDriver;
    entry.family = kLegacyFamily;
    if (legacy.Open()) {
        legacy.Close();
        entry.state = InterfaceState::Usable;
    } else {
        entry.osError = legacy.GetLastError();
        entry.state = StateOfError(entry.osError);
    }
    return entry;
}

std::vector<KeyboardInterface> ListSimulatorInterfaces(const std::vector<std::string>& entries,
                                                       uint16_t vendorId)
{
    std::vector<KeyboardInterface> list;
    list.reserve(entries.size());
    for (const std::string& path : entries) {
        list.push_back(ProbeSimulatorEntry(path, vendorId));
    }
    return list;
}

std::vector<KeyboardInterface> ListKeyboardInterfaces(uint16_t vendorId)
{
    const std::string& chosen = GetChosenDeviceInterface();
    if (!chosen.empty() && IsSimulatorEntry(chosen)) {
        return ListSimulatorInterfaces({chosen}, vendorId);
    }
    const char* simulator = std::getenv(kSimulatorVariable);
    if (chosen.empty() && simulator != nullptr) {
        return ListSimulatorInterfaces(SplitSimulatorPaths(simulator), vendorId);
    }
    std::unique_ptr<HidBackend> hid = CreateHidBackend();
    std::vector<KeyboardInterface> list = ListHidInterfaces(*hid, vendorId);
    // The driver's node when it is there; a chosen path that is no HID interface may be the node.
    const std::string legacyPath = chosen.empty() ? GetPlatformLegacyDriverPath() : chosen;
    if ((chosen.empty() || list.empty()) && Exists(legacyPath)) {
        std::unique_ptr<LegacyDriverBackend> legacy = CreatePlatformLegacyDriver(legacyPath);
        list.push_back(ProbeLegacyDriver(*legacy, legacyPath));
    } else if (list.empty() && !chosen.empty()) {
        // The chosen path is nothing the commands could use: say so rather than list nothing.
        KeyboardInterface entry;
        entry.path = chosen;
        entry.osError = kOsErrorOtherBase + ENOENT;
        list.push_back(entry);
    }
    return list;
}

bool IsSimulatorInUse()
{
    const std::string& chosen = GetChosenDeviceInterface();
    return chosen.empty() ? std::getenv(kSimulatorVariable) != nullptr : IsSimulatorEntry(chosen);
}
