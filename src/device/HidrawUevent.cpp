#include "device/HidrawUevent.h"

namespace {

// One hexadecimal field of HID_ID, 1 to 8 digits.
bool ParseHexField(const std::string& text, uint32_t& value)
{
    if (text.empty() || text.size() > 8) {
        return false;
    }
    value = 0;
    for (char c : text) {
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value << 4 | digit;
    }
    return true;
}

// HID_ID=bus:vendor:product; ids beyond 16 bits are no USB device and cannot be matched.
bool ParseHidId(const std::string& text, uint16_t& vendorId, uint16_t& productId)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    uint32_t bus;
    uint32_t vendor;
    uint32_t product;
    if (!ParseHexField(text.substr(0, first), bus) ||
        !ParseHexField(text.substr(first + 1, second - first - 1), vendor) ||
        !ParseHexField(text.substr(second + 1), product) || vendor > 0xFFFF || product > 0xFFFF) {
        return false;
    }
    vendorId = static_cast<uint16_t>(vendor);
    productId = static_cast<uint16_t>(product);
    return true;
}

} // namespace

bool ParseHidrawUevent(const std::string& uevent, uint16_t& vendorId, uint16_t& productId, std::string& name)
{
    bool haveId = false;
    size_t start = 0;
    while (start < uevent.size()) {
        size_t end = uevent.find('\n', start);
        if (end == std::string::npos) {
            end = uevent.size();
        }
        const std::string line = uevent.substr(start, end - start);
        if (line.rfind("HID_ID=", 0) == 0) {
            haveId = ParseHidId(line.substr(7), vendorId, productId);
        } else if (line.rfind("HID_NAME=", 0) == 0) {
            name = line.substr(9);
        }
        start = end + 1;
    }
    return haveId;
}
