#include "device/SimulatorSocket.h"

#include "app/Numbers.h"

namespace {

constexpr uint32_t kLoopbackNet = 0x7F000000;
constexpr uint32_t kLoopbackMask = 0xFF000000;

// Four decimal numbers 0 to 255 and nothing else: no octal, hexadecimal or shortened forms.
bool ParseDottedQuad(const std::string& text, uint32_t& address)
{
    address = 0;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos || end == start || end - start > 3) {
            return false;
        }
        uint32_t value = 0;
        for (size_t i = start; i < end; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + static_cast<uint32_t>(text[i] - '0');
        }
        if (value > 255 || (end - start > 1 && text[start] == '0')) {
            return false;
        }
        address = (address << 8) | value;
        start = end + 1;
    }
    return true;
}

} // namespace

bool ParseSimulatorEndpoint(const std::string& entry, SimulatorEndpoint& endpoint)
{
    endpoint = SimulatorEndpoint{};
    const std::string prefix = kSimulatorTcpPrefix;
    if (entry.rfind(prefix, 0) != 0) {
        endpoint.path = entry;
        return !entry.empty();
    }
    endpoint.tcp = true;
    const std::string rest = entry.substr(prefix.size());
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || !ParseDottedQuad(rest.substr(0, colon), endpoint.address) ||
        (endpoint.address & kLoopbackMask) != kLoopbackNet) {
        return false;
    }
    const std::string port = rest.substr(colon + 1);
    if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos ||
        ParseU16(port, endpoint.port, 0xFFFF) != ParseOk) {
        return false;
    }
    return endpoint.port != 0;
}
