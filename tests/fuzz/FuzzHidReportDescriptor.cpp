// Parses arbitrary bytes as a HID report descriptor: a refused descriptor gives no lengths, an
// accepted one gives lengths that include the report id byte, and an empty long item in front
// changes nothing.
#include "device/HidReportDescriptor.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

bool Same(const HidReportLengths& a, const HidReportLengths& b)
{
    return a.input == b.input && a.output == b.output && a.feature == b.feature &&
           a.usesReportIds == b.usesReportIds;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HidReportLengths lengths;
    const bool valid = ParseHidReportDescriptor(data, size, lengths);
    if (!valid && !Same(lengths, HidReportLengths{})) {
        std::abort();
    }
    for (uint16_t length : {lengths.input, lengths.output, lengths.feature}) {
        if (length == 1) {
            std::abort();
        }
    }

    std::vector<uint8_t> prefixed = {0xFE, 0x00, 0xF0};
    prefixed.insert(prefixed.end(), data, data + size);
    HidReportLengths prefixedLengths;
    if (ParseHidReportDescriptor(prefixed.data(), prefixed.size(), prefixedLengths) != valid ||
        !Same(prefixedLengths, lengths)) {
        std::abort();
    }
    return 0;
}
