#include "io/SafeSave.h"

#include "TempFolder.h"
#include "io/FakeFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

const std::string kOld = "old line 1\r\nold line 2 which is longer than the new text\r\n";

std::function<bool(BufferedFile&)> Lines(const std::vector<std::string>& lines)
{
    return [lines](BufferedFile& file) {
        for (const auto& line : lines) {
            if (!file.WriteLine(line)) {
                return false;
            }
        }
        return true;
    };
}

TEST(SafeSave, ReplacesTheOldContentWithExactlyTheNewLines)
{
    TempFolder folder;
    const std::string path = folder.File("a.zqp");
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"ZQ-2200.v1", "1:"})));
    EXPECT_EQ(ReadWholeFile(path), "ZQ-2200.v1\r\n1:\r\n");
    EXPECT_EQ(FolderEntries(folder.File("")), std::vector<std::string>{"a.zqp"});
}

TEST(SafeSave, AnyFailureKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    // Content larger than one buffer so that failures happen both inside and at the end.
    std::vector<std::string> lines(3000, std::string(20, 'k'));
    for (size_t failAfter : {size_t{0}, size_t{5}, size_t{10240}, size_t{40000}}) {
        SCOPED_TRACE(failAfter);
        TempFolder folder;
        const std::string path = folder.File("a.zqp");
        ASSERT_TRUE(WriteWholeFile(path, kOld));
#ifndef _WIN32
        ::chmod(path.c_str(), 0640);
#endif
        const bool saved = SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines(lines),
                                          [failAfter] { return std::make_unique<FailAfterFile>(failAfter); });
        EXPECT_FALSE(saved);
        EXPECT_EQ(ReadWholeFile(path), kOld);
#ifndef _WIN32
        EXPECT_EQ(ModeOf(path), 0640u);
#endif
        EXPECT_EQ(FolderEntries(folder.File("")), std::vector<std::string>{"a.zqp"});
    }

    TempFolder folder;
    const std::string path = folder.File("a.zqp");
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    // A writer that gives up, after having written something.
    EXPECT_FALSE(SaveFileSafely(path, BufferedFile::LineEndCrLf, [](BufferedFile& file) {
        file.WriteLine("half");
        return false;
    }));
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(FolderEntries(folder.File("")), std::vector<std::string>{"a.zqp"});
}

// Permission bits, owners, symbolic links and pathconf are POSIX's; Windows has its attributes.
#ifndef _WIN32
TEST(SafeSave, KeepsPermissionsAndRefusesReadOnlyTargets)
{
    TempFolder folder;
    const std::string path = folder.File("a.zqp");
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"new"})));
    EXPECT_EQ(ModeOf(path), 0604u);

    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_FALSE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"newer"})));
        EXPECT_EQ(ReadWholeFile(path), "new\r\n");
    } else {
        // A privileged process does not take over another user's file.
        ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
        ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"newer"})));
        struct stat info
        {
        };
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
        EXPECT_EQ(info.st_mode & 07777, 0604u);
    }
}

TEST(SafeSave, ReplacesTheTargetOfASymbolicLinkAndKeepsTheLink)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("real"));
    const std::string target = folder.File("real/layout.zqp");
    ASSERT_TRUE(WriteWholeFile(target, kOld));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // A relative link through a second link.
    const std::string first = folder.File("first.zqp");
    const std::string second = folder.File("second.zqp");
    std::filesystem::create_symlink("real/layout.zqp", first);
    std::filesystem::create_symlink("first.zqp", second);

    ASSERT_TRUE(SaveFileSafely(second, BufferedFile::LineEndCrLf, Lines({"linked"})));
    EXPECT_TRUE(std::filesystem::is_symlink(second));
    EXPECT_TRUE(std::filesystem::is_symlink(first));
    EXPECT_EQ(std::filesystem::read_symlink(second), "first.zqp");
    EXPECT_EQ(ReadWholeFile(target), "linked\r\n");
    EXPECT_EQ(ModeOf(target), 0600u);
    EXPECT_EQ(FolderEntries(folder.File("real")), std::vector<std::string>{"layout.zqp"});

    // A link to a file not yet there creates the file behind the link.
    const std::string dangling = folder.File("dangling.zqp");
    std::filesystem::create_symlink("real/later.zqp", dangling);
    ASSERT_TRUE(SaveFileSafely(dangling, BufferedFile::LineEndCrLf, Lines({"later"})));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(ReadWholeFile(folder.File("real/later.zqp")), "later\r\n");

    const std::string loop = folder.File("loop.zqp");
    std::filesystem::create_symlink("loop.zqp", loop);
    EXPECT_FALSE(SaveFileSafely(loop, BufferedFile::LineEndCrLf, Lines({"x"})));
}

TEST(SafeSave, SavesUnderTheLongestNameTheSystemAllows)
{
    TempFolder folder;
    const long longest = ::pathconf(folder.Path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 4);
    const std::string name = std::string(static_cast<size_t>(longest) - 4, 'n') + ".zqp";
    const std::string path = folder.File(name);
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"long"})));
    EXPECT_EQ(ReadWholeFile(path), "long\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{name});
}

#else
TEST(SafeSave, KeepsAttributesAndRefusesReadOnlyTargets)
{
    TempFolder folder;
    const std::string path = folder.File("a.zqp");
    const std::wstring wide = std::filesystem::path(path).wstring();
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_NE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
    ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"new"})));
    EXPECT_EQ(ReadWholeFile(path), "new\r\n");
    EXPECT_NE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    // A full disk reads as such in messages, whatever the system's own code.
    errno = 0;
    EXPECT_FALSE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"full"}),
                                [] { return std::make_unique<FailAfterFile>(2); }));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(ReadWholeFile(path), "new\r\n");

    ASSERT_NE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY), 0);
    EXPECT_FALSE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"newer"})));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(ReadWholeFile(path), "new\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.zqp"});
    ASSERT_NE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL), 0);
}

TEST(SafeSave, NamesAreUtf8AndMayBeLong)
{
    TempFolder folder;
    for (const std::string& name :
         {std::string("\xC3\x84nderung \xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8.zqp"),
          std::string(250, 'n') + ".zqp"}) {
        SCOPED_TRACE(name.size());
        const std::string path = folder.File(name);
        ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"first"})));
        ASSERT_TRUE(SaveFileSafely(path, BufferedFile::LineEndCrLf, Lines({"second"})));
        // Read back by the name the system shows, not by the bytes handed in.
        const auto entry = std::filesystem::path(folder.Path()) / std::filesystem::u8path(name);
        std::ifstream in(entry, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "second\r\n");
        in.close();
        std::filesystem::remove(entry);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    // Not UTF-8: refused before anything is made.
    EXPECT_FALSE(SaveFileSafely(folder.File("bad\xFF.zqp"), BufferedFile::LineEndCrLf, Lines({"x"})));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}
#endif

TEST(SafeSave, FailsForAMissingFolderOrAFolderAsTarget)
{
    TempFolder folder;
    EXPECT_FALSE(SaveFileSafely(folder.File("missing/a.zqp"), BufferedFile::LineEndCrLf, Lines({"x"})));
    EXPECT_FALSE(SaveFileSafely("", BufferedFile::LineEndCrLf, Lines({"x"})));
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_FALSE(SaveFileSafely(folder.File("sub"), BufferedFile::LineEndCrLf, Lines({"x"})));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("sub")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.File("sub")));
}

} // namespace
