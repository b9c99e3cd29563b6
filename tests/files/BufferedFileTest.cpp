#include "files/BufferedFile.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr size_t kFill = BufferedFile::kBufferSize;

std::vector<std::string> ReadAllLines(const std::string& path)
{
    BufferedFile file;
    std::vector<std::string> lines;
    if (!file.Open(path, true, 4)) {
        return lines;
    }
    std::string line;
    while (file.ReadLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string WriteOneLine(TempFolder& folder, uint32_t defaultCode, uint32_t code)
{
    const std::string path = folder.File("line.txt");
    BufferedFile file;
    EXPECT_TRUE(file.Open(path, false, defaultCode));
    EXPECT_TRUE(file.WriteLine("abc", code));
    EXPECT_TRUE(file.Truncate());
    EXPECT_TRUE(file.Close());
    return ReadWholeFile(path);
}

struct LineCase
{
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

} // namespace

TEST(BufferedFileReadLine, SplitsOnEveryLineEnd)
{
    const std::vector<LineCase> cases = {
        {"empty file", "", {}},
        {"no terminator", "A", {"A"}},
        {"CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"LF", "A\nB\n", {"A", "B"}},
        {"CR", "A\rB\r", {"A", "B"}},
        {"LF CR pair", "A\n\rB", {"A", "B"}},
        {"empty line as lone CR", "A\r\n\r\nB", {"A", "\r", "B"}},
        {"CR CR keeps second CR", "A\r\rB", {"A", "\rB"}},
        {"LF LF keeps second LF", "A\n\nB", {"A", "\nB"}},
        {"only a break", "\r\n", {"\r"}},
        {"only LF", "\n", {"\n"}},
        {"binary bytes kept", std::string("a\0b\xff\n", 5), {std::string("a\0b\xff", 4)}},
    };
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (const LineCase& c : cases) {
        const std::string path = folder.File("lines.txt");
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        EXPECT_EQ(ReadAllLines(path), c.lines) << c.name;
    }
}

TEST(BufferedFileReadLine, BreakSplitAcrossFillsCountsOnce)
{
    const std::string pad(kFill - 1, 'x'); // the break's first byte is byte 10240 of the file
    const std::string pad2(kFill - 2, 'x');
    const std::string longLine = std::string(10000, 'y') + std::string(500, 'z');
    const std::vector<LineCase> cases = {
        {"CR | LF", pad + "\r\nB", {pad, "B"}},
        {"LF | CR", pad + "\n\rB", {pad, "B"}},
        {"CR | LF at end of file", pad + "\r\n", {pad}},
        {"CR | CR is two breaks", pad + "\r\rB", {pad, "\rB"}},
        {"CR LF | CR LF keeps the empty line", pad2 + "\r\n\r\nB", {pad2, "\r", "B"}},
        {"line spans the fill", longLine + "\nC", {longLine, "C"}},
        {"break right at the start of the second fill",
         std::string(kFill, 'q') + "\r\nD",
         {std::string(kFill, 'q'), "D"}},
    };
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (const LineCase& c : cases) {
        const std::string path = folder.File("split.txt");
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        EXPECT_EQ(ReadAllLines(path), c.lines) << c.name;
    }
}

TEST(BufferedFileOpen, MissingFileReadOnlyFails)
{
    TempFolder folder;
    BufferedFile file;
    EXPECT_FALSE(file.Open(folder.File("missing.zqp"), true, 4));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOENT));
    std::string line = "old";
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST(BufferedFileOpen, ExistingFileForWritingKeepsBytesUntilTruncate)
{
    TempFolder folder;
    const std::string path = folder.File("old.txt");
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, 4));
        EXPECT_EQ(file.LastError(), 0u);
        EXPECT_EQ(file.GetSize(), 10u);
        EXPECT_EQ(file.Write("ab", 2), 2u);
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadWholeFile(path), "ab23456789");
    {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, 4));
        EXPECT_EQ(file.Write("cd", 2), 2u);
        EXPECT_TRUE(file.Truncate());
        EXPECT_EQ(file.LastError(), 0u);
    }
    EXPECT_EQ(ReadWholeFile(path), "cd");
}

TEST(BufferedFileOpen, ReopeningWritesPendingBytesOfThePreviousFile)
{
    TempFolder folder;
    BufferedFile file;
    ASSERT_TRUE(file.Open(folder.File("a.txt"), false, 4));
    ASSERT_TRUE(file.WriteLine("first"));
    ASSERT_TRUE(file.Open(folder.File("b.txt"), false, 4));
    EXPECT_EQ(ReadWholeFile(folder.File("a.txt")), "first\r\n");
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
    ASSERT_TRUE(folder.IsValid());
    for (const Case& c : cases) {
        EXPECT_EQ(WriteOneLine(folder, c.defaultCode, c.code), c.expected)
            << "default " << c.defaultCode << " code " << c.code;
    }
}

TEST(BufferedFileWrite, LargeLastWriteBeforeCloseReachesTheFile)
{
    TempFolder folder;
    const std::string path = folder.File("big.bin");
    std::string head(100, 'h');
    std::string body;
    for (size_t i = 0; i < 3 * kFill + 17; ++i) {
        body += static_cast<char>('a' + i % 26);
    }
    {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, 4));
        EXPECT_EQ(file.Write(head.data(), 100), 100u);
        EXPECT_EQ(file.Write(body.data(), static_cast<uint32_t>(body.size())), body.size());
        EXPECT_EQ(file.Tell(), head.size() + body.size());
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadWholeFile(path), head + body);
}

TEST(BufferedFileRead, ChunksAcrossFillsAndAfterALine)
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
    EXPECT_EQ(file.GetSize(), bytes.size());
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "first");
    EXPECT_EQ(file.Tell(), 7u);
    std::string got;
    char chunk[7000];
    uint32_t n = 0;
    while ((n = file.Read(chunk, sizeof chunk)) > 0) {
        got.append(chunk, n);
    }
    EXPECT_EQ(got, bytes.substr(7));
    EXPECT_EQ(file.Tell(), bytes.size());
}

TEST(BufferedFileSeek, PositionsFollowWhatTheCallerConsumed)
{
    TempFolder folder;
    const std::string path = folder.File("seek.txt");
    BufferedFile file;
    EXPECT_EQ(file.Seek(5, 0), 0u);
    EXPECT_EQ(file.Tell(), 0u);
    ASSERT_TRUE(file.Open(path, false, 4));
    ASSERT_EQ(file.Write("hello world", 11), 11u);
    EXPECT_EQ(file.Seek(0, 0), 0u);
    char text[6] = {};
    ASSERT_EQ(file.Read(text, 5), 5u);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(file.Tell(), 5u);
    // From the current position means from the bytes consumed, not from the read-ahead.
    EXPECT_EQ(file.Seek(1, 1), 6u);
    ASSERT_EQ(file.Read(text, 5), 5u);
    EXPECT_STREQ(text, "world");
    EXPECT_EQ(file.Seek(-5, 2), 6u);
    EXPECT_EQ(file.Tell(), 6u);
}

TEST(BufferedFileMixed, WriteAndTruncateAfterReadingUseTheReadPosition)
{
    TempFolder folder;
    const std::string path = folder.File("mixed.txt");
    ASSERT_TRUE(WriteWholeFile(path, "line1\nline2\nline3\n"));
    {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, 1));
        std::string line;
        ASSERT_TRUE(file.ReadLine(line));
        ASSERT_TRUE(file.WriteLine("LINE2", 4));
        ASSERT_TRUE(file.ReadLine(line));
        EXPECT_EQ(line, "line3");
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadWholeFile(path), "line1\nLINE2\nline3\n");
    {
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, false, 1));
        std::string line;
        ASSERT_TRUE(file.ReadLine(line));
        EXPECT_TRUE(file.Truncate());
    }
    EXPECT_EQ(ReadWholeFile(path), "line1\n");
}

TEST(BufferedFileHex, DigitValues)
{
    const std::pair<char, int> cases[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'F', 15}, {'a', 10},
                                          {'f', 15}, {'G', -1}, {'g', -1}, {'/', -1}, {':', -1},
                                          {'@', -1}, {'`', -1}, {' ', -1}, {'x', -1}, {'\0', -1}};
    BufferedFile file;
    for (const auto& [character, expected] : cases) {
        uint8_t value = 0xEE;
        EXPECT_EQ(file.HexDigitValue(character, value), expected >= 0) << character;
        if (expected >= 0) {
            EXPECT_EQ(value, expected) << character;
        }
    }
    uint8_t byte = 0;
    EXPECT_TRUE(file.HexPairToByte('f', 'E', byte));
    EXPECT_EQ(byte, 0xFE);
    EXPECT_FALSE(file.HexPairToByte('1', 'z', byte));
}

TEST(BufferedFileHex, ReadHexBytes)
{
    struct Case
    {
        const char* text;
        uint32_t count;
        bool ok;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"0aFF", 2, true, {0x0A, 0xFF}},
        {"0G", 1, false, {}},
        {"0a0", 2, false, {0x0A}},   // a lone digit at the end
        {"0a 0b", 2, false, {0x0A}}, // nothing is skipped between pairs
        {"0a\r\n0b", 2, false, {0x0A}},
        {"123456", 2, true, {0x12, 0x34}},
        {"", 0, true, {}},
        {"", 1, false, {}},
    };
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (const Case& c : cases) {
        const std::string path = folder.File("hex.txt");
        ASSERT_TRUE(WriteWholeFile(path, c.text));
        BufferedFile file;
        ASSERT_TRUE(file.Open(path, true, 4));
        std::vector<uint8_t> out(c.count + 1, 0xEE);
        uint32_t done = 99;
        EXPECT_EQ(file.ReadHexBytes(out.data(), c.count, done), c.ok) << c.text;
        EXPECT_EQ(done, c.bytes.size()) << c.text;
        out.resize(done);
        EXPECT_EQ(out, c.bytes) << c.text;
    }
}

TEST(BufferedFileHex, PairsAcrossFillsKeepTheirPosition)
{
    TempFolder folder;
    const std::string path = folder.File("hex.txt");
    std::string text = "-";
    for (size_t i = 0; i < 6000; ++i) {
        text += "5A";
    }
    ASSERT_TRUE(WriteWholeFile(path, text));
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, true, 4));
    char dash = 0;
    ASSERT_EQ(file.Read(&dash, 1), 1u);
    // The pair at file offset 10239..10240 straddles the first fill.
    std::vector<uint8_t> out(6000);
    uint32_t done = 0;
    ASSERT_TRUE(file.ReadHexBytes(out.data(), 5200, done));
    EXPECT_EQ(done, 5200u);
    EXPECT_EQ(out[5119], 0x5A);
    EXPECT_EQ(out[5199], 0x5A);
    EXPECT_EQ(file.Tell(), 1u + 2 * 5200);
}

TEST(BufferedFileHex, LoneDigitAfterAFullFillIsNotPairedWithOldBytes)
{
    TempFolder folder;
    const std::string path = folder.File("hex.txt");
    ASSERT_TRUE(WriteWholeFile(path, std::string(kFill, '1') + "A"));
    BufferedFile file;
    ASSERT_TRUE(file.Open(path, true, 4));
    std::vector<uint8_t> out(kFill / 2 + 1);
    uint32_t done = 0;
    EXPECT_FALSE(file.ReadHexBytes(out.data(), kFill / 2 + 1, done));
    EXPECT_EQ(done, kFill / 2);
}
