// Reads every line of arbitrary bytes through the buffer and checks the result against a
// whole-text splitter, so that no line break is lost or doubled at a refill.
#include "MemoryFile.h"

#include "io/BufferedFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Line
{
    std::string text;
    size_t end; // position after the line and its break
};

std::vector<Line> SplitWhole(const std::string& data)
{
    std::vector<Line> lines;
    size_t position = 0;
    while (position < data.size()) {
        const size_t start = position;
        size_t i = start;
        // A break at the very start stays part of the line.
        if (data[i] == '\r' || data[i] == '\n') {
            ++i;
        }
        while (i < data.size() && data[i] != '\r' && data[i] != '\n') {
            ++i;
        }
        Line line{data.substr(start, i - start), i};
        if (i < data.size()) {
            const char partner = data[i] == '\r' ? '\n' : '\r';
            ++i;
            if (i < data.size() && data[i] == partner) {
                ++i;
            }
            line.end = i;
        }
        lines.push_back(line);
        position = line.end;
    }
    return lines;
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
    if (size == 0) {
        return 0;
    }
    // The first byte chooses a padding that moves the input onto the first refill.
    std::string content;
    if ((data[0] & 1) != 0) {
        content.assign(BufferedFile::kBufferSize - (data[0] >> 1) % 64, 'x');
    }
    content.append(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::vector<Line> expected = SplitWhole(content);
    BufferedFile file;
    Check(file.Open(WriteMemoryFile(content.data(), content.size()), true, 4));
    std::string text;
    size_t count = 0;
    while (file.ReadLine(text)) {
        Check(count < expected.size());
        Check(text == expected[count].text);
        // The second half of a pair split across fills is consumed by the next read.
        Check(file.Tell() == expected[count].end || file.Tell() + 1 == expected[count].end);
        ++count;
    }
    Check(count == expected.size());
    Check(file.Tell() == content.size());
    return 0;
}
