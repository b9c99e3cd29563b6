// Parses arbitrary bytes as the sysfs uevent of a hidraw node and checks the answer against the
// lines it came from.
#include "device/HidrawUevent.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string uevent(reinterpret_cast<const char*>(data), size);
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string name = "\n";
    const bool found = ParseHidrawUevent(uevent, vendorId, productId, name);
    if (name != "\n") {
        // A name is one whole line's value.
        Check(name.find('\n') == std::string::npos);
        Check(uevent.find("HID_NAME=" + name) != std::string::npos);
    }
    if (found) {
        // The ids come from a HID_ID line, in hexadecimal digits of either case.
        std::string lower = uevent;
        for (char& c : lower) {
            c = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        Check(uevent.find("HID_ID=") != std::string::npos);
        Check(lower.find(Hex(vendorId)) != std::string::npos);
        Check(lower.find(Hex(productId)) != std::string::npos);
    }
    return 0;
}
