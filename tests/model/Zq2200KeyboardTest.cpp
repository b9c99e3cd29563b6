#include "model/Zq2200Keyboard.h"
#include "ModelTestHelpers.h"
#include "model/ConversionLoss.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr size_t kImageLength = 2054;
constexpr size_t kRecord = 17;

size_t RecordOffset(uint16_t index)
{
    return 14 + (index - 1) * kRecord;
}

// The image of a project nobody touched: options at their defaults, every key an empty simple key.
std::vector<uint8_t> DefaultImage(uint8_t layouts)
{
    std::vector<uint8_t> image(kImageLength, 0);
    const uint8_t header[14] = {0x80, 2, 11, 9, 0, 0, 0, 0, 3, layouts, 0, 0, 0, 0};
    std::copy(header, header + 14, image.begin());
    for (uint16_t index = 1; index <= 40 * layouts; ++index) {
        image[RecordOffset(index)] = 0x01;
    }
    return image;
}

std::vector<uint8_t> Build(Zq2200Keyboard& keyboard)
{
    std::vector<uint8_t> image(4096, 0xAA);
    size_t size = image.size();
    EXPECT_EQ(keyboard.BuildDeviceImage(image.data(), &size, 1), 0);
    EXPECT_EQ(size, kImageLength);
    image.resize(size);
    return image;
}
} // namespace

TEST(Zq2200Keyboard, VariantsNamesAndIds)
{
    struct Row
    {
        uint8_t asked;
        uint8_t layouts;
        uint8_t typeId;
        const char* typeName;
    };
    for (const Row& row :
         {Row{1, 1, 6, "ZQ-2200 (one layout)"}, Row{2, 2, 5, "ZQ-2200 (two layouts)"},
          Row{3, 3, 4, "ZQ-2200 (three layouts)"}, Row{9, 3, 4, "ZQ-2200 (three layouts)"}}) {
        Zq2200Keyboard keyboard(row.asked);
        EXPECT_EQ(keyboard.GetLayoutCount(), row.layouts);
        EXPECT_EQ(keyboard.GetTypeId(), row.typeId);
        EXPECT_EQ(keyboard.GetTypeName(), row.typeName);
        EXPECT_EQ(CountCells(keyboard), 40 * row.layouts);
        EXPECT_EQ(keyboard.GetProductId(), 0x1000);
        EXPECT_FALSE(keyboard.CanSetKeyBeep());
    }
    Zq2200Keyboard keyboard(3);
    EXPECT_EQ(keyboard.GetLayoutName(1), "First Layout");
    EXPECT_EQ(keyboard.GetLayoutName(3), "Third Layout");
    EXPECT_EQ(keyboard.GetLayoutName(4), "");
    std::string filter;
    std::string extension;
    keyboard.GetFileFilter(&filter, &extension);
    EXPECT_EQ(filter, "ZQ-2200 Keyboard Layout File (*.zqp)|*.zqp|");
    EXPECT_EQ(extension, "zqp");
    EXPECT_EQ(keyboard.GetFileMagic(), "ZQ-2200.v1");
}

TEST(Zq2200Keyboard, ConversionTitlesAndWarnings)
{
    Zq2200Keyboard two(2);
    const bool offered[] = {true, false, false, true, false, true};
    for (uint8_t item = 1; item <= 6; ++item) {
        std::string title;
        EXPECT_EQ(two.GetConversionTitle(item, &title), offered[item - 1]) << int(item);
    }
    std::string text;
    EXPECT_FALSE(two.GetConversionTitle(7, &text));
    EXPECT_TRUE(two.GetConversionTitle(6, &text));
    EXPECT_EQ(text, "Convert to ZQ-2200 (three layouts)");

    Zq2200Keyboard three(3);
    ASSERT_TRUE(three.GetConversionWarning(4, &text));
    EXPECT_EQ(text,
              "Convert to ZQ-2200 (one layout)?\nThis conversion will cause data loss.\nContinue anyway?");
    EXPECT_TRUE(three.GetConversionWarning(5, &text));
    EXPECT_FALSE(two.GetConversionWarning(5, &text));
    EXPECT_FALSE(two.GetConversionWarning(6, &text));
    EXPECT_FALSE(three.GetConversionWarning(1, &text));

    bool changed = true;
    EXPECT_EQ(two.Convert(2, &changed), nullptr);
    EXPECT_FALSE(changed);
}

TEST(Zq2200Keyboard, DroppingLayoutsDestroysCellsAndRelinksSwitchKeys)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("Next", "L0", 2, 3, 3));
    ASSERT_TRUE(keyboard.SetKeyTexts("Two", "L2", 4, 4, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Three", "L3", 5, 5, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 3));
    ASSERT_TRUE(keyboard.SetCurrentLayout(3));

    bool changed = false;
    keyboard.Convert(5, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(keyboard.GetLayoutCount(), 2);
    EXPECT_EQ(keyboard.GetCurrentLayout(), 1);
    EXPECT_EQ(CountCells(keyboard), 80);
    for (uint16_t column : {2, 4}) {
        const uint16_t row = column == 2 ? 3 : 4;
        EXPECT_TRUE(keyboard.IsSameKey(column, row, column, row, 1, 2)) << column;
        EXPECT_EQ(CodesAt(keyboard, column, row, 2), CodesAt(keyboard, column, row, 1));
    }
    EXPECT_EQ(CodesAt(keyboard, 2, 3, 1), "L0,S+");
    // A switch to a layout that is gone loses its codes but keeps its name.
    UsbKeyCell* dropped = nullptr;
    ASSERT_TRUE(keyboard.GetCellAt(5, 5, 1, &dropped));
    EXPECT_FALSE(dropped->IsProgrammed());
    EXPECT_FALSE(dropped->IsMerged());
    EXPECT_EQ(dropped->GetName(), "Three");

    keyboard.Convert(4, &changed);
    EXPECT_EQ(CountCells(keyboard), 40);
    UsbKeyCell* first = nullptr;
    ASSERT_TRUE(keyboard.GetCellAt(2, 3, 1, &first));
    EXPECT_FALSE(first->IsProgrammed());
    EXPECT_FALSE(first->IsMerged());
    EXPECT_EQ(first->GetName(), "Next");
}

TEST(Zq2200Keyboard, WhatAConversionLosesIsCountedOnACopy)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("Three", "L3", 5, 5, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04,K0x05", 1, 1, 3));
    ASSERT_TRUE(keyboard.SetKeyTexts("B", "M1,S+,K0x05", 1, 2, 1));
    const std::string signature = keyboard.GetContentSignature();
    // Dropping the third layout changes the project in place: the copy does, the project not.
    const std::optional<ConversionLoss> loss = PredictConversionLoss(keyboard, 5);
    ASSERT_TRUE(loss);
    EXPECT_EQ(keyboard.GetContentSignature(), signature);
    EXPECT_EQ(loss->layoutsBefore, 3u);
    EXPECT_EQ(loss->layoutsAfter, 2u);
    // "A" with its two codes; a layout switch holds no codes.
    EXPECT_EQ(loss->keysCleared, 1u);
    EXPECT_EQ(loss->codesDropped, 2u);
    EXPECT_EQ(loss->keysCut, 0u);
    EXPECT_FALSE(loss->IsEmpty());
}

TEST(Zq2200Keyboard, AddingAndExchangingLayouts)
{
    Zq2200Keyboard keyboard(1);
    std::string text;
    EXPECT_FALSE(keyboard.GetConversionWarning(6, &text));
    bool changed = false;
    keyboard.Convert(6, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(CountCells(keyboard), 120);
    UsbKeyCell* added = nullptr;
    ASSERT_TRUE(keyboard.GetCellAt(5, 8, 3, &added));
    EXPECT_EQ(added->GetKeyNumber(), 120);
    EXPECT_EQ(added->GetCapacity(), 16);
    EXPECT_FALSE(added->IsProgrammed());

    ASSERT_TRUE(keyboard.SetKeyTexts("One", "M1,S+,K0x1E", 1, 2, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Three", "M1,S+,K0x20", 1, 2, 3));
    keyboard.Convert(2, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(CodesAt(keyboard, 1, 2, 1), "M1,S+,K0x20");
    EXPECT_EQ(CodesAt(keyboard, 1, 2, 3), "M1,S+,K0x1E");
    UsbKeyCell* moved = nullptr;
    ASSERT_TRUE(keyboard.GetCellAt(1, 2, 3, &moved));
    uint8_t layout = 0;
    EXPECT_EQ(moved->GetPosition(nullptr, nullptr, &layout), 86);
    EXPECT_EQ(layout, 3);
}

TEST(Zq2200Keyboard, SwitchKeyJoinsAnAddedThirdLayout)
{
    Zq2200Keyboard keyboard(2);
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "L2", 3, 3, 1));
    bool changed = false;
    keyboard.Convert(6, &changed);
    EXPECT_TRUE(keyboard.IsSameKey(3, 3, 3, 3, 1, 3));
    EXPECT_EQ(CodesAt(keyboard, 3, 3, 3), "L2,S+");
}

TEST(Zq2200Keyboard, DefaultImageBytes)
{
    for (uint8_t layouts = 1; layouts <= 3; ++layouts) {
        Zq2200Keyboard keyboard(layouts);
        EXPECT_EQ(Build(keyboard), DefaultImage(layouts)) << int(layouts);
    }
}

TEST(Zq2200Keyboard, ImageRecordsOfShapesTypesAndOptions)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Q", "M1,S-,K0x14,K0x15", 1, 3, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 3, 0x1A, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Sh", "M2,K0xE1", 5, 1, 2));
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "L2", 4, 8, 1));
    keyboard.SetKeysType(1);
    keyboard.SetRfidNumericOnly(false);
    keyboard.SetKeyPause(200);
    ASSERT_TRUE(keyboard.GetAffixCell(true).ParseCodesText("0xE104"));

    std::vector<uint8_t> expected = DefaultImage(3);
    const uint8_t header[9] = {0x01, 2, 11, 9, 0xE1, 0x04, 0, 0, 200};
    std::copy(header, header + 9, expected.begin());
    auto record = [&](uint16_t index, std::vector<uint8_t> bytes) {
        bytes.resize(kRecord, 0);
        std::copy(bytes.begin(), bytes.end(), expected.begin() + RecordOffset(index));
    };
    record(1, {0x11, 0x04});
    record(2, {});
    record(11, {0x18, 0x14, 0x15});
    record(12, {});
    record(16, {});
    record(17, {});
    record(45, {0x02, 0xE1});
    for (uint16_t index : {39, 79, 119}) {
        record(index, {0x04, 0xF1});
    }
    EXPECT_EQ(Build(keyboard), expected);
}

TEST(Zq2200Keyboard, ParsingAnImageRestoresKeysAndMarksCoveredRecords)
{
    Zq2200Keyboard source(3);
    ASSERT_TRUE(source.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(source.ChangeShape(1, 1, ShapeRight, 1));
    ASSERT_TRUE(source.SetKeyTexts("V", "M1,S+,K0x05", 2, 2, 2));
    ASSERT_TRUE(source.ChangeShape(2, 2, ShapeBelow, 2));
    ASSERT_TRUE(source.SetKeyTexts("Sw", "L3", 3, 5, 2));
    std::vector<uint8_t> image = Build(source);

    Zq2200Keyboard target(1);
    ASSERT_TRUE(target.SetKeyTexts("Old", "M1,S+,K0x06", 1, 1, 1));
    EXPECT_EQ(target.ParseDeviceImage(image.data(), image.size(), 1), 0);
    EXPECT_EQ(image[RecordOffset(2)], 0xFF);
    EXPECT_EQ(image[RecordOffset(52)], 0xFF);
    EXPECT_EQ(target.GetLayoutCount(), 3);
    EXPECT_TRUE(target.IsSameKey(1, 1, 2, 1, 1, 1));
    EXPECT_TRUE(target.IsSameKey(2, 2, 2, 3, 2, 2));
    EXPECT_EQ(CodesAt(target, 1, 1, 1), "M1,S+,K0x04");
    EXPECT_TRUE(target.IsSameKey(3, 5, 3, 5, 1, 3));
    EXPECT_EQ(CodesAt(target, 3, 5, 1), "L3,S-"); // the record carries no simple-key flag for it
    image = Build(source);
    EXPECT_EQ(Build(target), image);
}

TEST(Zq2200Keyboard, ImageLayoutCountByte)
{
    Zq2200Keyboard keyboard(1);
    std::vector<uint8_t> image = DefaultImage(1);
    image[9] = 0;
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 0);
    EXPECT_EQ(keyboard.GetLayoutCount(), 3);
    image[9] = 0x06; // only the low two bits count
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 0);
    EXPECT_EQ(keyboard.GetLayoutCount(), 2);
}

TEST(Zq2200Keyboard, ImageResultCodes)
{
    Zq2200Keyboard keyboard(2);
    std::vector<uint8_t> buffer(4096, 0);
    size_t size = 2053;
    EXPECT_EQ(keyboard.BuildDeviceImage(buffer.data(), &size, 1), 6);
    size = 4096;
    EXPECT_EQ(keyboard.BuildDeviceImage(nullptr, &size, 1), 6);
    EXPECT_EQ(keyboard.BuildDeviceImage(buffer.data(), &size, 2), 10);
    EXPECT_EQ(size, 4096u);
    EXPECT_EQ(keyboard.BuildDeviceImage(buffer.data(), &size, 1), 0);
    EXPECT_EQ(size, kImageLength);

    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    EXPECT_EQ(keyboard.ParseDeviceImage(nullptr, kImageLength, 1), 0);
    EXPECT_EQ(keyboard.ParseDeviceImage(buffer.data(), 2053, 1), 6);
    EXPECT_EQ(keyboard.ParseDeviceImage(buffer.data(), kImageLength, 0), 10);
    EXPECT_EQ(keyboard.GetLayoutCount(), 2);
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");

    std::vector<uint8_t> image = DefaultImage(2);
    image[1] = 4; // typematic delay beyond 3
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 11);
    image = DefaultImage(2);
    image[RecordOffset(3)] = 0x04;
    image[RecordOffset(3) + 1] = 0xEF; // no layout switch code
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 11);
}

TEST(Zq2200Keyboard, ImageShapeBeyondTheGridIsRefusedWithoutMarks)
{
    Zq2200Keyboard keyboard(3);
    std::vector<uint8_t> image = DefaultImage(3);
    image[RecordOffset(5)] = 0x11;   // column 5 of row 1 reaching right
    image[RecordOffset(120)] = 0x09; // the last record reaching down
    image[RecordOffset(120) + 1] = 0x04;
    const std::vector<uint8_t> before = image;
    EXPECT_EQ(keyboard.ParseDeviceImage(image.data(), image.size(), 1), 11);
    EXPECT_EQ(image, before);
    EXPECT_EQ(keyboard.GetShapeFlags(5, 1, 1), 0);
    EXPECT_EQ(CodesAt(keyboard, 5, 8, 3), "M1,S+,K0x04");
}
