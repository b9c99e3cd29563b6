// zq-hidraw-probe: run by the udev rule for each hidraw node of the keyboards' vendor and product
// ids. Prints ZQ_PROGRAMMING_INTERFACE=1 when the node is the interface a keyboard is programmed
// through, so that only that node is opened to the user at the seat: the typing and card reader
// interfaces carry what is typed and swiped, PINs and card numbers included.
//
// Usage: zq-hidraw-probe SYSFS_PATH_OF_THE_HIDRAW_NODE (the rule passes %S%p).
// Always exits 0: a failing program would only leave udev's log noisier, never the node usable.
#include "device/HidReportDescriptor.h"
#include "device/HidReports.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// The kernel caps report descriptors at 4096 bytes; one byte more tells a longer file apart.
constexpr size_t kMaxDescriptorSize = 4096;

bool ReadDescriptor(const std::string& path, std::string& descriptor)
{
    int fd;
    do {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    char buffer[kMaxDescriptorSize + 1];
    size_t size = 0;
    bool done = true;
    while (size < sizeof buffer) {
        const ssize_t got = read(fd, buffer + size, sizeof buffer - size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            done = got == 0;
            break;
        }
        size += static_cast<size_t>(got);
    }
    (void)close(fd);
    descriptor.assign(buffer, size);
    return done && size <= kMaxDescriptorSize;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zq-hidraw-probe SYSFS_PATH_OF_A_HIDRAW_NODE\n");
        return 0;
    }
    std::string descriptor;
    HidReportLengths lengths;
    if (ReadDescriptor(std::string(argv[1]) + "/device/report_descriptor", descriptor) &&
        ParseHidReportDescriptor(reinterpret_cast<const uint8_t*>(descriptor.data()), descriptor.size(),
                                 lengths) &&
        DeclaresProgrammingReports(lengths)) {
        std::printf("ZQ_PROGRAMMING_INTERFACE=1\n");
    }
    return 0;
}
