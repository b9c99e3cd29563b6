#include "device/DeviceBackends.h"

#include "device/SimulatorHidBackend.h"
#include "device/SimulatorLegacyDriver.h"
#include "device/SimulatorSocket.h"
#ifdef _WIN32
#include "device/WinHidBackend.h"
#include "device/WinLegacyDriver.h"
using PlatformHidBackend = WinHidBackend;
using PlatformLegacyDriver = WinLegacyDriver;
#else
#include "device/DeviceNodeLegacyDriver.h"
#include "device/HidrawBackend.h"
using PlatformHidBackend = HidrawBackend;
using PlatformLegacyDriver = DeviceNodeLegacyDriver;
#endif

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <utility>

namespace {

std::string g_chosenInterface;

#ifdef _WIN32
// Interface paths from SetupAPI are case-insensitive names, not files.
std::string CanonicalPath(const std::string& path)
{
    std::string lower = path;
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower;
}
#else
// A node reached through a link (a udev symlink, say) is the same interface as its target.
std::string CanonicalPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}
#endif

// The platform's interfaces with all but one left out of the list.
class OneInterfaceBackend : public HidBackend
{
public:
    OneInterfaceBackend(std::unique_ptr<HidBackend> backend, const std::string& path)
        : m_backend(std::move(backend)), m_path(CanonicalPath(path))
    {
    }
    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override
    {
        const bool listed = m_backend->Enumerate(interfaces);
        std::erase_if(interfaces,
                      [this](const HidInterfaceInfo& info) { return CanonicalPath(info.path) != m_path; });
        return listed;
    }
    HidHandle Open(const std::string& path) override { return m_backend->Open(path); }
    void Close(HidHandle handle) override { m_backend->Close(handle); }
    bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) override
    {
        return m_backend->SetFeature(handle, report, length);
    }
    bool GetFeature(HidHandle handle, uint8_t* report, size_t length) override
    {
        return m_backend->GetFeature(handle, report, length);
    }
    uint32_t GetLastError() const override { return m_backend->GetLastError(); }

private:
    std::unique_ptr<HidBackend> m_backend;
    std::string m_path;
};

} // namespace

std::vector<std::string> SplitSimulatorPaths(const std::string& value)
{
    std::vector<std::string> paths;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(':', start);
        // "tcp:ADDRESS:PORT" is one entry over three fields.
        if (end != std::string::npos && value.compare(start, end + 1 - start, kSimulatorTcpPrefix) == 0) {
            end = value.find(':', end + 1);
            end = end == std::string::npos ? end : value.find(':', end + 1);
        }
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
    return std::make_unique<PlatformHidBackend>();
}

std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend(const char* simulatorSockets)
{
    if (simulatorSockets != nullptr) {
        return std::make_unique<SimulatorLegacyDriver>(SplitSimulatorPaths(simulatorSockets));
    }
    return std::make_unique<PlatformLegacyDriver>();
}

bool IsSimulatorEntry(const std::string& path)
{
    struct stat status
    {
    };
    if (path.rfind("tcp:", 0) == 0) {
        return true;
    }
    if (::stat(path.c_str(), &status) != 0) {
        // A simulator that is not running has left no socket behind.
        return std::getenv(kSimulatorVariable) != nullptr;
    }
#ifdef _WIN32
    return false; // the platform's own paths name no file that stat finds
#else
    return S_ISSOCK(status.st_mode);
#endif
}

std::string GetPlatformLegacyDriverPath()
{
    return PlatformLegacyDriver().GetPath();
}

std::unique_ptr<LegacyDriverBackend> CreatePlatformLegacyDriver(const std::string& path)
{
    return std::make_unique<PlatformLegacyDriver>(path);
}

void ChooseDeviceInterface(const std::string& path)
{
    g_chosenInterface = path;
}

const std::string& GetChosenDeviceInterface()
{
    return g_chosenInterface;
}

std::unique_ptr<HidBackend> CreateHidBackendFor(const std::string& path)
{
    if (IsSimulatorEntry(path)) {
        return std::make_unique<SimulatorHidBackend>(std::vector<std::string>{path});
    }
    return std::make_unique<OneInterfaceBackend>(std::make_unique<PlatformHidBackend>(), path);
}

std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackendFor(const std::string& path)
{
    if (IsSimulatorEntry(path)) {
        return std::make_unique<SimulatorLegacyDriver>(std::vector<std::string>{path});
    }
    return std::make_unique<PlatformLegacyDriver>(path);
}

std::unique_ptr<HidBackend> CreateHidBackend()
{
    if (!g_chosenInterface.empty()) {
        return CreateHidBackendFor(g_chosenInterface);
    }
    return CreateHidBackend(std::getenv(kSimulatorVariable));
}

std::unique_ptr<LegacyDriverBackend> CreateLegacyDriverBackend()
{
    if (!g_chosenInterface.empty()) {
        return CreateLegacyDriverBackendFor(g_chosenInterface);
    }
    return CreateLegacyDriverBackend(std::getenv(kSimulatorVariable));
}
