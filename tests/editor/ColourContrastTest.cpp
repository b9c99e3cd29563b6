// Contrast ratios against the published reference values, and the choice of a legible ink.
#include "editor/ColourContrast.h"

#include <gtest/gtest.h>

namespace {

struct ContrastCase
{
    Rgb a;
    Rgb b;
    double ratio;
};

class Contrast : public ::testing::TestWithParam<ContrastCase>
{
};

} // namespace

TEST_P(Contrast, MatchesTheReference)
{
    const ContrastCase& c = GetParam();
    EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01);
    EXPECT_NEAR(ContrastRatio(c.b, c.a), c.ratio, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Pairs, Contrast,
                         ::testing::Values(ContrastCase{{0, 0, 0}, {255, 255, 255}, 21.0},
                                           ContrastCase{{0x77, 0x77, 0x77}, {255, 255, 255}, 4.48},
                                           ContrastCase{{0x76, 0x76, 0x76}, {255, 255, 255}, 4.54},
                                           ContrastCase{{255, 0, 0}, {255, 255, 255}, 4.0},
                                           ContrastCase{{0, 0, 255}, {255, 255, 255}, 8.59},
                                           ContrastCase{{0x80, 0x80, 0x80}, {0x80, 0x80, 0x80}, 1.0}));

TEST(LegibleInk, KeepsTheWantedInkWhenItCanBeReadElseTheBetterOfBlackAndWhite)
{
    const Rgb light{0xE6, 0xE6, 0xE6};
    const Rgb dark{0x20, 0x20, 0x20};
    EXPECT_EQ(LegibleInk(light, dark).red, 0xE6);
    // Light text on a light fill: black.
    EXPECT_EQ(LegibleInk(light, Rgb{0xC0, 0xD0, 0xF0}).red, 0);
    // Dark text on a dark fill: white.
    EXPECT_EQ(LegibleInk(dark, Rgb{0x30, 0x40, 0x60}).red, 255);
    for (const Rgb fill :
         {Rgb{0x80, 0x80, 0x80}, Rgb{0xE0, 0x8A, 0x2E}, Rgb{0x4A, 0x86, 0xC8}, Rgb{0x76, 0x76, 0x76}}) {
        EXPECT_GE(ContrastRatio(LegibleInk(Rgb{0x80, 0x80, 0x80}, fill), fill), kLeastTextContrast);
    }
}
