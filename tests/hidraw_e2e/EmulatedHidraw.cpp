#define FUSE_USE_VERSION 35

#include "EmulatedHidraw.h"

#include <fuse_lowlevel.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned int HidrawIoctlType = 'H';
constexpr unsigned int SetFeatureNumber = _IOC_NR(HIDIOCSFEATURE(0));
constexpr unsigned int GetFeatureNumber = _IOC_NR(HIDIOCGFEATURE(0));

struct Node
{
    std::string name;
    FeatureResponder* responder = nullptr;
    bool present = true;
    int setFeatures = 0;
    int unplugAt = 0;
    std::function<void()> onUnplug;
};

} // namespace

struct EmulatedHidraw::Server
{
    std::mutex mutex;
    std::vector<Node> nodes; // inode = index + 2; fixed once mounted
    fuse_session* session = nullptr;
    int stopPipe[2] = {-1, -1};
    std::thread thread;

    static Server& Of(fuse_req_t request) { return *static_cast<Server*>(fuse_req_userdata(request)); }

    Node* Find(fuse_ino_t inode)
    {
        if (inode < 2 || inode - 2 >= nodes.size()) {
            return nullptr;
        }
        return &nodes[inode - 2];
    }

    static struct stat Attributes(fuse_ino_t inode)
    {
        struct stat attributes = {};
        attributes.st_ino = inode;
        // A regular file: a character device would be opened by the kernel, not forwarded here.
        attributes.st_mode = inode == FUSE_ROOT_ID ? S_IFDIR | 0755 : S_IFREG | 0666;
        attributes.st_nlink = inode == FUSE_ROOT_ID ? 2 : 1;
        return attributes;
    }

    static void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name)
    {
        Server& self = Of(request);
        std::lock_guard lock(self.mutex);
        for (size_t i = 0; i < self.nodes.size(); ++i) {
            if (parent == FUSE_ROOT_ID && self.nodes[i].present && self.nodes[i].name == name) {
                fuse_entry_param entry = {};
                entry.ino = i + 2;
                entry.attr = Attributes(entry.ino);
                // No caching: an unplugged node must be gone at the next lookup.
                entry.attr_timeout = 0;
                entry.entry_timeout = 0;
                fuse_reply_entry(request, &entry);
                return;
            }
        }
        fuse_reply_err(request, ENOENT);
    }

    static void GetAttr(fuse_req_t request, fuse_ino_t inode, fuse_file_info*)
    {
        Server& self = Of(request);
        std::lock_guard lock(self.mutex);
        if (inode != FUSE_ROOT_ID && self.Find(inode) == nullptr) {
            fuse_reply_err(request, ENOENT);
            return;
        }
        const struct stat attributes = Attributes(inode);
        fuse_reply_attr(request, &attributes, 0);
    }

    static void Open(fuse_req_t request, fuse_ino_t inode, fuse_file_info* file)
    {
        Server& self = Of(request);
        std::lock_guard lock(self.mutex);
        const Node* node = self.Find(inode);
        if (node == nullptr || !node->present) {
            fuse_reply_err(request, ENODEV);
            return;
        }
        file->direct_io = 1;
        file->nonseekable = 1;
        fuse_reply_open(request, file);
    }

    static void Release(fuse_req_t request, fuse_ino_t, fuse_file_info*) { fuse_reply_err(request, 0); }

    // Restricted ioctls: the kernel copies in and out the size the request number carries, which
    // is all that the hidraw feature requests need.
    static void Ioctl(fuse_req_t request, fuse_ino_t inode, unsigned int command, void*, fuse_file_info*,
                      unsigned flags, const void* in, size_t inSize, size_t outSize)
    {
        Server& self = Of(request);
        std::lock_guard lock(self.mutex);
        Node* node = self.Find(inode);
        const unsigned int number = _IOC_NR(command);
        const size_t size = _IOC_SIZE(command);
        if (node == nullptr || (flags & FUSE_IOCTL_COMPAT) != 0 || _IOC_TYPE(command) != HidrawIoctlType ||
            (number != SetFeatureNumber && number != GetFeatureNumber)) {
            fuse_reply_err(request, ENOTTY);
            return;
        }
        if (size == 0 || inSize < size || outSize < size) {
            fuse_reply_err(request, EINVAL);
            return;
        }
        if (number == SetFeatureNumber && node->present && node->unplugAt != 0 &&
            ++node->setFeatures >= node->unplugAt) {
            node->present = false;
            if (node->onUnplug) {
                node->onUnplug();
            }
        }
        if (!node->present) {
            fuse_reply_err(request, ENODEV);
            return;
        }
        std::vector<uint8_t> report(static_cast<const uint8_t*>(in), static_cast<const uint8_t*>(in) + size);
        const int result = number == SetFeatureNumber ? node->responder->SetFeature(report.data(), size)
                                                      : node->responder->GetFeature(report.data(), size);
        if (result < 0) {
            fuse_reply_err(request, -result);
        } else if (number == SetFeatureNumber) {
            fuse_reply_ioctl(request, result, nullptr, 0);
        } else {
            // Like hidraw, only the bytes the device answered are copied back.
            fuse_reply_ioctl(request, result, report.data(), std::min(static_cast<size_t>(result), size));
        }
    }

    void Serve()
    {
        fuse_buf buffer = {};
        pollfd waits[2] = {{fuse_session_fd(session), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        while (!fuse_session_exited(session)) {
            const int ready = poll(waits, 2, -1);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0 || waits[1].revents != 0 || (waits[0].revents & (POLLERR | POLLHUP)) != 0) {
                break;
            }
            const int received = fuse_session_receive_buf(session, &buffer);
            if (received == -EINTR || received == -EAGAIN) {
                continue;
            }
            if (received <= 0) {
                break;
            }
            fuse_session_process_buf(session, &buffer);
        }
        std::free(buffer.mem);
    }
};

EmulatedHidraw::EmulatedHidraw() : m_server(std::make_unique<Server>()) {}

EmulatedHidraw::~EmulatedHidraw()
{
    Unmount();
}

void EmulatedHidraw::AddNode(const std::string& name, FeatureResponder& responder)
{
    std::lock_guard lock(m_server->mutex);
    Node node;
    node.name = name;
    node.responder = &responder;
    m_server->nodes.push_back(std::move(node));
}

void EmulatedHidraw::UnplugAtSetFeature(const std::string& name, int nth,
                                        const std::function<void()>& onUnplug)
{
    std::lock_guard lock(m_server->mutex);
    for (Node& node : m_server->nodes) {
        if (node.name == name) {
            node.unplugAt = nth;
            node.setFeatures = 0;
            node.onUnplug = onUnplug;
        }
    }
}

bool EmulatedHidraw::Mount(const std::string& folder, std::string& reason)
{
    if (access("/dev/fuse", R_OK | W_OK) != 0) {
        reason = std::string("no usable /dev/fuse: ") + std::strerror(errno);
        return false;
    }
    fuse_lowlevel_ops operations = {};
    operations.lookup = Server::Lookup;
    operations.getattr = Server::GetAttr;
    operations.open = Server::Open;
    operations.release = Server::Release;
    operations.ioctl = Server::Ioctl;

    char program[] = "zq-hidraw-e2e";
    char* argv[] = {program, nullptr};
    fuse_args arguments = FUSE_ARGS_INIT(1, argv);
    Server& server = *m_server;
    server.session = fuse_session_new(&arguments, &operations, sizeof operations, &server);
    fuse_opt_free_args(&arguments); // libfuse may have copied them
    if (server.session == nullptr) {
        reason = "libfuse could not make a session";
        return false;
    }
    if (fuse_session_mount(server.session, folder.c_str()) != 0) {
        fuse_session_destroy(server.session);
        server.session = nullptr;
        reason = "the kernel refused a FUSE mount on " + folder + " (it needs CAP_SYS_ADMIN or fusermount3)";
        return false;
    }
    if (pipe2(server.stopPipe, O_CLOEXEC) != 0) {
        reason = std::string("no pipe: ") + std::strerror(errno);
        fuse_session_unmount(server.session);
        fuse_session_destroy(server.session);
        server.session = nullptr;
        return false;
    }
    server.thread = std::thread([&server] { server.Serve(); });
    return true;
}

void EmulatedHidraw::Unmount()
{
    Server& server = *m_server;
    if (server.session == nullptr) {
        return;
    }
    const char stop = 1;
    if (write(server.stopPipe[1], &stop, 1) != 1) {
        std::abort(); // the server would never wake to be joined
    }
    server.thread.join();
    // Closing the session's device ends the connection: files still open fail rather than hang.
    fuse_session_unmount(server.session);
    fuse_session_destroy(server.session);
    server.session = nullptr;
    for (int& end : server.stopPipe) {
        if (end >= 0) {
            (void)close(end);
            end = -1;
        }
    }
}
