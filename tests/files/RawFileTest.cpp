#include "files/RawFile.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

TEST(RawFile, ReadWriteSeekTruncate)
{
    TempFolder folder;
    const std::string path = folder.File("raw.bin");
    RawFile file;
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.Flush());
    EXPECT_EQ(file.Tell(), 0u);
    ASSERT_TRUE(file.Open(path, false));
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_EQ(file.Write("abcdef", 6), 6u);
    EXPECT_EQ(file.GetSize(), 6u);
    EXPECT_EQ(file.Seek(-4, 2), 2u);
    char two[2] = {};
    EXPECT_EQ(file.Read(two, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "cd");
    EXPECT_EQ(file.Tell(), 4u);
    EXPECT_EQ(file.Seek(-1, 1), 3u);
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(file.GetSize(), 3u);
    EXPECT_EQ(file.Seek(-1, 0), RawFile::kSeekFailed);
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(EINVAL));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_EQ(ReadWholeFile(path), "abc");
}

TEST(RawFile, OpenFailuresKeepTheSystemCode)
{
    TempFolder folder;
    RawFile file;
    EXPECT_FALSE(file.Open(folder.File("missing"), true));
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOENT));
    EXPECT_FALSE(file.Open(folder.File("no/such/folder"), false));
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOENT));
    ASSERT_TRUE(WriteWholeFile(folder.File("ro"), "x"));
    ASSERT_TRUE(file.Open(folder.File("ro"), true));
    EXPECT_EQ(file.Write("y", 1), 0u);
    EXPECT_NE(file.LastError(), 0u);
}

TEST(FailingWrites, ErrorSurvivesUntilTheWriterChecks)
{
    TempFolder folder;
    const std::string path = folder.File("partial.txt");
    const std::string line(99, 'L'); // 101 bytes with CR LF
    FailAfterFile file(15000);
    ASSERT_TRUE(file.Open(path, false, 3));
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
        refused += file.WriteLine(line, 4) ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOSPC));
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Truncate());
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOSPC));
    EXPECT_FALSE(file.Close());
    EXPECT_LE(std::filesystem::file_size(path), 15000u);
}

TEST(FailingWrites, FailureInTheFinalFlushMakesCloseFail)
{
    TempFolder folder;
    const std::string path = folder.File("tail.txt");
    FailAfterFile file(3);
    ASSERT_TRUE(file.Open(path, false, 1));
    EXPECT_TRUE(file.WriteLine("buffered only"));
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_FALSE(file.Truncate());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "buf");
}

TEST(FailingWrites, AcceptedBytesWithinTheLimitSucceed)
{
    TempFolder folder;
    const std::string path = folder.File("fits.txt");
    {
        FailAfterFile file(2 * BufferedFile::kBufferSize);
        ASSERT_TRUE(file.Open(path, false, 1));
        const std::string block(BufferedFile::kBufferSize - 1, 'b');
        EXPECT_TRUE(file.WriteLine(block));
        EXPECT_TRUE(file.WriteLine(block));
        EXPECT_TRUE(file.Truncate());
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(std::filesystem::file_size(path), 2 * BufferedFile::kBufferSize);
}

TEST(FailingWrites, FullDevice)
{
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    BufferedFile file;
    ASSERT_TRUE(file.Open("/dev/full", false, 3));
    const std::string block(3 * BufferedFile::kBufferSize, 'z');
    EXPECT_LT(file.Write(block.data(), static_cast<uint32_t>(block.size())), block.size());
    EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ENOSPC));
    EXPECT_FALSE(file.Close());
}
