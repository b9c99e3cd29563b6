// Decodes arbitrary text as hexadecimal pairs and checks result, count and position against
// a direct decoding of the whole text.
#include "MemoryFile.h"

#include "io/BufferedFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    // Byte 0 chooses a run of valid pairs in front so the input meets a refill; byte 1 chooses
    // how many bytes beyond the available pairs are asked for.
    std::string content;
    if ((data[0] & 1) != 0) {
        content.assign(BufferedFile::kBufferSize - (data[0] >> 1) % 64, '7');
    }
    content.append(reinterpret_cast<const char*>(data + 2), size - 2);
    const uint32_t count = static_cast<uint32_t>(content.size() / 2 + data[1] % 3);

    std::vector<uint8_t> expected;
    bool expectedOk = true;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = 2 * static_cast<size_t>(i);
        if (at + 1 >= content.size() || DigitValue(content[at]) < 0 || DigitValue(content[at + 1]) < 0) {
            expectedOk = false;
            break;
        }
        expected.push_back(static_cast<uint8_t>(DigitValue(content[at]) * 16 + DigitValue(content[at + 1])));
    }

    BufferedFile file;
    Check(file.Open(WriteMemoryFile(content.data(), content.size()), true, 4));
    std::vector<uint8_t> bytes(count + 1, 0);
    uint32_t done = 0;
    const bool ok = file.ReadHexBytes(bytes.data(), count, done);
    Check(ok == expectedOk);
    Check(done == expected.size());
    bytes.resize(done);
    Check(bytes == expected);
    Check(file.Tell() == 2 * static_cast<uint64_t>(done));
    return 0;
}
