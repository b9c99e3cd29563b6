// A made-up sysfs tree beside a FUSE folder of emulated hidraw nodes, in a fresh temporary folder:
// what a HidrawBackend needs to find and open devices as it would under /sys and /dev.
#pragma once

#include "EmulatedHidraw.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace HidrawDescriptors {
// A boot keyboard's input interface: no feature report.
inline const std::vector<uint8_t> Typing = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x08,
                                            0x95, 0x08, 0x81, 0x00, 0x91, 0x02, 0xC0};
// The programming interface: command report 2 (7 bytes) and data report 3 (136 bytes).
inline const std::vector<uint8_t> Vendor = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x85, 0x02,
    0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x03, 0x95, 0x88, 0x09, 0x02, 0xB1, 0x02, 0xC0,
};
inline const std::vector<uint8_t> Mouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75,
                                           0x08, 0x95, 0x04, 0x81, 0x06, 0xC0};
} // namespace HidrawDescriptors

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
