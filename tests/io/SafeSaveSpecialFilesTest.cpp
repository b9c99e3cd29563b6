// The safe save refuses what is no regular file, also behind a link, and leaves the node, the link
// and the folder as they were. Only nodes made in a temporary folder are used, never the system's.
#include "io/SafeSave.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

TEST(SafeSave, RefusesFifosAndDevicesAlsoBehindALink)
{
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> nodes{fifo};
    // A device node needs root; the null device's numbers, so that a mistaken write harms nothing.
    const std::string device = folder.File("device");
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        nodes.push_back(device);
    }
    for (const std::string& node : nodes) {
        SCOPED_TRACE(node);
        const fs::file_type type = fs::symlink_status(node).type();
        const std::string link = node + ".conf";
        fs::create_symlink(node, link);
        for (const std::string& target : {node, link}) {
            errno = 0;
            EXPECT_FALSE(SaveFileSafely(target, BufferedFile::LineEndLf, [](BufferedFile& file) {
                return file.WriteLine("[Configuration]");
            }));
            EXPECT_EQ(errno, EINVAL);
        }
        EXPECT_EQ(fs::symlink_status(node).type(), type);
        EXPECT_EQ(fs::read_symlink(link), node);
    }
    // No temporary file was left beside them.
    EXPECT_EQ(FolderEntries(folder.Path()).size(), nodes.size() * 2);
}

} // namespace
#endif
