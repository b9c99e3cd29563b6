#include "io/RawFile.h"
#include "SpecialFiles.h"
#include "TempFolder.h"
#include "io/FakeFiles.h"
#include "io/SystemErrors.h"

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
    EXPECT_FALSE(file.Open(folder.File("no/folder"), false));
    EXPECT_EQ(file.LastError(), kMissingFolderError);
    ASSERT_TRUE(file.Open(path, false));
    EXPECT_EQ(file.Write("abcdef", 6), 6u);
    EXPECT_EQ(file.GetSize(), 6u);
    EXPECT_EQ(file.Seek(-4, 2), 2u);
    char two[2] = {};
    EXPECT_EQ(file.Read(two, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "cd");
    EXPECT_EQ(file.Seek(-1, 1), 3u);
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(file.Seek(-1, 0), RawFile::kSeekFailed);
    EXPECT_EQ(file.LastError(), kNegativeSeekError);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.LastError(), 0u);
    EXPECT_EQ(ReadWholeFile(path), "abc");
}

TEST(FailingWrites, ErrorStaysVisibleToTheWriter)
{
    TempFolder folder;
    const std::string path = folder.File("partial.txt");
    FailAfterFile file(15000);
    ASSERT_TRUE(file.Open(path, false, 3));
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
        refused += file.WriteLine(std::string(99, 'L'), 4) ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(file.LastError(), RawFile::kErrorDiskFull);
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Truncate());
    EXPECT_EQ(file.LastError(), RawFile::kErrorDiskFull);
    EXPECT_FALSE(file.Close());
    EXPECT_LE(std::filesystem::file_size(path), 15000u);
}

TEST(FailingWrites, FinalFlushFailureMakesTruncateAndCloseFail)
{
    TempFolder folder;
    const std::string path = folder.File("tail.txt");
    FailAfterFile file(3);
    ASSERT_TRUE(file.Open(path, false, 1));
    EXPECT_TRUE(file.WriteLine("buffered only"));
    EXPECT_FALSE(file.Truncate());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "buf");
}

TEST(FailingWrites, FullDevice)
{
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    BufferedFile file;
    ASSERT_TRUE(file.Open("/dev/full", false, 3));
    const std::string block(2 * BufferedFile::kBufferSize, 'z');
    EXPECT_LT(file.Write(block.data(), static_cast<uint32_t>(block.size())), block.size());
    EXPECT_EQ(file.LastError(), RawFile::kErrorDiskFull);
    EXPECT_FALSE(file.Close());
}

TEST(RawFileOpen, ReadersRefuseWhatIsNoRegularFileWithoutWaiting)
{
    TempFolder folder;
    const std::vector<std::string> inputs = MakeNonRegularInputs(folder);
    ASSERT_GE(inputs.size(), 2u);
    for (const std::string& path : inputs) {
        SCOPED_TRACE(path);
        // A FIFO with no writer would block a plain open for ever.
        BufferedFile file;
        EXPECT_FALSE(file.Open(path, true, BufferedFile::LineEndDefault));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_NE(file.LastError(), 0u);
    }
}

TEST(RawFile, SizesBeyond32BitsAreNotCut)
{
    TempFolder folder;
    const std::string path = folder.File("sparse.bin");
    ASSERT_TRUE(MakeSparseFile(path, kFourGiB + 5));
    RawFile file;
    ASSERT_TRUE(file.Open(path, true));
    EXPECT_EQ(file.GetSize(), kFourGiB + 5);
}

#ifdef _WIN32
// Messages tell a failure through strerror: each Windows code the file calls give must read as
// the same reason.
TEST(RawFile, WindowsCodesReadAsTheirErrnoReasons)
{
    const struct
    {
        uint32_t code;
        int error;
    } cases[] = {
        {0, 0},           {2, ENOENT},   {3, ENOENT},   {5, EACCES},         {32, EBUSY},
        {19, EROFS},      {6, EBADF},    {112, ENOSPC}, {183, EEXIST},       {80, EEXIST},
        {87, EINVAL},     {123, EINVAL}, {131, EINVAL}, {206, ENAMETOOLONG}, {267, ENOTDIR},
        {534, EOVERFLOW}, {109, EPIPE},  {29, EIO},     {31, EIO},           {1167, EIO},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(RawFile::ToErrno(test.code), test.error) << test.code;
    }
}

TEST(RawFile, WindowsNamesAreUtf8)
{
    TempFolder folder;
    const std::string name = folder.File("\xE2\x82\xAC-\xE6\x97\xA5\xE6\x9C\xAC.bin");
    RawFile file;
    ASSERT_TRUE(file.Open(name, false)) << file.LastError();
    EXPECT_EQ(file.Write("utf", 3), 3u);
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(name)));
    ASSERT_TRUE(file.Open(name, true));
    EXPECT_EQ(file.GetSize(), 3u);
    EXPECT_TRUE(file.Close());
    // Bytes that are no UTF-8 name no file.
    EXPECT_FALSE(file.Open(folder.File("bad\xC3.bin"), false));
    EXPECT_EQ(file.LastError(), 123u); // ERROR_INVALID_NAME
}
#endif
