#include "model/UsbKeyCell.h"
#include "ModelTestHelpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kSet1A = 0x1E;
constexpr uint32_t kSet1B = 0x30;
constexpr uint32_t kSet1LeftShift = 0x2A;
constexpr uint32_t kUsageA = 0x00070004;
constexpr uint32_t kUsageB = 0x00070005;
constexpr uint32_t kUsageLeftShift = 0x000700E1;

bool Handle(KeyCell& cell, const KeyMessage& message, int position)
{
    bool handled = false;
    cell.HandleKeyMessage(message, position, &handled);
    return handled;
}

} // namespace

TEST(UsbKeyCell, FormatsTheExampleKey)
{
    UsbKeyCell cell(3, 1, 1, 1, 16);
    EXPECT_EQ(cell.FormatCodesText(0), "M1,S+");
    ASSERT_TRUE(cell.ParseCodesText("M1,S+,K0xE1,K0x04,N=Shift A"));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageLeftShift, kUsageA}));
    EXPECT_EQ(cell.GetName(), "Shift A");
    EXPECT_EQ(cell.FormatCodesText(1), "M1,S+,K0xE1,K0x04,N=Shift A");
    EXPECT_EQ(cell.FormatCodesText(0), "M1,S+,K0xE1,K0x04");
    EXPECT_EQ(cell.GetCodeDisplayText(2), " A ");

    // A code outside the keyboard page (Power, page 1) is shown but not written.
    UsbKeyCell power(1, 1, 1, 1, 16);
    ASSERT_TRUE(power.CaptureKeyDown(MakeKeyDownMessage(0x5E, 0), 1));
    EXPECT_EQ(power.GetCode(1), 0x00010081u);
    EXPECT_EQ(power.FormatCodesText(0), "M1,S+");
}

TEST(UsbKeyCell, ParsesTokens)
{
    struct Case
    {
        const char* text;
        uint8_t layoutLimit;
        bool result;
        std::vector<uint32_t> codes;
        uint8_t keyType;
    };
    const Case cases[] = {
        {"M1,S+,K4,K0x05", 0, true, {kUsageA, kUsageB}, 1},
        {"k4,,K0x05", 0, true, {kUsageA, kUsageB}, 1},
        {"K0xF1", 0, false, {}, 1},
        {"K4,K0xF1", 0, true, {kUsageA, 0x000700F1}, 1},
        {"M2,K0xE1,K0x04", 0, false, {kUsageLeftShift}, 2},
        {"M2,K0xE1,K0xE1", 0, false, {kUsageLeftShift}, 2},
        {"K0xE8,K256,Kx,K", 0, false, {}, 1},
        {"K0x66,K0x68,K0x73", 0, true, {0x00070066, 0x00070068, 0x00070073}, 1},
        {"L3", 2, false, {}, 1},
        {"L2,S+", 2, true, {}, 5},
        {"L0", 1, true, {}, 3},
        {"L0", 0, false, {}, 1},
        {"L1,K4", 1, false, {}, 4},
        {"K4,L1", 1, true, {}, 4},
        {"L12", 7, false, {}, 1},
        {"M3,S*,N=,X,m", 0, false, {}, 1},
        {"", 0, false, {}, 1},
    };
    for (const Case& c : cases) {
        UsbKeyCell cell(1, 1, 1, 1, 16);
        ASSERT_TRUE(cell.SetLayoutLimit(c.layoutLimit));
        EXPECT_EQ(cell.ParseCodesText(c.text), c.result) << c.text;
        EXPECT_EQ(Codes(cell), c.codes) << c.text;
        EXPECT_EQ(cell.GetKeyType(), c.keyType) << c.text;
    }
}

TEST(UsbKeyCell, ParseNameTakesTheRestAndCapacityBounds)
{
    UsbKeyCell cell(1, 1, 1, 1, 2);
    EXPECT_TRUE(cell.ParseCodesText("S-,N=a,b"));
    EXPECT_EQ(cell.GetName(), "a,b");
    EXPECT_EQ(cell.GetSimpleKey(), 0);
    EXPECT_FALSE(cell.ParseCodesText("K4,K5,K6"));
    EXPECT_EQ(cell.GetCodeCount(), 2);
}

TEST(UsbKeyCell, LayoutSwitchTexts)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    cell.SetLayoutLimit(2);
    ASSERT_TRUE(cell.ParseCodesText("L1,S+"));
    EXPECT_TRUE(cell.IsLayoutSwitch());
    EXPECT_TRUE(cell.IsProgrammed());
    EXPECT_FALSE(cell.AcceptsCodes());
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_EQ(cell.GetImageIndex(), 2);
    EXPECT_EQ(cell.FormatCodesText(1), "L1,S+,N=Key_1");
    ASSERT_TRUE(cell.ParseCodesText("L0,S-"));
    EXPECT_EQ(cell.FormatCodesText(0), "L0,S-");
    EXPECT_FALSE(cell.CaptureKeyDown(MakeKeyDownMessage(0x41, kSet1A), 1));
    EXPECT_TRUE(cell.IsEnterHeld());
}

TEST(UsbKeyCell, ModifierCaptureRefusesRepeatsOthersAndReleases)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    ASSERT_TRUE(cell.SetKeyType(kUsbKeyTypeModifier));
    EXPECT_TRUE(Handle(cell, MakeKeyDownMessage(0xA0, kSet1LeftShift), 1));
    EXPECT_FALSE(Handle(cell, MakeKeyDownMessage(0xA0, kSet1LeftShift), 2));
    EXPECT_FALSE(Handle(cell, MakeKeyDownMessage(0x41, kSet1A), 2));
    EXPECT_FALSE(Handle(cell, MakeKeyUpMessage(0xA0, kSet1LeftShift), 2));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageLeftShift}));
    EXPECT_EQ(cell.FormatCodesText(0), "M2,S-,K0xE1");

    // All eight modifiers end the capture at once.
    const uint32_t modifiers[] = {0x1D, 0x38, 0x15B, 0x36, 0x11D, 0x138, 0x15C};
    for (uint32_t set1 : modifiers) {
        EXPECT_TRUE(Handle(cell, MakeKeyDownMessage(0x10, set1), cell.GetCodeCount() + 1)) << set1;
    }
    EXPECT_EQ(cell.GetCodeCount(), 8);
    EXPECT_TRUE(cell.IsEnterHeld());
}

TEST(UsbKeyCell, NormalCaptureRecordsModifierReleasesAfterFirstPosition)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    EXPECT_FALSE(Handle(cell, MakeKeyUpMessage(0xA0, kSet1LeftShift), 1));
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_TRUE(Handle(cell, MakeKeyDownMessage(0x41, kSet1A), 1));
    EXPECT_TRUE(Handle(cell, MakeKeyUpMessage(0xA0, kSet1LeftShift), 2));
    EXPECT_FALSE(Handle(cell, MakeKeyUpMessage(0x41, kSet1A), 3));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageA, 0x000700F1}));

    // Inside the sequence the key at that place is replaced and the rest dropped.
    EXPECT_TRUE(Handle(cell, MakeKeyDownMessage(0x42, kSet1B), 1));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageB}));
    EXPECT_FALSE(Handle(cell, MakeKeyDownMessage(0x42, 0x12A), 2));
}

TEST(UsbKeyCell, HeldEnterAndBackspace)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("M1,S+,K4,K5");
    Handle(cell, MakeKeyDownMessage(VirtualKeyEnter, 0x1C), 3);
    EXPECT_EQ(cell.GetCodeCount(), 3);
    for (uint16_t repeat = 1; repeat <= 3; ++repeat) {
        EXPECT_FALSE(Handle(cell, MakeKeyDownMessage(VirtualKeyEnter, 0x1C, repeat), 4));
    }
    EXPECT_TRUE(Handle(cell, MakeKeyDownMessage(VirtualKeyEnter, 0x1C, 4), 4));
    EXPECT_TRUE(cell.IsEnterHeld());
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageA, kUsageB}));

    Handle(cell, MakeKeyDownMessage(VirtualKeyBackspace, 0x0E), 3);
    for (uint16_t repeat = 1; repeat <= 4; ++repeat) {
        Handle(cell, MakeKeyDownMessage(VirtualKeyBackspace, 0x0E, repeat), 4);
    }
    EXPECT_TRUE(cell.IsBackspaceHeld());
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageA}));
}

TEST(UsbKeyCell, SetKeyTypeRules)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    EXPECT_FALSE(cell.SetKeyType(0));
    EXPECT_FALSE(cell.SetKeyType(4));
    EXPECT_TRUE(cell.SetKeyType(3));
    EXPECT_EQ(cell.GetKeyType(), 3);
    EXPECT_EQ(cell.GetMaxKeyType(), 2);

    cell.SetLayoutLimit(1);
    EXPECT_EQ(cell.GetMaxKeyType(), 4);
    ASSERT_TRUE(cell.SetKeyType(4));
    EXPECT_EQ(cell.GetKeyType(), 4);
    EXPECT_EQ(cell.FormatCodesText(0), "L1,S+");
    uint8_t record[16] = {};
    uint8_t flags = 0;
    ASSERT_TRUE(cell.SaveToBytes(record, 16, &flags));
    EXPECT_EQ(flags, kUsbRecordLayoutSwitch);
    EXPECT_EQ(record[0], 0xF0);

    ASSERT_TRUE(cell.SetKeyType(1));
    ASSERT_TRUE(cell.ParseCodesText("M1,S+,K4,K0xE1,K0xE5,K0xF1,K0xE1"));
    ASSERT_TRUE(cell.SetKeyType(2));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{kUsageLeftShift, 0x000700E5}));
    EXPECT_EQ(cell.GetSimpleKey(), 0);
    EXPECT_EQ(cell.GetMaxSimpleKey(), 0);
    EXPECT_FALSE(cell.SetSimpleKey(1));
    EXPECT_EQ(cell.GetImageIndex(), 3);
    ASSERT_TRUE(cell.SetKeyType(1));
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_EQ(cell.GetImageIndex(), 1);
}

TEST(UsbKeyCell, ClearRestoresInitialProgramming)
{
    UsbKeyCell cell(9, 1, 1, 1, 16);
    cell.SetLayoutLimit(2);
    cell.ParseCodesText("M2,S-,K0xE1,N=Shift");
    EXPECT_TRUE(cell.IsModified());
    ASSERT_TRUE(cell.Clear(true, true));
    EXPECT_EQ(cell.GetName(), "Key_9");
    EXPECT_EQ(cell.GetKeyType(), 1);
    EXPECT_EQ(cell.GetSimpleKey(), 1);
    EXPECT_EQ(cell.GetCodeCount(), 0);
    EXPECT_EQ(cell.GetLayoutLimit(), 0);
    EXPECT_FALSE(cell.IsModified());
}

TEST(UsbKeyCell, ByteRecords)
{
    UsbKeyCell cell(1, 1, 1, 1, 16);
    cell.ParseCodesText("M1,S+,K0xE1,K4");
    uint8_t record[16];
    uint8_t flags = 0xAA;
    ASSERT_TRUE(cell.SaveToBytes(record, 16, &flags));
    EXPECT_EQ(flags, kUsbRecordSimpleKey);
    const uint8_t expected[16] = {0xE1, 0x04};
    EXPECT_EQ(std::vector<uint8_t>(record, record + 16), std::vector<uint8_t>(expected, expected + 16));
    EXPECT_FALSE(cell.SaveToBytes(record, 15, &flags));
    EXPECT_FALSE(cell.SaveToBytes(record, 17, &flags));
    EXPECT_FALSE(cell.LoadFromBytes(record, 0, 0));
    EXPECT_EQ(cell.GetCodeCount(), 2); // a refused length changes nothing

    struct Case
    {
        std::vector<uint8_t> bytes;
        uint8_t flags;
        bool result;
        std::vector<uint32_t> codes;
        uint8_t keyType;
        uint8_t simpleKey;
    };
    const Case cases[] = {
        {{0x04, 0x05, 0, 0x06}, 0x01, true, {kUsageA, kUsageB}, 1, 1},
        {{0x04, 0xFF, 0x06}, 0x00, false, {kUsageA}, 1, 0},
        {{0xEF}, kUsbRecordLayoutSwitch, false, {}, 1, 0},
        {{0xF2}, kUsbRecordLayoutSwitch | kUsbRecordSimpleKey, true, {}, 6, 1},
        {{0xF7}, kUsbRecordLayoutSwitch, true, {}, 3, 0},
        {{0x04, 0xE1, 0xE1, 0xE0}, kUsbRecordModifier, true, {kUsageLeftShift, 0x000700E0}, 2, 0},
    };
    for (const Case& c : cases) {
        UsbKeyCell target(1, 1, 1, 1, 16);
        target.ParseCodesText("M2,K0xE2");
        std::vector<uint8_t> bytes = c.bytes;
        bytes.resize(16, 0);
        EXPECT_EQ(target.LoadFromBytes(bytes.data(), 16, c.flags), c.result);
        EXPECT_EQ(Codes(target), c.codes);
        EXPECT_EQ(target.GetKeyType(), c.keyType);
        EXPECT_EQ(target.GetSimpleKey(), c.simpleKey);
    }
}

TEST(UsbKeyCell, CapacityAndTypeNames)
{
    UsbKeyCell cell(1, 1, 1, 1, 4);
    cell.ParseCodesText("M1,K4,K5,K6,K7");
    EXPECT_FALSE(cell.SetCapacity(0));
    EXPECT_TRUE(cell.SetCapacity(2));
    EXPECT_EQ(cell.GetCapacity(), 2);
    EXPECT_EQ(cell.GetCodeCount(), 4); // the count stays, the dropped codes become 0
    EXPECT_EQ(cell.GetCode(3), 0u);
    uint8_t record[2];
    EXPECT_TRUE(cell.SaveToBytes(record, 2, nullptr));
    EXPECT_TRUE(cell.SetCapacity(16));
    EXPECT_FALSE(cell.SetCapacity(17));
    EXPECT_EQ(cell.GetCapacity(), 16);

    EXPECT_EQ(cell.GetKeyTypeName(0), "");
    EXPECT_EQ(cell.GetKeyTypeName(1), "Key");
    EXPECT_EQ(cell.GetKeyTypeName(2), "Modifier");
    EXPECT_EQ(cell.GetKeyTypeName(3), "Switch to next Layout");
    EXPECT_EQ(cell.GetKeyTypeName(5), "Switch to Layout 2");
    EXPECT_EQ(cell.GetModeName(1), "");
    EXPECT_FALSE(cell.SetLayoutLimit(8));
}
