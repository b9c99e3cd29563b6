// Reads arbitrary text as a report of 'zqtool program --json' for --retry-failed: never a crash,
// and what it parses as JSON writes back to text that parses again to the same failures.
#include "device/FleetReport.h"
#include "lang/Json.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> devices;
    std::string error;
    const bool read = ReadFailedDevices(text, devices, error);
    if (read != error.empty()) {
        std::abort();
    }
    if (!read) {
        return 0;
    }
    // Each device named comes back from a report written with it.
    std::vector<FleetRow> rows;
    for (const std::string& device : devices) {
        FleetRow row;
        row.device = device;
        row.result = 16;
        rows.push_back(row);
    }
    std::vector<std::string> again;
    if (!ReadFailedDevices(FormatFleetJson(rows), again, error) || again.size() != devices.size()) {
        std::abort();
    }
    return 0;
}
