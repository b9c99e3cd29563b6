#include "keycodes/KeyCodeText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Match
{
    int row;
    int start;
    int end;
};

Match RunMatch(const std::vector<uint32_t>& codes, int start, int end)
{
    const int row = MatchSet2Window(codes.data(), static_cast<int>(codes.size()), start, end);
    return {row, start, end};
}

std::string Caption(const std::vector<uint32_t>& codes, int index)
{
    return GetLegacyCaption(codes.data(), static_cast<int>(codes.size()), index);
}

} // namespace

TEST(MatchSet2Window, Bounds)
{
    const std::vector<uint32_t> a = {0x1C};
    EXPECT_EQ(RunMatch(a, 0, 0).row, 0);
    EXPECT_EQ(RunMatch(a, 2, 2).row, 0);  // start beyond the codes
    EXPECT_EQ(RunMatch(a, 1, 0).row, 0);  // end before start
    EXPECT_EQ(RunMatch(a, -1, 1).row, 0); // start negative
    const Match lowered = RunMatch(a, 1, 9);
    EXPECT_EQ(lowered.row, 30);
    EXPECT_EQ(lowered.end, 1);
    EXPECT_EQ(RunMatch({}, 0, 1).row, 0); // no codes to read
}

TEST(MatchSet2Window, BackwardSearchTriesLongestWindowFirst)
{
    const Match printScreen = RunMatch({0xE0, 0x12, 0xE0, 0x7C}, 0, 4);
    EXPECT_EQ(printScreen.row, 105);
    EXPECT_EQ(printScreen.start, 1);

    const Match single = RunMatch({0x1C, 0x1B}, 0, 2);
    EXPECT_EQ(single.row, 31);
    EXPECT_EQ(single.start, 2);

    const Match none = RunMatch({0x1C, 0x99}, 0, 2);
    EXPECT_EQ(none.row, 0);
    EXPECT_EQ(none.start, 0);
}

TEST(MatchSet2Window, BreakPrefixInsidePrefixedWindow)
{
    const Match released = RunMatch({0xE0, 0xF0, 0x14}, 0, 3);
    EXPECT_EQ(released.row, 63);
    EXPECT_EQ(released.start, 1);
    // A window ending on the break prefix keeps it: E0 F0 is no key, F0 alone is "Release".
    EXPECT_EQ(RunMatch({0xE0, 0xF0}, 1, 2).row, 0);
    // The row must be used up: E1 F0 F0 14 is Pref_Ctrl, not the first bytes of Pause.
    EXPECT_EQ(RunMatch({0xE1, 0xF0, 0xF0, 0x14}, 0, 4).row, 117);
    // Without a leading prefix no skipping and no longer windows.
    EXPECT_EQ(RunMatch({0x12, 0xF0, 0x14}, 1, 3).row, 0);
}

TEST(MatchSet2Window, KeyRightAfterPrefixIsRejected)
{
    EXPECT_EQ(RunMatch({0x1C, 0xE0, 0x12}, 3, 3).row, 0);
    EXPECT_EQ(RunMatch({0x1C, 0xE1, 0x14}, 3, 3).row, 0);
    EXPECT_EQ(RunMatch({0x1C, 0xE0, 0x12}, 2, 3).row, 118);
    // Position 1 is never looked at for a window starting at 2.
    EXPECT_EQ(RunMatch({0xE0, 0x12}, 2, 2).row, 43);
    EXPECT_EQ(RunMatch({0xE0, 0xF0}, 0, 2).row, 115);
    EXPECT_EQ(RunMatch({0x1C, 0xE0, 0xF0}, 0, 3).row, 0);
}

TEST(LegacyCaption, NamesAndNumbers)
{
    struct Case
    {
        std::vector<uint32_t> codes;
        int index;
        const char* caption;
    };
    const Case cases[] = {
        {{0xE0, 0x12}, 1, "Extended"},
        {{0xE0, 0x12}, 2, "Ext_LShift"},
        {{0xE0, 0xF0, 0x14}, 3, "Right_Control"},
        {{0xE0, 0xF0, 0x99}, 3, " [E 153]"},
        {{0xE1, 0x99}, 2, " [P 153]"},
        {{0xE1, 0xF0, 0xF0, 0x99}, 4, " [P 153]"},
        {{0x99}, 1, " [153]"},
        {{0x1C, 0xF0, 0x99}, 3, " [153]"},
        {{0x1C, 0xE0, 0xF0}, 3, " [E 240]"},
        {{0x1C}, 1, " A "},
        {{0x1C}, 0, ""},
        {{0x1C}, 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Caption(c.codes, c.index), c.caption) << c.index << " " << c.caption;
    }
}

TEST(UsbCaption, NamesAndNumbers)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x00070004, " A "},
        {0x00070046, "Print_screen"},
        {0x00010081, "Power"},
        {0x000700E8, " [K 0xE8]"},
        {0x00010084, " [S 0x84]"},
        {0x000C00E9, " [M 0xE9]"},
        {0x00090123, " [0x09: 0x123]"},
        {0xFF0000F2, " [0xFF00: 0xF2]"},
        {0x00070000, " [K 0x00]"},
    };
    for (const auto& [usage, caption] : cases) {
        EXPECT_EQ(GetUsbCaption(usage), caption) << std::hex << usage;
    }
}

// Every short sequence of prefixes and key bytes: found windows stay inside the codes, every code has a
// caption.
TEST(MatchSet2Window, WindowsStayInsideTheCodes)
{
    const uint32_t alphabet[] = {0xE0, 0xE1, 0xF0, 0x12, 0x14, 0x7C, 0x77};
    for (int n = 0; n < 7 * 7 * 7 * 7 * 7; ++n) {
        std::vector<uint32_t> codes;
        for (int rest = n, i = 0; i < 5; ++i, rest /= 7) {
            codes.push_back(alphabet[rest % 7]);
        }
        for (int index = 1; index <= 5; ++index) {
            const Match m = RunMatch(codes, 0, index);
            EXPECT_TRUE(m.row == 0 || (m.start >= 1 && m.start <= index)) << n;
            EXPECT_FALSE(Caption(codes, index).empty()) << n;
        }
    }
}
