#include "editor/WindowTitle.h"

#include <gtest/gtest.h>

struct TitleCase
{
    const char* path;
    const char* title;
    bool readOnly = false;
};

class WindowTitle : public ::testing::TestWithParam<TitleCase>
{
};

TEST_P(WindowTitle, NameFolderAndProgram)
{
    EXPECT_EQ(MakeWindowTitle(GetParam().path, GetParam().readOnly), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowTitle,
    ::testing::Values(TitleCase{"", "no name[*] - ZQ programmer"},
                      TitleCase{"a.zqp", "a.zqp[*] - ZQ programmer"},
                      TitleCase{"C:\\work\\a.zqp", "a.zqp[*] [C:\\work\\] - ZQ programmer"},
                      // A separator only at the very start does not split.
                      TitleCase{"/a.zqp", "/a.zqp[*] - ZQ programmer"},
                      // 32 characters of folder stay whole, 33 lose a part between separators.
                      TitleCase{"/home/user/shop/projects/zq2200/k.zqp",
                                "k.zqp[*] [/home/user/shop/projects/zq2200/] - ZQ programmer"},
                      TitleCase{"/home/shop/projects/keyboards/zq/k.zqp",
                                "k.zqp[*] [/home/shop/.../keyboards/zq/] - ZQ programmer"},
                      TitleCase{"/srv/b.zqp", "b.zqp[*] (read-only) [/srv/] - ZQ programmer", true},
                      // The marker of a name or folder is not taken for the window's own.
                      TitleCase{"/x[*]/c[*].zqp", "c[*][*].zqp[*] [/x[*][*]/] - ZQ programmer"}));

TEST(ShortenFolder, CutsAtSeparatorsUnlessTooLittleOfTheEndWouldStay)
{
    EXPECT_EQ(ShortenFolder("/home/shop/projects/keyboards/zq2200/"), "/home/shop/.../keyboards/zq2200/");
    // The first separator after the cut leaves fewer than 8 characters: cut mid-word.
    EXPECT_EQ(ShortenFolder("/srv/pos-keyboards-of-the-main-shop/2026/"),
              "/srv/...ards-of-the-main-shop/2026/");
    // A head shorter than 5 characters keeps the first 16 instead.
    EXPECT_EQ(ShortenFolder("/a/bcdefghijklmnopqrstuvwxyz0123456789/"),
              "/a/bcdefghijklmn...vwxyz0123456789/");
}
