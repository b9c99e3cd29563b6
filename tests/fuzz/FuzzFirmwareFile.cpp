// Reads arbitrary bytes as a firmware file: it is refused with a reason, or every block it gives
// back is exactly the file's digits, whole blocks of them, and nothing after them but line ends.
#include "MemoryFile.h"

#include "device/DeviceResult.h"
#include "device/UsbFirmware.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> blocks;
    std::string why;
    const int result = ReadUsbFirmwareFile(WriteMemoryFile(data, size), blocks, why);
    if (result != DeviceResultOk) {
        if (result != DeviceResultCorruptedFile || why.empty() || !blocks.empty()) {
            std::abort();
        }
        return 0;
    }
    if (blocks.empty() || blocks.size() % UsbFirmware::kBlockLength != 0 || size < 2 * blocks.size()) {
        std::abort();
    }
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (std::tolower(data[2 * i]) != kDigits[blocks[i] >> 4] ||
            std::tolower(data[2 * i + 1]) != kDigits[blocks[i] & 15]) {
            std::abort();
        }
    }
    for (size_t i = 2 * blocks.size(); i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n') {
            std::abort();
        }
    }
    return 0;
}
