#include "model/Zq3300Keyboard.h"
#include "ModelTestHelpers.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Default image of a variant: options at their defaults, an empty simple key for every cell.
std::vector<uint8_t> DefaultImage(uint8_t variantCode, size_t recordSize, uint16_t cells, uint16_t records)
{
    std::vector<uint8_t> image(14 + records * recordSize, 0);
    const uint8_t header[14] = {0x80, 2, 11, 9, 0, 0, 0, 0, 3, variantCode, 0, 0, 0, 0};
    std::copy(header, header + 14, image.begin());
    for (uint16_t index = 1; index <= cells; ++index) {
        image[14 + (index - 1) * recordSize] = 0x01;
    }
    return image;
}

std::vector<uint8_t> Build(Zq3300Keyboard& keyboard)
{
    std::vector<uint8_t> image(4096, 0xAA);
    size_t size = image.size();
    EXPECT_EQ(keyboard.BuildDeviceImage(image.data(), &size, 1), 0);
    image.resize(size);
    return image;
}
} // namespace

TEST(Zq3300Keyboard, VariantsNamesIdsAndCapacity)
{
    struct Row
    {
        bool isDouble;
        uint8_t perSide;
        uint8_t layouts;
        uint8_t typeId;
        uint8_t variant;
        uint8_t capacity;
        uint16_t records;
        const char* name1;
        const char* name4;
    };
    for (const Row& row : {Row{true, 1, 2, 0, 0x81, 16, 112, "Right side", ""},
                           Row{true, 2, 4, 1, 0x82, 8, 224, "Right side (1)", "Left side (2)"},
                           Row{false, 2, 2, 2, 0x02, 16, 112, "First Layout", ""},
                           Row{false, 1, 1, 3, 0x01, 16, 112, "Keyboard", "Keyboard"}}) {
        Zq3300Keyboard keyboard(row.isDouble, row.perSide);
        EXPECT_EQ(keyboard.GetLayoutCount(), row.layouts);
        EXPECT_EQ(keyboard.GetTypeId(), row.typeId);
        EXPECT_EQ(keyboard.GetVariantCode(), row.variant);
        EXPECT_EQ(CountCells(keyboard), 56 * row.layouts);
        EXPECT_EQ(CellAt(keyboard, 8, 7, 1)->GetCapacity(), row.capacity);
        EXPECT_EQ(keyboard.GetCellCount(true), row.records);
        EXPECT_EQ(keyboard.GetCellCount(false), 224);
        EXPECT_EQ(keyboard.GetLayoutName(1), row.name1);
        EXPECT_EQ(keyboard.GetLayoutName(4), row.name4);
    }
    Zq3300Keyboard keyboard(true, 1);
    EXPECT_EQ(keyboard.GetLayoutName(2), "Left side");
    EXPECT_EQ(keyboard.GetTypeName(), "ZQ-3300 double (one layer)");
    EXPECT_EQ(keyboard.GetProductId(), 0x1002);
    EXPECT_EQ(keyboard.GetFileMagic(), "ZQ-3300.v1");
    std::string filter;
    keyboard.GetFileFilter(&filter, nullptr);
    EXPECT_EQ(filter, "ZQ-3300 Keyboard Layout File (*.zqp)|*.zqp|");
}

TEST(Zq3300Keyboard, ClearingARightSideSwitchKeyKeepsTheLeftSideKey)
{
    Zq3300Keyboard keyboard(true, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("Left", "M1,S+,K0x04", 1, 1, 2));
    ASSERT_TRUE(keyboard.SetKeyTexts("R", "L2", 1, 1, 1));
    ASSERT_TRUE(keyboard.ClearKey(1, 1, 1, true));
    EXPECT_FALSE(CellAt(keyboard, 1, 1, 1)->IsProgrammed());
    EXPECT_FALSE(CellAt(keyboard, 1, 1, 3)->IsProgrammed());
    EXPECT_EQ(CellAt(keyboard, 1, 1, 2)->FormatCodesText(1), "M1,S+,K0x04,N=Left");

    // Replacing a switch key clears it first: the other side stays too.
    ASSERT_TRUE(keyboard.SetKeyTexts("R", "L2", 1, 1, 3));
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x05", 1, 1, 3));
    EXPECT_FALSE(CellAt(keyboard, 1, 1, 1)->IsProgrammed());
    EXPECT_EQ(CellAt(keyboard, 1, 1, 2)->FormatCodesText(1), "M1,S+,K0x04,N=Left");
}

TEST(Zq3300Keyboard, RightSideSwitchKeyLinksLayoutsOneAndThreeOnly)
{
    Zq3300Keyboard keyboard(true, 2);
    ASSERT_TRUE(keyboard.UpdateCell(CellAt(keyboard, 1, 1, 3)));
    EXPECT_EQ(CellAt(keyboard, 1, 1, 3)->GetLayoutLimit(), 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("R", "L2", 1, 1, 3));
    EXPECT_TRUE(keyboard.IsSameKey(1, 1, 1, 1, 1, 3));
    EXPECT_FALSE(keyboard.IsSameKey(1, 1, 1, 1, 1, 2));
    EXPECT_FALSE(keyboard.IsSameKey(1, 1, 1, 1, 3, 4));
    EXPECT_FALSE(CellAt(keyboard, 1, 1, 2)->IsProgrammed());
    EXPECT_FALSE(CellAt(keyboard, 1, 1, 4)->IsProgrammed());

    // The switch key's record appears in both right-side layouts.
    std::vector<uint8_t> image = Build(keyboard);
    ASSERT_EQ(image.size(), 2030u);
    for (uint16_t index : {1, 113}) {
        EXPECT_EQ(image[14 + (index - 1) * 9], 0x04) << index;
        EXPECT_EQ(image[14 + (index - 1) * 9 + 1], 0xF1) << index;
    }
    EXPECT_EQ(image[14 + 56 * 9], 0x01);
}

TEST(Zq3300Keyboard, DefaultImages)
{
    Zq3300Keyboard single(false, 1);
    EXPECT_EQ(Build(single), DefaultImage(0x01, 17, 56, 112));
    Zq3300Keyboard doubleTwo(true, 2);
    EXPECT_EQ(Build(doubleTwo), DefaultImage(0x82, 9, 224, 224));
}

TEST(Zq3300Keyboard, ImageVariantByteSwitchesBeforeRecordsAreRead)
{
    std::vector<uint8_t> image = DefaultImage(0x82, 9, 224, 224);
    const size_t last = 14 + 223 * 9;
    image[last] = 0x01;
    image[last + 1] = 0x04;
    image[last + 2] = 0x05;

    Zq3300Keyboard keyboard(false, 1);
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 0);
    EXPECT_TRUE(keyboard.IsDouble());
    EXPECT_EQ(keyboard.GetLayoutCount(), 4);
    EXPECT_EQ(CellAt(keyboard, 1, 1, 1)->GetCapacity(), 8);
    EXPECT_EQ(CodesAt(keyboard, 8, 7, 4), "M1,S+,K0x04,K0x05");

    Zq3300Keyboard shortOne(false, 1);
    EXPECT_EQ(shortOne.ParseDeviceImage(nullptr, 1918, 1), 0);
    EXPECT_EQ(shortOne.ParseDeviceImage(image.data(), 1917, 1), 6);
    EXPECT_EQ(shortOne.ParseDeviceImage(image.data(), 2030, 3), 10);
    EXPECT_FALSE(shortOne.IsDouble());
    EXPECT_EQ(shortOne.ParseDeviceImage(image.data(), 2029, 1), 6);
    EXPECT_EQ(shortOne.GetVariantCode(), 0x82);

    // The length is checked against the present variant first, then against the new one.
    std::vector<uint8_t> zero = DefaultImage(0x00, 17, 112, 112);
    EXPECT_EQ(keyboard.ParseDeviceImage(zero.data(), zero.size(), 1), 6);
    zero.resize(2030, 0);
    EXPECT_EQ(keyboard.ParseDeviceImage(zero.data(), zero.size(), 1), 0);
    EXPECT_FALSE(keyboard.IsDouble());
    EXPECT_EQ(keyboard.GetLayoutCount(), 2);
    EXPECT_EQ(CellAt(keyboard, 1, 1, 2)->GetCapacity(), 16);
}

TEST(Zq3300Keyboard, ConversionOffersAndWarnings)
{
    Zq3300Keyboard single(false, 1);
    const bool offered[] = {false, false, true, true, false, true};
    for (uint8_t item = 1; item <= 6; ++item) {
        EXPECT_EQ(single.GetConversionTitle(item, nullptr), offered[item - 1]) << int(item);
    }
    std::string text;
    ASSERT_TRUE(single.GetConversionWarning(4, &text));
    EXPECT_EQ(text, "Convert to ZQ-3300 double (two layouts)?\nThis conversion will cause data loss.\n"
                    "Continue anyway?");
    EXPECT_FALSE(single.GetConversionWarning(3, &text));
    EXPECT_FALSE(single.GetConversionWarning(6, &text));

    Zq3300Keyboard doubleOne(true, 1);
    ASSERT_TRUE(doubleOne.GetConversionTitle(1, &text));
    EXPECT_EQ(text, "Exchange Left and Rigth side");
    EXPECT_TRUE(doubleOne.GetConversionWarning(5, &text));
    Zq3300Keyboard doubleTwo(true, 2);
    EXPECT_TRUE(doubleTwo.GetConversionWarning(6, &text));
    EXPECT_FALSE(doubleTwo.GetConversionTitle(4, &text));
}

TEST(Zq3300Keyboard, SingleTwoToDoubleOneKeepsBothLayoutsAsSides)
{
    Zq3300Keyboard keyboard(false, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "L2", 1, 1, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("B", "M1,S+,K0x05", 2, 2, 2));
    bool changed = false;
    EXPECT_TRUE(keyboard.RunConversion(2, &changed));
    EXPECT_TRUE(keyboard.IsDouble());
    EXPECT_EQ(keyboard.GetTypeId(), 0);
    EXPECT_EQ(CodesAt(keyboard, 2, 2, 2), "M1,S+,K0x05");
    for (uint8_t layout : {1, 2}) {
        EXPECT_FALSE(CellAt(keyboard, 1, 1, layout)->IsProgrammed());
        EXPECT_FALSE(CellAt(keyboard, 1, 1, layout)->IsMerged());
    }
}

TEST(Zq3300Keyboard, SingleTwoToDoubleTwoDoesNotLinkTheSides)
{
    Zq3300Keyboard keyboard(false, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "L2", 1, 1, 1));
    ASSERT_TRUE(
        keyboard.SetKeyTexts("A", "M1,S+,K0x04,K0x05,K0x06,K0x07,K0x08,K0x09,K0x0A,K0x0B,K0x0C", 2, 1, 1));
    bool changed = false;
    keyboard.Convert(4, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(keyboard.GetTypeId(), 1);
    EXPECT_EQ(CountCells(keyboard), 224);
    EXPECT_FALSE(keyboard.IsSameKey(1, 1, 1, 1, 1, 2));
    EXPECT_EQ(CodesAt(keyboard, 2, 1, 1), "M1,S+,K0x04,K0x05,K0x06,K0x07,K0x08,K0x09,K0x0A,K0x0B");
    EXPECT_EQ(CellAt(keyboard, 8, 7, 4)->GetCapacity(), 8);
}

TEST(Zq3300Keyboard, DoubleFourToSingleTwoKeepsLayoutsOneAndFour)
{
    Zq3300Keyboard keyboard(true, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("B", "M1,S+,K0x05", 3, 3, 2));
    ASSERT_TRUE(keyboard.SetKeyTexts("C", "M1,S+,K0x06", 4, 4, 3));
    ASSERT_TRUE(keyboard.SetKeyTexts("D", "M1,S+,K0x07", 2, 2, 4));
    ASSERT_TRUE(keyboard.SetKeyTexts("Left", "L2", 5, 5, 2));
    ASSERT_TRUE(keyboard.SetKeyTexts("Right", "L2", 6, 6, 3));
    ASSERT_TRUE(keyboard.SetCurrentLayout(4));

    bool changed = false;
    keyboard.Convert(6, &changed);
    EXPECT_TRUE(changed);
    EXPECT_FALSE(keyboard.IsDouble());
    EXPECT_EQ(keyboard.GetLayoutCount(), 2);
    EXPECT_EQ(keyboard.GetCurrentLayout(), 1);
    EXPECT_EQ(CountCells(keyboard), 112);
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");
    EXPECT_EQ(CodesAt(keyboard, 2, 2, 2), "M1,S+,K0x07");
    EXPECT_FALSE(CellAt(keyboard, 3, 3, 2)->IsProgrammed());
    EXPECT_EQ(CellAt(keyboard, 2, 2, 2)->GetKeyNumber(), 66);
    EXPECT_EQ(CellAt(keyboard, 8, 7, 2)->GetCapacity(), 16);
    // Switch keys lost the layouts that were removed and with them their links.
    for (uint16_t at : {5, 6}) {
        for (uint8_t layout : {1, 2}) {
            EXPECT_FALSE(CellAt(keyboard, at, at, layout)->IsLayoutSwitch()) << at << " " << int(layout);
            EXPECT_FALSE(CellAt(keyboard, at, at, layout)->IsMerged()) << at << " " << int(layout);
        }
    }
}

TEST(Zq3300Keyboard, DoubleFourToSingleOneAndVariantSwitches)
{
    Zq3300Keyboard keyboard(true, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "L0", 2, 1, 4));
    EXPECT_TRUE(keyboard.SwitchVariant(1, false));
    EXPECT_EQ(keyboard.GetTypeId(), 3);
    EXPECT_EQ(CountCells(keyboard), 56);
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");
    EXPECT_EQ(CellAt(keyboard, 1, 1, 1)->GetCapacity(), 16);

    EXPECT_TRUE(keyboard.SwitchVariantCode(0x83)); // a count other than 1 means two per side
    EXPECT_EQ(keyboard.GetVariantCode(), 0x82);
    EXPECT_TRUE(keyboard.SwitchVariantCode(0x81));
    EXPECT_EQ(keyboard.GetTypeId(), 0);
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");
}

TEST(Zq3300Keyboard, LayoutOperationsRefuseWrongCounts)
{
    Zq3300Keyboard keyboard(true, 2);
    EXPECT_FALSE(keyboard.RemoveLastLayout(3));
    EXPECT_FALSE(keyboard.AddLayout(5));
    EXPECT_FALSE(keyboard.ExchangeLayouts(0, 1));
    EXPECT_FALSE(keyboard.ExchangeLayouts(1, 5));
    EXPECT_TRUE(keyboard.ExchangeLayouts(2, 2));
    Zq3300Keyboard single(false, 1);
    EXPECT_FALSE(single.RemoveLastLayout(1));
    EXPECT_FALSE(single.AddLayout(3));
}

// Dropping the last layouts clears a switch key on its own side only; the other side's key at that
// position is unrelated and arrives in the single keyboard whole.
TEST(Zq3300Keyboard, DoubleToSingleTwoLayoutsKeepsTheOtherSidesKeyUnderASwitchKey)
{
    for (bool exchangeSidesFirst : {false, true}) {
        Zq3300Keyboard keyboard(true, 2);
        // Layouts 1 and 3 are the right side, 2 and 4 the left; item 1 swaps the sides first.
        const uint8_t switchLayout = exchangeSidesFirst ? 2 : 1;
        const uint8_t keyLayout = exchangeSidesFirst ? 3 : 4;
        ASSERT_TRUE(keyboard.SetKeyTexts("Switch", "L2", 2, 2, switchLayout));
        ASSERT_TRUE(keyboard.SetKeyTexts("Other side", "M1,S+,K0x04", 2, 2, keyLayout));
        if (exchangeSidesFirst) {
            ASSERT_EQ(keyboard.Convert(1, nullptr), nullptr);
        }
        bool changed = false;
        ASSERT_EQ(keyboard.Convert(6, &changed), nullptr);
        ASSERT_TRUE(changed);
        ASSERT_EQ(keyboard.GetTypeId(), 2);
        std::string name;
        std::string codes;
        keyboard.GetKeyTexts(&name, &codes, 2, 2, 2);
        EXPECT_EQ(name, "Other side") << exchangeSidesFirst;
        EXPECT_EQ(codes, "M1,S+,K0x04") << exchangeSidesFirst;
        // The switch key itself loses its codes and keeps its name, as before.
        EXPECT_FALSE(CellAt(keyboard, 2, 2, 1)->IsProgrammed());
        EXPECT_EQ(CellAt(keyboard, 2, 2, 1)->GetName(), "Switch");
    }
}
