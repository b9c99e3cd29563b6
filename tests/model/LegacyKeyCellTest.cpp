#include "model/LegacyKeyCell.h"
#include "ModelTestHelpers.h"
#include "model/ScanCodeRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kSet1A = 0x1E;          // set 2: 1C
constexpr uint32_t kSet1C = 0x2E;          // set 2: 21
constexpr uint32_t kSet1RightCtrl = 0x11D; // set 2: E0 14

bool Press(KeyCell& cell, uint32_t virtualKey, uint32_t set1, uint16_t repeat = 0)
{
    bool handled = false;
    cell.HandleKeyMessage(MakeKeyDownMessage(virtualKey, set1, repeat), cell.GetCodeCount() + 1, &handled);
    return handled;
}

} // namespace

TEST(LegacyKeyCell, FormatsEveryForm)
{
    LegacyKeyCell cell(5, 1, 1, 1, 16);
    ASSERT_TRUE(cell.ParseCodesText("I18, 28; 6"));
    EXPECT_EQ(cell.GetMode(), 1);
    EXPECT_EQ(cell.GetSimpleKey(), 1);
    EXPECT_EQ(cell.FormatCodesText(0), "I18, 28; 6");
    EXPECT_EQ(cell.FormatCodesText(1), "18, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 6;0;Key_5");
    EXPECT_EQ(cell.FormatCodesText(2), "18, 28, 0, 0, 0, 0, 0; 2;Key_5");

    cell.SetMaster(&cell);
    cell.SetUserData(4294967295u);
    EXPECT_EQ(cell.FormatCodesText(1),
              "18, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 7;4294967295;Key_5");
    LegacyKeyCell other(6, 1, 1, 1, 16);
    EXPECT_TRUE(other.ParseCodesText("N" + cell.FormatCodesText(1)));
    EXPECT_EQ(other.GetUserData(), 4294967295u);
    EXPECT_EQ(other.GetName(), "Key_5");
    EXPECT_FALSE(other.IsMerged()); // the merged bit is not read
}

TEST(LegacyKeyCell, ParsesCodesLines)
{
    struct Case
    {
        uint8_t capacity;
        const char* text;
        bool result;
        std::vector<uint32_t> codes;
    };
    const Case cases[] = {
        {16, "I18, 0, 28; 2", false, {18, 0, 28}},
        {16, "O18; 2;Name", false, {18}},
        {3, "I1, 2, 3, 4; 2", false, {1, 2, 3}},
        {3, "I1, 2, 3, 0; 2", true, {1, 2, 3}},
        {16, "I1, x, 3; 2", false, {1, 3}},
        {16, "I256, 4; 2", false, {4}},
        {16, "i 7 ,8 ; 2", true, {7, 8}},
        {16, "I1; ", false, {1}},
        {16, "I1", false, {1}},
        {16, "X1; 2", false, {}},
        {16, "", false, {}},
        {16, "I; 10", true, {}},
        {7, "N1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 2;0;K", true, {1, 2}},
        {7, "N1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9; 2;0;K", false, {1, 2}},
        {16, "O1, 2, 0, 0, 0, 0, 0; 4;K", false, {1, 2}},
        {16, "N1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 2;x;K", false, {1}},
    };
    for (const Case& c : cases) {
        LegacyKeyCell cell(1, 1, 1, 1, c.capacity);
        cell.ParseCodesText("I5, 6, 7; 2");
        EXPECT_EQ(cell.ParseCodesText(c.text), c.result) << c.text;
        EXPECT_EQ(Codes(cell), c.codes) << c.text;
    }
}

TEST(LegacyKeyCell, ParseAppliesFlagsAndTakesRestAsName)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    EXPECT_FALSE(cell.ParseCodesText("I18, 0, 28; 12"));
    EXPECT_EQ(cell.GetMode(), 3);
    EXPECT_EQ(cell.GetSimpleKey(), 0);
    EXPECT_TRUE(cell.ParseCodesText("O18, 0, 0, 0, 0, 0, 0; 2;a; b"));
    EXPECT_EQ(cell.GetMode(), 2); // the 7-field form always reads mode 2
    EXPECT_EQ(cell.GetName(), "a; b");
    EXPECT_FALSE(cell.ParseCodesText("I1; 16"));
    EXPECT_EQ(cell.GetName(), "a; b");
}

TEST(LegacyKeyCell, FlagBits)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    EXPECT_TRUE(cell.SetFlagBits(0x0E, LegacyFormSixteen));
    EXPECT_EQ(cell.GetMode(), 3);
    EXPECT_EQ(cell.GetSimpleKey(), 1);
    EXPECT_EQ(cell.GetFlagBits(LegacyFormFree), 0x0E);
    EXPECT_EQ(cell.GetFlagBits(LegacyFormSeven), 0x02);
    EXPECT_FALSE(cell.SetFlagBits(16, LegacyFormFree));
    EXPECT_FALSE(cell.SetFlagBits(4, LegacyFormSeven));
    EXPECT_TRUE(cell.SetFlagBits(3, LegacyFormSeven));
    EXPECT_EQ(cell.GetMode(), 2);
    cell.SetMaster(&cell);
    EXPECT_EQ(cell.GetFlagBits(LegacyFormSeven), 0x03);
}

TEST(LegacyKeyCell, CaptionsOfPrefixedAndRelaxedSequences)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("I224, 18; 2");
    EXPECT_EQ(cell.GetCodeDisplayText(1), "Extended");
    EXPECT_EQ(cell.GetCodeDisplayText(2), "Ext_LShift");
    EXPECT_EQ(cell.GetCodeDisplayText(0), "");
    EXPECT_EQ(cell.GetCodeDisplayText(3), "");
    cell.ParseCodesText("I224, 240, 20; 2");
    EXPECT_EQ(cell.GetCodeDisplayText(3), "Right_Control");
    cell.ParseCodesText("I224, 240, 153; 2");
    EXPECT_EQ(cell.GetCodeDisplayText(3), " [E 153]");
    cell.ParseCodesText("I225, 153; 2");
    EXPECT_EQ(cell.GetCodeDisplayText(2), " [P 153]");
    cell.ParseCodesText("I153; 2");
    EXPECT_EQ(cell.GetCodeDisplayText(1), " [153]");
}

TEST(LegacyKeyCell, CaptureAppendsOnlyWhatFits)
{
    LegacyKeyCell cell(1, 1, 1, 1, 3);
    cell.ParseCodesText("I28; 2");
    EXPECT_TRUE(Press(cell, 0xA3, kSet1RightCtrl));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C, 0xE0, 0x14}));

    cell.ParseCodesText("I28, 33; 2");
    EXPECT_FALSE(Press(cell, 0xA3, kSet1RightCtrl));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C, 0x21}));
    EXPECT_FALSE(cell.CaptureKeyDown(MakeKeyDownMessage(0x41, kSet1A), 0));
    EXPECT_FALSE(cell.CaptureKeyDown(MakeKeyDownMessage(0x41, 0x12A), 3)); // no row
}

TEST(LegacyKeyCell, CaptureInsideSequenceReplacesKeyAndDropsRest)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("I28, 224, 20, 50; 2");
    EXPECT_TRUE(cell.CaptureKeyDown(MakeKeyDownMessage(0x43, kSet1C), 3));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C, 0x21}));
    EXPECT_EQ(cell.GetCode(3), 0u);
    // A position past the end appends.
    EXPECT_TRUE(cell.CaptureKeyDown(MakeKeyDownMessage(0x41, kSet1A), 9));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C, 0x21, 0x1C}));
}

TEST(LegacyKeyCell, ReleasesAreNotRecorded)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    bool handled = true;
    EXPECT_TRUE(cell.HandleKeyMessage(MakeKeyUpMessage(0x41, kSet1A), 1, &handled));
    EXPECT_FALSE(handled);
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_FALSE(cell.HandleKeyMessage(KeyMessage{0x0200, 0, 0}, 1, &handled));
}

TEST(LegacyKeyCell, HeldKeysActAtFourthRepeat)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("I28; 2");
    EXPECT_TRUE(Press(cell, VirtualKeyEnter, 0x1C));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C, 0x5A}));
    for (uint16_t repeat = 1; repeat <= 3; ++repeat) {
        EXPECT_FALSE(Press(cell, VirtualKeyEnter, 0x1C, repeat));
        EXPECT_FALSE(cell.IsEnterHeld());
    }
    EXPECT_TRUE(Press(cell, VirtualKeyEnter, 0x1C, 4));
    EXPECT_TRUE(cell.IsEnterHeld());
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C}));
    Press(cell, VirtualKeyEnter, 0x1C, 5);
    EXPECT_FALSE(cell.IsEnterHeld());

    // Backspace: its own press goes, then the whole key before it.
    cell.ParseCodesText("I28, 224, 20; 2");
    Press(cell, VirtualKeyBackspace, 0x0E);
    EXPECT_EQ(cell.GetCodeCount(), 4);
    for (uint16_t repeat = 1; repeat <= 4; ++repeat) {
        Press(cell, VirtualKeyBackspace, 0x0E, repeat);
    }
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C}));

    Press(cell, VirtualKeyEscape, 0x01);
    for (uint16_t repeat = 1; repeat <= 4; ++repeat) {
        Press(cell, VirtualKeyEscape, 0x01, repeat);
    }
    EXPECT_TRUE(cell.IsEscHeld());
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x1C}));
}

TEST(LegacyKeyCell, DeleteLastKeyTakesPrefixesAlong)
{
    struct Case
    {
        const char* text;
        std::vector<uint32_t> left;
    };
    const Case cases[] = {
        {"I28, 224, 20; 2", {0x1C}},       {"I28, 224, 240, 20; 2", {0x1C}}, {"I28, 224, 153; 2", {0x1C}},
        {"I28, 224, 240, 153; 2", {0x1C}}, {"I224, 18, 224, 124; 2", {}},    {"I28, 240; 2", {0x1C}},
    };
    for (const Case& c : cases) {
        LegacyKeyCell cell(1, 1, 1, 1, 16);
        cell.ParseCodesText(c.text);
        EXPECT_TRUE(cell.DeleteLastKey(0)) << c.text;
        EXPECT_EQ(Codes(cell), c.left) << c.text;
    }
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("I28, 224, 240, 20; 2");
    EXPECT_EQ(cell.CountPrefixBytes(4), 2);
    EXPECT_EQ(cell.CountPrefixBytes(2), 0);
    EXPECT_TRUE(cell.DeleteLastKey(2));
    EXPECT_EQ(cell.GetCodeCount(), 2);
    EXPECT_FALSE(cell.DeleteLastKey(3));
    EXPECT_EQ(cell.GetCodeCount(), 0);
    cell.ParseCodesText("I28, 224, 20; 2");
    EXPECT_TRUE(cell.DeleteLastCodes(2));
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_FALSE(cell.DeleteLastCodes(1));
}

TEST(LegacyKeyCell, ByteRecordsPerCapacity)
{
    LegacyKeyCell sixteen(1, 1, 1, 1, 16);
    sixteen.ParseCodesText("I18, 28; 6");
    sixteen.SetUserData(0x1234);
    std::vector<uint8_t> record(18, 0xAA);
    ASSERT_TRUE(sixteen.SaveToBytes(record.data(), 18, nullptr));
    std::vector<uint8_t> expected(18, 0);
    expected[0] = 0x06;
    expected[1] = 0x34;
    expected[2] = 0x12;
    expected[3] = 0x1C;
    EXPECT_EQ(record, expected);

    LegacyKeyCell seven(1, 1, 1, 1, 7);
    seven.ParseCodesText("I18, 28; 6");
    std::vector<uint8_t> small(8, 0xAA);
    ASSERT_TRUE(seven.SaveToBytes(small.data(), 8, nullptr));
    EXPECT_EQ(small, (std::vector<uint8_t>{0x02, 0x12, 0x1C, 0, 0, 0, 0, 0}));

    for (size_t length : {0, 7, 9, 16, 17}) {
        EXPECT_FALSE(seven.SaveToBytes(record.data(), length, nullptr)) << length;
        EXPECT_FALSE(seven.LoadFromBytes(record.data(), length, 0)) << length;
    }
    EXPECT_FALSE(sixteen.SaveToBytes(record.data(), 17, nullptr));
    EXPECT_FALSE(sixteen.SaveToBytes(nullptr, 18, nullptr));

    // Loading keeps mode and flags; the count ends at the last non-zero code.
    const uint8_t load[8] = {0x0F, 0x15, 0, 0x16, 0, 0, 0, 0};
    ASSERT_TRUE(seven.LoadFromBytes(load, 8, 0));
    EXPECT_EQ(Codes(seven), (std::vector<uint32_t>{0x15, 0, 0x16}));
    EXPECT_EQ(seven.GetMode(), 1);
    const uint8_t empty[8] = {};
    ASSERT_TRUE(seven.LoadFromBytes(empty, 8, 0));
    EXPECT_EQ(seven.GetCodeCount(), 0);

    LegacyKeyCell three(1, 1, 1, 1, 3);
    const uint8_t full[4] = {0, 1, 2, 3};
    EXPECT_TRUE(three.LoadFromBytes(full, 4, 0));
    EXPECT_EQ(Codes(three), (std::vector<uint32_t>{1, 2, 3}));
}

TEST(LegacyKeyCell, CapacityClearAndNames)
{
    LegacyKeyCell cell(7, 1, 1, 1, 16);
    cell.ParseCodesText("I1, 2, 3, 4; 6");
    EXPECT_FALSE(cell.SetCapacity(0));
    EXPECT_FALSE(cell.SetCapacity(17));
    EXPECT_TRUE(cell.SetCapacity(3));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(cell.GetCapacity(), 3);

    cell.SetName("Total");
    cell.SetMaster(&cell);
    EXPECT_TRUE(cell.IsModified());
    EXPECT_TRUE(cell.Clear(true, true));
    EXPECT_EQ(cell.GetName(), "Key_7");
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_EQ(cell.GetMode(), 2);
    EXPECT_FALSE(cell.IsMerged());
    EXPECT_FALSE(cell.IsModified());

    EXPECT_EQ(cell.GetModeName(1), "Mode 1");
    EXPECT_EQ(cell.GetModeName(3), "Mode 3");
    EXPECT_EQ(cell.GetModeName(4), "");
    EXPECT_EQ(cell.GetKeyTypeName(0), "");
    const uint8_t images[] = {0, 3, 1, 2};
    for (uint8_t mode = 0; mode <= 3; ++mode) {
        ASSERT_TRUE(cell.SetMode(mode));
        EXPECT_EQ(cell.GetImageIndex(), images[mode]);
    }
    EXPECT_FALSE(cell.SetMode(4));
    EXPECT_FALSE(cell.SetKeyType(1));
}

TEST(LegacyKeyCell, ScanCodeBytesAreTheRecordsCodesAndGoBackIntoIt)
{
    for (const uint8_t capacity : {3, 7, 16}) {
        SCOPED_TRACE(int(capacity));
        LegacyKeyCell cell(1, 1, 1, 1, capacity);
        ASSERT_TRUE(cell.ParseCodesText("I28, 240, 28; 2"));
        std::vector<uint8_t> codes = GetScanCodeBytes(cell);
        std::vector<uint8_t> expected(capacity, 0);
        expected[0] = 28;
        expected[1] = 240;
        expected[2] = 28;
        EXPECT_EQ(codes, expected);
        codes[2] = 0;
        codes.resize(16, 99); // bytes past the capacity are not the key's
        SetScanCodeBytes(cell, codes);
        EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{28, 240}));
        EXPECT_EQ(cell.GetCapacity(), capacity);
    }
}
