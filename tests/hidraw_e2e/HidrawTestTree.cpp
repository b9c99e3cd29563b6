#include "HidrawTestTree.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr unsigned BusUsb = 3;

fs::path SysfsDevice(const fs::path& root, const std::string& node)
{
    return root / "sys/class/hidraw" / node / "device";
}

} // namespace

HidrawTestTree::~HidrawTestTree()
{
    m_fs.Unmount();
    if (!m_root.empty()) {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
}

bool HidrawTestTree::Create(std::string& reason)
{
    char pattern[] = "/tmp/zq-hidraw-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        reason = std::string("no temporary folder: ") + std::strerror(errno);
        return false;
    }
    m_root = pattern;
    std::error_code error;
    fs::create_directories(m_root / "dev", error);
    fs::create_directories(m_root / "sys/class/hidraw", error);
    if (error) {
        reason = "cannot fill " + m_root.string() + ": " + error.message();
        return false;
    }
    return true;
}

bool HidrawTestTree::AddNode(const std::string& node, uint16_t vendorId, uint16_t productId,
                             const std::string& name, const std::vector<uint8_t>& descriptor,
                             FeatureResponder& responder)
{
    char hidId[32];
    std::snprintf(hidId, sizeof hidId, "%04X:%08X:%08X", BusUsb, static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));
    const fs::path device = SysfsDevice(m_root, node);
    std::error_code error;
    fs::create_directories(device, error);
    std::ofstream uevent(device / "uevent");
    uevent << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=" << name << "\n";
    std::ofstream report(device / "report_descriptor", std::ios::binary);
    report.write(reinterpret_cast<const char*>(descriptor.data()),
                 static_cast<std::streamsize>(descriptor.size()));
    uevent.close();
    report.close();
    m_fs.AddNode(node, responder);
    return !error && uevent && report;
}

void HidrawTestTree::UnplugAtSetFeature(const std::string& node, int nth)
{
    const fs::path entry = SysfsDevice(m_root, node).parent_path();
    m_fs.UnplugAtSetFeature(node, nth, [entry] {
        std::error_code ignored;
        fs::remove_all(entry, ignored);
    });
}

bool HidrawTestTree::Mount(std::string& reason)
{
    return m_fs.Mount(DeviceFolder(), reason);
}

void HidrawTestTree::Unmount()
{
    m_fs.Unmount();
}
