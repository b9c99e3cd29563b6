// Project paths from the command line made absolute. GetCurrentFolder, which keeps a linked
// folder's name, is checked by a run of the editor from such a folder (command_line_open_test.sh).
#include "app/CommandLinePath.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLinePath, RelativePathsGoBehindTheFolderByteForByte)
{
    struct Case
    {
        const char* path;
        const char* folder;
        const char* expected;
    };
    const Case cases[] = {
        {"caf\xe9.zqp", "/home/ana", "/home/ana/caf\xe9.zqp"},
        {"./a.zqp", "/home/ana", "/home/ana/a.zqp"},
        {"sub//./a.zqp", "/home/ana/", "/home/ana/sub/a.zqp"},
        {"a.zqp", "/", "/a.zqp"},
        // ".." stays: behind a linked folder it leads somewhere else than the text suggests.
        {"../a.zqp", "/home/ana/link", "/home/ana/link/../a.zqp"},
        // Absolute paths, no path, or no known folder: as given.
        {"/data/./x.zqp", "/home/ana", "/data/./x.zqp"},
        {"", "/home/ana", ""},
        {"a.zqp", "", "a.zqp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeAbsolutePath(c.path, c.folder), c.expected) << c.path << " in " << c.folder;
    }
}

} // namespace
