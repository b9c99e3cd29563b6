#include "device/HidrawBackend.h"

#include "device/HidReportDescriptor.h"
#include "device/HidReports.h"
#include "device/HidrawUevent.h"
#include "device/OsError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* kNodePrefix = "hidraw";
// sysfs attributes are at most a page; the kernel caps report descriptors at 4096 bytes.
constexpr size_t kMaxAttributeSize = 65536;

struct NodeEntry
{
    unsigned long number = 0;
    std::string name;
};

// "hidraw" and 1 to 9 digits; anything else in the class folder is not a node of ours.
bool ParseNodeName(const char* name, unsigned long& number)
{
    const size_t prefixLength = std::strlen(kNodePrefix);
    if (std::strncmp(name, kNodePrefix, prefixLength) != 0) {
        return false;
    }
    const char* digits = name + prefixLength;
    const size_t count = std::strlen(digits);
    if (count == 0 || count > 9) {
        return false;
    }
    number = 0;
    for (size_t i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9') {
            return false;
        }
        number = number * 10 + static_cast<unsigned long>(digits[i] - '0');
    }
    return true;
}

// 0, or the errno of the failure; a file larger than the limit is refused with EFBIG, as no
// attribute of a hidraw node is that long.
int ReadWholeFile(const std::string& path, std::string& contents)
{
    contents.clear();
    int fd;
    do {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno;
    }
    char chunk[4096];
    int error = 0;
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0) {
            break;
        }
        if (contents.size() + static_cast<size_t>(got) > kMaxAttributeSize) {
            error = EFBIG;
            break;
        }
        contents.append(chunk, static_cast<size_t>(got));
    }
    // A read-only file has nothing left to lose on a failed close.
    (void)close(fd);
    return error;
}

} // namespace

HidrawBackend::HidrawBackend(std::string sysfsRoot, std::string deviceFolder)
    : m_sysfsRoot(std::move(sysfsRoot)), m_deviceFolder(std::move(deviceFolder))
{
}

HidrawBackend::~HidrawBackend()
{
    for (int fd : m_open) {
        (void)close(fd);
    }
}

bool HidrawBackend::Enumerate(std::vector<HidInterfaceInfo>& interfaces)
{
    interfaces.clear();
    const std::string classFolder = m_sysfsRoot + "/class/hidraw";
    DIR* folder = opendir(classFolder.c_str());
    if (folder == nullptr) {
        m_lastError = MapOsError(errno);
        return false;
    }
    std::vector<NodeEntry> nodes;
    int readError = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            readError = errno;
            break;
        }
        NodeEntry node;
        if (ParseNodeName(entry->d_name, node.number)) {
            node.name = entry->d_name;
            nodes.push_back(std::move(node));
        }
    }
    (void)closedir(folder);
    if (readError != 0) {
        m_lastError = MapOsError(readError);
        return false;
    }
    std::sort(nodes.begin(), nodes.end(),
              [](const NodeEntry& a, const NodeEntry& b) { return a.number < b.number; });
    for (const NodeEntry& node : nodes) {
        HidInterfaceInfo info;
        if (ReadInterface(node.name, info)) {
            interfaces.push_back(std::move(info));
        }
    }
    m_lastError = kOsErrorNone;
    return true;
}

bool HidrawBackend::ReadInterface(const std::string& nodeName, HidInterfaceInfo& info) const
{
    const std::string deviceFolder = m_sysfsRoot + "/class/hidraw/" + nodeName + "/device";
    info.path = m_deviceFolder + "/" + nodeName;
    info.kind = HidInterfaceKind::Hid;
    std::string uevent;
    const int ueventError = ReadWholeFile(deviceFolder + "/uevent", uevent);
    // A node gone since the folder was read is no interface; one that is there but cannot be read
    // might be the keyboard, so it is listed with the reason.
    if (ueventError == ENOENT) {
        return false;
    }
    if (ueventError != 0) {
        info.readError = MapOsError(ueventError);
        return true;
    }
    if (!ParseHidrawUevent(uevent, info.vendorId, info.productId, info.name)) {
        return false;
    }
    std::string descriptor;
    const int descriptorError = ReadWholeFile(deviceFolder + "/report_descriptor", descriptor);
    HidReportLengths lengths;
    if (descriptorError != 0 && descriptorError != ENOENT) {
        info.readError = MapOsError(descriptorError);
    } else if (descriptorError == 0 &&
               ParseHidReportDescriptor(reinterpret_cast<const uint8_t*>(descriptor.data()),
                                        descriptor.size(), lengths)) {
        info.featureReportByteLength = lengths.feature;
        info.programmingReports = DeclaresProgrammingReports(lengths);
    }
    return true;
}

HidHandle HidrawBackend::Open(const std::string& path)
{
    int fd;
    do {
        fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_lastError = MapOsError(errno);
        return kInvalidHidHandle;
    }
    // Two programs writing one keyboard at once would leave it holding a mix of both images.
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked < 0 && errno == EINTR);
    if (locked < 0) {
        m_lastError = errno == EWOULDBLOCK ? kOsErrorInUse : MapOsError(errno);
        (void)close(fd);
        return kInvalidHidHandle;
    }
    if (fd == static_cast<int>(kNoHidHandle)) {
        // Descriptor 0 would read as "never opened".
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        const int dupError = errno;
        (void)close(fd);
        if (moved < 0) {
            m_lastError = MapOsError(dupError);
            return kInvalidHidHandle;
        }
        fd = moved;
    }
    m_open.insert(fd);
    m_lastError = kOsErrorNone;
    return fd;
}

void HidrawBackend::Close(HidHandle handle)
{
    if (!Owns(handle)) {
        m_lastError = MapOsError(EBADF);
        return;
    }
    m_open.erase(static_cast<int>(handle));
    // Not retried on EINTR: Linux frees the descriptor whatever close answers.
    m_lastError = close(static_cast<int>(handle)) == 0 ? kOsErrorNone : MapOsError(errno);
}

bool HidrawBackend::SetFeature(HidHandle handle, const uint8_t* report, size_t length)
{
    if (report == nullptr || length == 0 || length > _IOC_SIZEMASK) {
        m_lastError = MapOsError(EINVAL);
        return false;
    }
    // The request is declared read-write, so a driver may write back; the caller's report is const.
    std::vector<uint8_t> buffer(report, report + length);
    return FeatureIoctl(handle, HIDIOCSFEATURE(length), buffer.data(), length);
}

bool HidrawBackend::GetFeature(HidHandle handle, uint8_t* report, size_t length)
{
    if (report == nullptr || length == 0 || length > _IOC_SIZEMASK) {
        m_lastError = MapOsError(EINVAL);
        return false;
    }
    // The caller's buffer changes only when the whole answer came.
    std::vector<uint8_t> buffer(report, report + length);
    if (!FeatureIoctl(handle, HIDIOCGFEATURE(length), buffer.data(), length)) {
        return false;
    }
    std::memcpy(report, buffer.data(), length);
    return true;
}

// Only descriptors this backend opened: closing or using any other would hit someone else's file.
bool HidrawBackend::Owns(HidHandle handle) const
{
    return handle > 0 && handle <= INT_MAX && m_open.count(static_cast<int>(handle)) != 0;
}

bool HidrawBackend::FeatureIoctl(HidHandle handle, unsigned long request, uint8_t* report, size_t length)
{
    if (!Owns(handle)) {
        m_lastError = MapOsError(EBADF);
        return false;
    }
    int result;
    do {
        result = ioctl(static_cast<int>(handle), request, report);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        m_lastError = MapOsError(errno);
        return false;
    }
    if (static_cast<size_t>(result) != length) {
        m_lastError = kOsErrorNotFunctioning;
        return false;
    }
    m_lastError = kOsErrorNone;
    return true;
}
