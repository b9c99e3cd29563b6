// A made-up sysfs tree beside a FUSE folder of emulated hidraw nodes, in a fresh temporary folder:
// what a HidrawBackend needs to find and open devices as it would under /sys and /dev.
#pragma once

#include "EmulatedHidraw.h"
#include "device/HidDescriptors.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class HidrawTestTree
{
public:
    HidrawTestTree() = default;
    // Unmounts, then removes the folder.
    ~HidrawTestTree();
    HidrawTestTree(const HidrawTestTree&) = delete;
    HidrawTestTree& operator=(const HidrawTestTree&) = delete;

    // Makes the temporary folder; false with the reason when it cannot.
    bool Create(std::string& reason);
    // Before Mount. A USB HID node; the responder must outlive the tree. False when sysfs was not written.
    bool AddNode(const std::string& node, uint16_t vendorId, uint16_t productId, const std::string& name,
                 const std::vector<uint8_t>& descriptor, FeatureResponder& responder);
    // From the nth set-feature on the node is unplugged: gone from sysfs and the folder, ENODEV on use.
    void UnplugAtSetFeature(const std::string& node, int nth);
    bool Mount(std::string& reason);
    void Unmount();

    std::string SysfsRoot() const { return (m_root / "sys").string(); }
    std::string DeviceFolder() const { return (m_root / "dev").string(); }
    std::string Dev(const std::string& node) const { return (m_root / "dev" / node).string(); }
    // A file of the test's own beside the two trees.
    std::string FilePath(const std::string& name) const { return (m_root / name).string(); }

private:
    std::filesystem::path m_root;
    EmulatedHidraw m_fs;
};
