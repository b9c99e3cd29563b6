// hidraw nodes emulated in a FUSE filesystem: open() and the feature-report ioctls on a file of the
// mounted folder go through the kernel to a FeatureResponder in this process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The device end of one node. Answers are what the hidraw ioctl returns: the byte count, or -errno.
class FeatureResponder
{
public:
    virtual ~FeatureResponder() = default;
    virtual int SetFeature(const uint8_t* report, size_t length) = 0;
    // report holds the host's request on entry; the answer's first bytes are written over it.
    virtual int GetFeature(uint8_t* report, size_t length) = 0;
};

class EmulatedHidraw
{
public:
    EmulatedHidraw();
    ~EmulatedHidraw();
    EmulatedHidraw(const EmulatedHidraw&) = delete;
    EmulatedHidraw& operator=(const EmulatedHidraw&) = delete;

    // Before Mount. The responder must outlive the filesystem.
    void AddNode(const std::string& name, FeatureResponder& responder);
    // From the nth set-feature on (counted from 1) the device is unplugged: onUnplug runs, that
    // call and every later one on an open file answer ENODEV as hidraw does, and the name leaves
    // the folder.
    void UnplugAtSetFeature(const std::string& name, int nth, const std::function<void()>& onUnplug);

    // False with the reason when there is no FUSE or the kernel refuses the mount.
    bool Mount(const std::string& folder, std::string& reason);
    // Stops the server; files still open fail from then on. Safe when not mounted.
    void Unmount();

private:
    struct Server; // the FUSE session and its thread, kept out of this header
    std::unique_ptr<Server> m_server;
};
