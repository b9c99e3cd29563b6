// Feeds arbitrary socket bytes to a simulated device, as a client could send them.
#include "sim/SimProtocol.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    // The first byte picks the interface; the second where the stream is cut into reads.
    SimInterfaceConfig config;
    ApplySimFamily(data[0] & 1 ? "zq1100" : "zq2200", config);
    config.endAddress = data[0] & 2 ? 0 : 0x17FF;
    config.busyPolls.fill(data[0] & 4 ? 1 : 0);
    if (data[0] & 8) {
        config.disconnectAfter = data[0] >> 4;
    }
    config.failRules.push_back({0, 3, 6});
    SimDevice device(config);
    std::string error;
    if (!device.Load(error)) {
        std::abort();
    }
    size_t cut = data[1] + 1u;
    data += 2;
    size -= 2;

    std::vector<uint8_t> pending, output;
    for (size_t offset = 0; offset < size; offset += cut) {
        size_t piece = std::min(cut, size - offset);
        pending.insert(pending.end(), data + offset, data + offset + piece);
        bool close = false;
        size_t used = AnswerRequests(device, pending.data(), pending.size(), output, close);
        if (used > pending.size()) {
            std::abort();
        }
        if (close) {
            return 0;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
    return 0;
}
