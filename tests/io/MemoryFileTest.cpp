#include "io/MemoryFile.h"
#include "TempFolder.h"
#include "io/SystemErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// One operation; its answers, written as text, must be the same on disk and in memory.
using Step = std::function<std::string(BufferedFile&)>;

struct Script
{
    const char* name;
    std::string initial;
    uint32_t lineEnd;
    std::vector<Step> steps;
    std::string expected;
};

Step Write(const std::string& bytes)
{
    return [bytes](BufferedFile& file) {
        return "write " + std::to_string(file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
    };
}

Step WriteLine(const std::string& text)
{
    return [text](BufferedFile& file) {
        return std::string("line ") + (file.WriteLine(text) ? "ok" : "refused");
    };
}

Step Seek(int64_t distance, uint32_t origin)
{
    return [distance, origin](BufferedFile& file) {
        const uint32_t position = file.Seek(distance, origin);
        return "seek " + std::to_string(position) + " error " + std::to_string(file.LastError());
    };
}

Step ReadLine()
{
    return [](BufferedFile& file) {
        std::string line;
        const bool got = file.ReadLine(line);
        return "read " + std::string(got ? "[" + line + "]" : "none") + " at " + std::to_string(file.Tell());
    };
}

Step Read(uint32_t count)
{
    return [count](BufferedFile& file) {
        std::string bytes(count, '\0');
        bytes.resize(file.Read(bytes.data(), count));
        return "read [" + bytes + "]";
    };
}

Step Truncate()
{
    return [](BufferedFile& file) { return std::string("truncate ") + (file.Truncate() ? "ok" : "failed"); };
}

std::string ManyLines(int count, const char* end)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "key line " + std::to_string(i) + end;
    }
    return text;
}

std::vector<Script> Scripts()
{
    std::vector<Step> manyLines;
    manyLines.reserve(2004);
    for (int i = 0; i < 2000; ++i) {
        manyLines.push_back(WriteLine("key line " + std::to_string(i)));
    }
    manyLines.push_back(Seek(0, 0));
    manyLines.push_back(ReadLine());
    manyLines.push_back(Seek(-14, 2));
    manyLines.push_back(ReadLine());
    return {
        {"OverwritesInPlaceAndFillsAGapWithZeros",
         "0123456789",
         BufferedFile::LineEndCrLf,
         {Write("ab"), Seek(4, 2), Write("xy"), Seek(0, 1)},
         std::string("ab23456789\0\0\0\0xy", 16)},
        {"LinesPastSeveralBuffersWithTheirOffsets", "", BufferedFile::LineEndCrLf, manyLines,
         ManyLines(2000, "\r\n")},
        {"ReadWriteAndTruncateFollowTheBytesConsumed",
         "line1\nline2\nline3\n",
         BufferedFile::LineEndLf,
         {ReadLine(), Seek(0, 1), WriteLine("LINE2"), ReadLine(), Seek(-6, 2), Seek(0, 0), ReadLine(),
          Truncate()},
         "line1\n"},
        {"ANegativeSeekFailsAndKeepsThePosition",
         "abc",
         BufferedFile::LineEndCrLf,
         {Read(1), Seek(-5, 1), Seek(-1, 0), Read(5), Write("Z")},
         "abcZ"},
    };
}

class MemoryFileScript : public ::testing::TestWithParam<Script>
{
};

} // namespace

TEST_P(MemoryFileScript, AnswersAndBytesMatchAFileOnDisk)
{
    const Script& script = GetParam();
    TempFolder folder;
    const std::string path = folder.File("file.bin");
    ASSERT_TRUE(WriteWholeFile(path, script.initial));
    BufferedFile disk;
    ASSERT_TRUE(disk.Open(path, false, script.lineEnd));
    MemoryFile memory(script.initial, script.lineEnd);
    for (size_t i = 0; i < script.steps.size(); ++i) {
        EXPECT_EQ(script.steps[i](memory), script.steps[i](disk)) << "step " << i;
    }
    EXPECT_TRUE(disk.Close());
    EXPECT_TRUE(memory.Close());
    EXPECT_EQ(ReadWholeFile(path), script.expected);
    EXPECT_EQ(memory.GetContent(), script.expected);
}

INSTANTIATE_TEST_SUITE_P(MemoryFile, MemoryFileScript, ::testing::ValuesIn(Scripts()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryFile, NegativeSeekReportsTheSystemsCode)
{
    MemoryFile file("abc");
    // BufferedFile::Seek asks for the position again after a failure, which clears the code.
    EXPECT_EQ(file.RawFile::Seek(-1, 0), RawFile::kSeekFailed);
    EXPECT_EQ(file.LastError(), kNegativeSeekError);
    EXPECT_EQ(file.RawFile::Seek(-4, 2), RawFile::kSeekFailed);
    EXPECT_EQ(file.RawFile::Seek(-3, 2), 0u);
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_EQ(file.GetSize(), 3u);
}

TEST(WriteToMemory, GivesTheWrittenLinesOrLeavesTheTextAlone)
{
    std::string text = "before";
    EXPECT_TRUE(WriteToMemory(text, BufferedFile::LineEndCrLf, [](BufferedFile& file) {
        return file.WriteLine("ZQ-2200.v1") && file.WriteLine("1:M1", BufferedFile::LineEndLf);
    }));
    EXPECT_EQ(text, "ZQ-2200.v1\r\n1:M1\n");

    // A writer that refuses, one whose write fails once the buffer goes out, and one that
    // leaves the failure behind while answering true.
    const std::function<bool(BufferedFile&)> failing[] = {
        [](BufferedFile& file) { return file.WriteLine("half") && false; },
        [](BufferedFile& file) { return file.Open(std::string(), true) && file.WriteLine("half"); },
        [](BufferedFile& file) {
            return file.Open(std::string(), true) && file.WriteLine("half") && !file.Flush();
        },
    };
    for (const auto& writer : failing) {
        text = "before";
        EXPECT_FALSE(WriteToMemory(text, BufferedFile::LineEndCrLf, writer));
        EXPECT_EQ(text, "before");
    }
}
