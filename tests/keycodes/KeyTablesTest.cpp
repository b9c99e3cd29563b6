#include "keycodes/KeyTables.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(KeyTables, LegacyRowsAsTabled)
{
    struct Row
    {
        int row;
        uint16_t keyNumber;
        uint16_t set1;
        const char* set2;
        const char* name;
    };
    const Row rows[] = {
        {1, 1, 0x029, "\x0E", " ` "},
        {2, 2, 0x002, "\x16", " 1 "},
        {21, 22, 0x015, "\x35", " Y (Z)"},
        {28, 29, 0x02B, "\x5D", " \\ "},
        {55, 57, 0x136, "\x59", "Right_shift"},
        {56, 57, 0x036, "\x59", "Right_shift"},
        {75, 90, 0x145, "\x77", "Num_Lock"},
        {99, 118, 0x041, "\x83", " F7 "},
        {105, 124, 0, "\xE0\x12\xE0\x7C", "Print_screen"},
        {109, 126, 0, "\xE1\x14\x77", "Pause"},
        {118, 0, 0, "\xE0\x12", "Ext_LShift"},
        {119, 0, 0, "\xFC", "POST Fail"},
    };
    for (const Row& expected : rows) {
        SCOPED_TRACE(expected.row);
        const LegacyKeyEntry* entry = GetLegacyRow(expected.row);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->keyNumber, expected.keyNumber);
        EXPECT_EQ(entry->set1, expected.set1);
        EXPECT_STREQ(reinterpret_cast<const char*>(entry->set2), expected.set2);
        EXPECT_EQ(entry->nameId, 0u);
        EXPECT_EQ(LegacyKeyTable::GetRowName(expected.row), expected.name);
    }
    EXPECT_EQ(GetLegacyRow(0), nullptr);
    EXPECT_EQ(GetLegacyRow(120), nullptr);
    EXPECT_EQ(GetLegacyRow(-1), nullptr);
}

TEST(KeyTables, UsbRowsAsTabled)
{
    struct Row
    {
        int row;
        uint16_t keyNumber;
        uint16_t set1;
        uint32_t usage;
        const char* name;
    };
    const Row rows[] = {
        {1, 1, 0x0029, 0x00070035, " ` "},
        {28, 29, 0x002B, 0x00070031, " \\ "},
        {44, 44, 0x802A, 0x000700F1, "Release_Left_shift"},
        {59, 57, 0x8036, 0x000700F5, "Release_Right_shift"},
        {115, 124, 0x0054, 0x00070046, "SysRq"},
        {119, 255, 0, 0x00010081, "Power"},
        {120, 255, 0, 0x00070066, "Power"},
        {135, 255, 0, 0x00070073, " F24 "},
    };
    for (const Row& expected : rows) {
        SCOPED_TRACE(expected.row);
        const UsbKeyEntry* entry = GetUsbRow(expected.row);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->keyNumber, expected.keyNumber);
        EXPECT_EQ(entry->set1, expected.set1);
        EXPECT_EQ(entry->usage, expected.usage);
        EXPECT_EQ(UsbKeyTable::GetRowName(expected.row), expected.name);
    }
    EXPECT_EQ(GetUsbRow(0), nullptr);
    EXPECT_EQ(GetUsbRow(136), nullptr);
}

// Every release row pairs with the modifier row just before it: a transcription check.
TEST(KeyTables, UsbReleaseRowsFollowTheirModifier)
{
    int releaseRows = 0;
    for (int row = 2; row <= kUsbRowCount; ++row) {
        const UsbKeyEntry* entry = GetUsbRow(row);
        if (std::strncmp(entry->nameText, "Release_", 8) != 0) {
            continue;
        }
        ++releaseRows;
        const UsbKeyEntry* modifier = GetUsbRow(row - 1);
        EXPECT_STREQ(entry->nameText + 8, modifier->nameText) << row;
        EXPECT_EQ(entry->set1, modifier->set1 | 0x8000) << row;
        EXPECT_EQ(entry->usage, modifier->usage + 0x10) << row;
    }
    EXPECT_EQ(releaseRows, 9);
}

TEST(KeyTables, FindRowBySet1FirstRowWins)
{
    struct Case
    {
        uint32_t code;
        int legacyRow;
        int usbRow;
    };
    const Case cases[] = {
        {0x036, 56, 58}, {0x136, 55, 56}, {0, 105, 119},     {0x02A, 43, 43}, {0x12A, 0, 0},
        {0x802A, 0, 44}, {0x02B, 28, 28}, {0x1602A, 43, 43}, // bits outside 0x81FF are ignored
        {0x8136, 0, 57},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LegacyKeyTable::FindRowBySet1(c.code), c.legacyRow) << std::hex << c.code;
        EXPECT_EQ(UsbKeyTable::FindRowBySet1(c.code), c.usbRow) << std::hex << c.code;
    }
}

TEST(KeyTables, FindRowByUsageFirstRowWins)
{
    const std::pair<uint32_t, int> cases[] = {
        {0x000700E5, 56}, {0x00070046, 114}, {0x00070048, 117}, {0x00010081, 119}, {0x00070066, 120},
        {0x000700F5, 57}, {0x000700E8, 0},   {0x00080004, 0},   {0x00000004, 0},   {0x00010066, 0},
    };
    for (const auto& [usage, row] : cases) {
        EXPECT_EQ(UsbKeyTable::FindRowByUsage(usage), row) << std::hex << usage;
    }
}

TEST(KeyTables, Set2Length)
{
    const std::pair<int, int> cases[] = {{0, 4},   {1, 1},   {58, 2},   {105, 4}, {109, 3},
                                         {119, 1}, {120, 0}, {1000, 0}, {-1, 0}};
    for (const auto& [row, length] : cases) {
        EXPECT_EQ(LegacyKeyTable::GetSet2Length(row), length) << row;
    }
}

TEST(KeyTables, NamesOutsideTheTablesAreEmpty)
{
    for (int row : {0, 120, -1}) {
        EXPECT_EQ(LegacyKeyTable::GetRowName(row), "") << row;
    }
    for (int row : {0, 136, -1}) {
        EXPECT_EQ(UsbKeyTable::GetRowName(row), "") << row;
    }
}

TEST(KeyTables, Modifiers)
{
    EXPECT_TRUE(UsbKeyTable::IsModifierUsage(0x000700E0));
    EXPECT_TRUE(UsbKeyTable::IsModifierUsage(0x000700E7));
    EXPECT_FALSE(UsbKeyTable::IsModifierUsage(0x000700DF));
    EXPECT_FALSE(UsbKeyTable::IsModifierUsage(0x000700E8));
    EXPECT_FALSE(UsbKeyTable::IsModifierUsage(0x000700F1));
    EXPECT_FALSE(UsbKeyTable::IsModifierUsage(0x000100E0));

    EXPECT_TRUE(UsbKeyTable::IsModifierSet1(0x02A));
    EXPECT_TRUE(UsbKeyTable::IsModifierSet1(0x136));
    EXPECT_TRUE(UsbKeyTable::IsModifierSet1(0x15C));
    EXPECT_FALSE(UsbKeyTable::IsModifierSet1(0x802A));
    EXPECT_FALSE(UsbKeyTable::IsModifierSet1(0x01E));
    EXPECT_FALSE(UsbKeyTable::IsModifierSet1(0x12A));
}
