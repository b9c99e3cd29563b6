#include "io/BufferedFile.h"
#include "TempFolder.h"
#include "io/FakeFiles.h"
#include "io/SystemErrors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr size_t kFill = BufferedFile::kBufferSize;

struct LineCase
{
    std::string bytes;
    std::vector<std::string> lines;
};

void ExpectLines(const std::vector<LineCase>& cases)
{
    TempFolder folder;
    const std::string path = folder.File("lines.txt");
    for (size_t i = 0; i < cases.size(); ++i) {
        ASSERT_TRUE(WriteWholeFile(path, cases[i].bytes));
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, true, 4));
        std::vector<std::string> lines;
        std::string line;
        while (file.ReadLine(line)) {
            lines.push_back(line);
        }
        EXPECT_EQ(lines, cases[i].lines) << "case " << i;
    }
}

} // namespace

TEST(BufferedFileReadLine, EveryLineEnd)
{
    ExpectLines({
        {"", {}},
        {"A", {"A"}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\rB\r", {"A", "B"}},
        {"A\n\rB", {"A", "B"}},
        {"A\r\n\r\nB", {"A", "\r", "B"}}, // the empty line arrives as a lone CR
        {"A\r\rB", {"A", "\rB"}},
        {"A\n\nB", {"A", "\nB"}},
        {"\n", {"\n"}},
        {std::string("a\0\xff\n", 4), {std::string("a\0\xff", 3)}},
    });
}

TEST(BufferedFileReadLine, BreakSplitAcrossFillsCountsOnce)
{
    const std::string pad(kFill - 1, 'x'); // the break starts at byte 10240 of the file
    const std::string pad2(kFill - 2, 'x');
    const std::string longLine(kFill + 300, 'y');
    ExpectLines({
        {pad + "\r\nB", {pad, "B"}},
        {pad + "\n\rB", {pad, "B"}},
        {pad + "\r\n", {pad}},
        {pad + "\r\rB", {pad, "\rB"}},
        {pad2 + "\r\n\r\nB", {pad2, "\r", "B"}}, // a complete pair before the fill skips nothing
        {longLine + "\nC", {longLine, "C"}},
    });
}

TEST(BufferedFileOpen, MissingFileReadOnlyFails)
{
    TempFolder folder;
    BufferedFile file;
    EXPECT_FALSE(file.Open(folder.File("missing.zqp"), true, 4));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.LastError(), kMissingFileError);
    std::string line;
    EXPECT_FALSE(file.ReadLine(line));
}

TEST(BufferedFileOpen, ExistingFileKeepsBytesUntilTruncate)
{
    TempFolder folder;
    const std::string path = folder.File("old.txt");
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, false, 4));
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_EQ(file.Write("ab", 2), 2u);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "ab23456789");

    ASSERT_TRUE(file.Open(path, false, 4));
    EXPECT_EQ(file.Write("cd", 2), 2u);
    // Opening another file first writes what is pending for this one.
    ASSERT_TRUE(file.Open(folder.File("other.txt"), false, 4));
    EXPECT_EQ(ReadWholeFile(path), "cd23456789");
    ASSERT_TRUE(file.Open(path, false, 4));
    EXPECT_EQ(file.Write("ef", 2), 2u);
    EXPECT_TRUE(file.Truncate());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "ef");
}

TEST(BufferedFileWriteLine, LineEndCodes)
{
    struct Case
    {
        uint32_t defaultCode;
        uint32_t code;
        const char* expected;
    };
    const Case cases[] = {
        {3, 4, "abc\r\n"}, {1, 4, "abc\n"}, {0, 4, "abc"},     {4, 4, "abc\r\n"}, {2, 4, "abc\r"},
        {3, 1, "abc\n"},   {3, 2, "abc\r"}, {1, 3, "abc\r\n"}, {3, 0, "abc"},     {3, 5, "abc"},
    };
    TempFolder folder;
    const std::string path = folder.File("line.txt");
    for (const Case& c : cases) {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, c.defaultCode));
        EXPECT_TRUE(file.WriteLine("abc", c.code));
        EXPECT_TRUE(file.Truncate());
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(ReadWholeFile(path), c.expected) << c.defaultCode << " " << c.code;
    }
}

TEST(BufferedFileWrite, LargeLastWriteBeforeCloseReachesTheFile)
{
    TempFolder folder;
    const std::string path = folder.File("big.bin");
    std::string body;
    for (size_t i = 0; i < 3 * kFill + 17; ++i) {
        body += static_cast<char>('a' + i % 26);
    }
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, false, 4));
    EXPECT_EQ(file.Write("head", 4), 4u);
    EXPECT_EQ(file.Write(body.data(), static_cast<uint32_t>(body.size())), body.size());
    EXPECT_EQ(file.Tell(), 4 + body.size());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "head" + body);
}

TEST(BufferedFileRead, ChunksAcrossFillsAfterALine)
{
    TempFolder folder;
    const std::string path = folder.File("data.bin");
    std::string bytes = "first\r\n";
    for (size_t i = 0; i < 25000; ++i) {
        bytes += static_cast<char>(i * 7 % 251);
    }
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, true, 4));
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(file.Tell(), 7u);
    std::string got;
    char chunk[7000];
    while (uint32_t n = file.Read(chunk, sizeof chunk)) {
        got.append(chunk, n);
    }
    EXPECT_EQ(got, bytes.substr(7));
}

TEST(BufferedFileMixed, SeekWriteAndTruncateFollowTheBytesConsumed)
{
    TempFolder folder;
    const std::string path = folder.File("mixed.txt");
    ASSERT_TRUE(WriteWholeFile(path, "line1\nline2\nline3\n"));
    BufferedFile file;
    EXPECT_EQ(file.Seek(5, 0), 0u);
    ASSERT_TRUE(file.Open(path, false, 1));
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(file.Seek(0, 1), 6u);
    ASSERT_TRUE(file.WriteLine("LINE2"));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "line3");
    EXPECT_EQ(file.Seek(-6, 2), 12u);
    ASSERT_TRUE(file.Seek(0, 0) == 0 && file.ReadLine(line));
    EXPECT_TRUE(file.Truncate());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "line1\n");
}

TEST(BufferedFileHex, ReadHexBytes)
{
    struct Case
    {
        std::string text;
        uint32_t count;
        bool ok;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"0aFF", 2, true, {0x0A, 0xFF}},
        {"9fAa", 2, true, {0x9F, 0xAA}},
        {"123456", 2, true, {0x12, 0x34}},
        {"0G", 1, false, {}},
        {"g0", 1, false, {}},
        {"0a0", 2, false, {0x0A}},
        {"0a 0b", 2, false, {0x0A}},
        {"0a\r\n0b", 2, false, {0x0A}},
        {"", 0, true, {}},
        {"", 1, false, {}},
        // a lone digit after a full fill must not pair with bytes left from that fill
        {std::string(kFill, '1') + "A", kFill / 2 + 1, false, std::vector<uint8_t>(kFill / 2, 0x11)},
    };
    TempFolder folder;
    const std::string path = folder.File("hex.txt");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(path, c.text));
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, true, 4));
        std::vector<uint8_t> out(c.count + 1, 0xEE);
        uint32_t done = 99;
        EXPECT_EQ(file.ReadHexBytes(out.data(), c.count, done), c.ok) << c.text.substr(0, 8);
        out.resize(done);
        EXPECT_EQ(out, c.bytes) << c.text.substr(0, 8);
    }
}

TEST(BufferedFileHex, PairAcrossAFillKeepsThePosition)
{
    TempFolder folder;
    const std::string path = folder.File("hex.txt");
    std::string text = "-";
    for (int i = 0; i < 6000; ++i) {
        text += "5A";
    }
    ASSERT_TRUE(WriteWholeFile(path, text));
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, true, 4));
    char dash = 0;
    ASSERT_EQ(file.Read(&dash, 1), 1u);
    std::vector<uint8_t> out(5200);
    uint32_t done = 0;
    ASSERT_TRUE(file.ReadHexBytes(out.data(), 5200, done)); // pair 5120 straddles the fill
    EXPECT_EQ(out, std::vector<uint8_t>(5200, 0x5A));
    EXPECT_EQ(file.Tell(), 1u + 2 * 5200);
}

TEST(BufferedFileReadLine, AnEndlessLineEndsAtTheLengthCap)
{
    TempFolder folder;
    EndlessFile file('x');
    ASSERT_TRUE(file.Open(folder.Write("endless.txt", ""), true, 4));
    std::string text;
    EXPECT_FALSE(file.ReadLine(text));
    EXPECT_EQ(file.LastError(), RawFile::kErrorLineTooLong);
    EXPECT_TRUE(text.empty());
    // The cap stopped it, within one fill of the limit.
    EXPECT_GT(file.Delivered(), BufferedFile::kMaxLineLength);
    EXPECT_LE(file.Delivered(), BufferedFile::kMaxLineLength + kFill);
}

TEST(BufferedFileReadLine, ALineOfTheCapIsReadAndOneByteMoreIsRefused)
{
    const std::string longest(BufferedFile::kMaxLineLength, 'y');
    TempFolder folder;
    BufferedFile file;
    ASSERT_TRUE(file.Open(folder.Write("long.txt", longest + "\r\nnext\n" + longest + "z\n"), true, 4));
    std::string text;
    ASSERT_TRUE(file.ReadLine(text));
    EXPECT_EQ(text.size(), longest.size());
    ASSERT_TRUE(file.ReadLine(text));
    EXPECT_EQ(text, "next");
    EXPECT_FALSE(file.ReadLine(text));
    EXPECT_EQ(file.LastError(), RawFile::kErrorLineTooLong);
}
