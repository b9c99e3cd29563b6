#include "model/AffixKeyCell.h"

#include <gtest/gtest.h>

TEST(AffixKeyCell, Texts)
{
    struct Case
    {
        const char* text;
        bool result;
        const char* formatted;
    };
    const Case cases[] = {
        {"0xE104", true, "0xE104"},  {"57604", true, "0xE104"},   {"0x0104", false, "0x0000"},
        {"0xE100", true, "0xE100"},  {"0x00F0", true, "0x00F0"},  {"0x00F1", false, "0x0000"},
        {"0xE1E0", false, "0x0000"}, {"0x00E8", false, "0x0000"}, {"0x10000", false, "0x0000"},
        {"", false, "0x0000"},       {"E104", false, "0x0000"},
    };
    for (const Case& c : cases) {
        AffixKeyCell cell;
        cell.ParseCodesText("0xE205");
        EXPECT_EQ(cell.ParseCodesText(c.text), c.result) << c.text;
        EXPECT_EQ(cell.FormatCodesText(1), c.formatted) << c.text;
    }
    AffixKeyCell cell;
    EXPECT_EQ(cell.FormatCodesText(0), "0x0000");
    EXPECT_EQ(cell.GetCodeCount(), 2);
    EXPECT_EQ(cell.GetCodeDisplayText(1), "");
    cell.ParseCodesText("0xE104");
    EXPECT_EQ(cell.GetCodeDisplayText(1), "Left_shift");
    EXPECT_EQ(cell.GetCodeDisplayText(2), " A ");
    EXPECT_EQ(cell.GetCodeDisplayText(3), "");
    EXPECT_TRUE(cell.IsModified());
    EXPECT_TRUE(cell.Clear(true, true));
    EXPECT_EQ(cell.FormatCodesText(0), "0x0000");
    EXPECT_FALSE(cell.DeleteLastCodes(1));
    EXPECT_FALSE(cell.IsLayoutSwitch());
    EXPECT_EQ(cell.GetOwnCapacity(), 2);
}

TEST(AffixKeyCell, Records)
{
    AffixKeyCell cell;
    cell.ParseCodesText("0xE504");
    uint8_t record[2] = {};
    ASSERT_TRUE(cell.SaveToBytes(record, 2, nullptr));
    EXPECT_EQ(record[0], 0xE5);
    EXPECT_EQ(record[1], 0x04);
    EXPECT_FALSE(cell.SaveToBytes(record, 1, nullptr));
    EXPECT_FALSE(cell.SaveToBytes(record, 16, nullptr));

    const uint8_t shiftB[2] = {0xE1, 0x05};
    EXPECT_TRUE(cell.LoadFromBytes(shiftB, 2, 0));
    EXPECT_EQ(cell.FormatCodesText(0), "0xE105");
    EXPECT_FALSE(cell.LoadFromBytes(shiftB, 3, 0));
    EXPECT_EQ(cell.FormatCodesText(0), "0xE105");
    const uint8_t releaseKey[2] = {0x00, 0xF0};
    EXPECT_FALSE(cell.LoadFromBytes(releaseKey, 2, 0));
    EXPECT_EQ(cell.FormatCodesText(0), "0x0000");
    const uint8_t noModifier[2] = {0x01, 0x04};
    cell.LoadFromBytes(shiftB, 2, 0);
    EXPECT_FALSE(cell.LoadFromBytes(noModifier, 2, 0));
    EXPECT_EQ(cell.FormatCodesText(0), "0x0000");
}

TEST(AffixKeyCell, CaptureCompletesWhenAKeyIsReleased)
{
    AffixKeyCell cell;
    bool handled = false;
    cell.HandleKeyMessage(MakeKeyDownMessage(0xA0, 0x2A), 1, &handled);
    EXPECT_TRUE(handled);
    cell.HandleKeyMessage(MakeKeyUpMessage(0xA0, 0x2A), 1, &handled);
    EXPECT_FALSE(handled);
    EXPECT_FALSE(cell.IsEnterHeld()); // a modifier release does not finish
    cell.HandleKeyMessage(MakeKeyDownMessage(0x41, 0x1E), 1, &handled);
    EXPECT_EQ(cell.FormatCodesText(0), "0xE104");
    EXPECT_FALSE(cell.IsEnterHeld());
    cell.HandleKeyMessage(MakeKeyUpMessage(0x41, 0x1E), 1, &handled);
    EXPECT_TRUE(cell.IsEnterHeld());
    EXPECT_FALSE(cell.IsEnterHeld());

    // A release without its press finishes nothing.
    cell.HandleKeyMessage(MakeKeyUpMessage(0x42, 0x30), 1, &handled);
    EXPECT_FALSE(cell.IsEnterHeld());
}
