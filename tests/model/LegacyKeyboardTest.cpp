#include "model/LegacyKeyboard.h"
#include "model/LegacyKeyCell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

struct Variant
{
    bool isDouble;
    bool twoLayouts;
    bool sixteen;
};
constexpr Variant kV1Single{false, false, false};
constexpr Variant kV1Double{true, true, false};
constexpr Variant kV2Single{false, false, true};
constexpr Variant kV2Double{true, true, true};
constexpr Variant kWide{true, false, true}; // one layout of 16 columns

LegacyKeyboard Make(Variant v)
{
    return LegacyKeyboard(v.isDouble, v.twoLayouts, v.sixteen);
}

KeyCell* Cell(LegacyKeyboard& keyboard, uint16_t index)
{
    KeyCell* cell = nullptr;
    return keyboard.GetCellByIndex(index, &cell) ? cell : nullptr;
}

// Gives the key's master the codes through its byte record.
void Program(KeyCell* cell, std::initializer_list<uint8_t> codes)
{
    const uint8_t capacity = cell->GetCapacity();
    std::vector<uint8_t> record(capacity == 16 ? 18 : capacity + 1, 0);
    size_t offset = capacity == 16 ? 2 : 1;
    for (uint8_t code : codes) {
        record[offset++] = code;
    }
    ASSERT_TRUE(cell->LoadFromBytes(record.data(), record.size(), 0));
}

std::vector<uint32_t> Codes(const KeyCell* cell)
{
    std::vector<uint32_t> codes;
    for (int i = 1; i <= cell->GetCodeCount(); ++i) {
        codes.push_back(cell->GetCode(i));
    }
    return codes;
}

void ExpectPosition(KeyCell* cell, uint16_t column, uint16_t row, uint8_t layout, uint16_t number)
{
    uint16_t c = 0;
    uint16_t r = 0;
    uint8_t l = 0;
    EXPECT_EQ(cell->GetPosition(&c, &r, &l), number);
    EXPECT_EQ(c, column);
    EXPECT_EQ(r, row);
    EXPECT_EQ(l, layout);
}

} // namespace

TEST(LegacyKeyboardVariants, GridCapacityAndTypes)
{
    struct Case
    {
        Variant variant;
        uint16_t columns;
        uint8_t layouts;
        uint8_t capacity;
        uint8_t typeCode;
        uint8_t typeId;
        const char* name;
    };
    const Case cases[] = {
        {kV1Single, 8, 1, 7, 56, 7, "ZQ-1100 v1 single (7 scans)"},
        {kV1Double, 8, 2, 3, 112, 8, "ZQ-1100 v1 double (3 scans)"},
        {kV2Single, 8, 1, 16, 57, 9, "ZQ-1100 v2 single (16 scans)"},
        {kV2Double, 8, 2, 16, 113, 10, "ZQ-1100 v2 double (16 scans)"},
        {kWide, 16, 1, 16, 113, 10, "ZQ-1100 v2 double (16 scans)"},
    };
    for (const Case& c : cases) {
        LegacyKeyboard keyboard = Make(c.variant);
        uint16_t columns = 0;
        uint16_t rows = 0;
        keyboard.GetGridSize(&columns, &rows);
        EXPECT_EQ(columns, c.columns);
        EXPECT_EQ(rows, 7);
        EXPECT_EQ(keyboard.GetLayoutCount(), c.layouts);
        EXPECT_EQ(keyboard.GetCurrentLayout(), 1);
        EXPECT_EQ(keyboard.GetCellCapacity(), c.capacity);
        EXPECT_EQ(keyboard.GetTypeCode(), c.typeCode);
        EXPECT_EQ(keyboard.GetTypeId(), c.typeId);
        EXPECT_EQ(keyboard.GetTypeName(), c.name);
        const uint16_t keys = (c.columns == 16 || c.layouts == 2) ? 112 : 56;
        for (uint16_t index = 1; index <= 112; ++index) {
            KeyCell* cell = Cell(keyboard, index);
            ASSERT_EQ(cell != nullptr, index <= keys) << index;
            if (cell != nullptr) {
                EXPECT_EQ(cell->GetCapacity(), c.capacity);
            }
        }
        KeyCell* cell = nullptr;
        EXPECT_FALSE(keyboard.GetCellByIndex(0, &cell));
        EXPECT_FALSE(keyboard.GetCellByIndex(113, &cell));
    }
}

TEST(LegacyKeyboardVariants, TypeCodeByVersionAndFlag)
{
    LegacyKeyboard v1Double = Make(kV1Double);
    LegacyKeyboard v2Single = Make(kV2Single);
    LegacyKeyboard v1Single = Make(kV1Single);
    EXPECT_EQ(v2Single.GetTypeCode(0, true), 57);
    EXPECT_EQ(v2Single.GetTypeCode(0, false), 56);
    EXPECT_EQ(v1Single.GetTypeCode(0, true), 56);
    EXPECT_EQ(v1Single.GetTypeCode(1, true), 57);
    EXPECT_EQ(v1Double.GetTypeCode(1, true), 113);
    EXPECT_EQ(v1Double.GetTypeCode(1, false), 112);
    EXPECT_EQ(v1Double.GetTypeCode(2, true), 112);
    EXPECT_EQ(v1Double.GetTypeCode(3, true), 56);
    EXPECT_EQ(v2Single.GetTypeCode(200, true), 56);
}

TEST(LegacyKeyboardNumbering, BothHalvesCountRowByRow)
{
    LegacyKeyboard wide = Make(kWide);
    LegacyKeyboard layered = Make(kV1Double);
    LegacyKeyboard single = Make(kV1Single);
    EXPECT_EQ(wide.GetCellIndex(1, 1, 1), 1);
    EXPECT_EQ(wide.GetCellIndex(8, 1, 1), 8);
    EXPECT_EQ(wide.GetCellIndex(1, 2, 1), 9);
    EXPECT_EQ(wide.GetCellIndex(8, 7, 1), 56);
    EXPECT_EQ(wide.GetCellIndex(9, 1, 1), 57);
    EXPECT_EQ(wide.GetCellIndex(10, 2, 1), 66);
    EXPECT_EQ(wide.GetCellIndex(16, 7, 1), 112);
    EXPECT_EQ(layered.GetCellIndex(8, 7, 1), 56);
    EXPECT_EQ(layered.GetCellIndex(1, 1, 2), 57);
    EXPECT_EQ(layered.GetCellIndex(2, 2, 2), 66);
    EXPECT_EQ(layered.GetCellIndex(8, 7, 2), 112);
    EXPECT_EQ(layered.GetCellIndex(MakeGridPoint(3, 1), 2), 59);

    EXPECT_EQ(single.GetCellIndex(9, 1, 1), 0);
    EXPECT_EQ(single.GetCellIndex(0, 1, 1), 0);
    EXPECT_EQ(single.GetCellIndex(1, 0, 1), 0);
    EXPECT_EQ(single.GetCellIndex(1, 8, 1), 0);
    EXPECT_EQ(single.GetCellIndex(1, 1, 2), 0);
    EXPECT_EQ(layered.GetCellIndex(1, 1, 3), 0);
    EXPECT_EQ(wide.GetCellIndex(17, 1, 1), 0);

    ASSERT_TRUE(layered.SetCurrentLayout(2));
    EXPECT_EQ(layered.GetCellIndex(1, 1, 0), 57);
}

TEST(LegacyKeyboardMoves, NextKeyWalksKeyNumbersInOrder)
{
    for (Variant v : {kWide, kV2Double, kV1Single}) {
        LegacyKeyboard keyboard = Make(v);
        ASSERT_TRUE(keyboard.SetCurrentPosition(1, 1));
        const uint16_t keys = v.isDouble && !v.twoLayouts ? 112 : 56;
        for (uint16_t expected = 2; expected <= keys + 1; ++expected) {
            ASSERT_TRUE(keyboard.MoveToNextKey());
            ASSERT_EQ(keyboard.GetCellIndex(), expected > keys ? 1 : expected) << "layouts " << v.twoLayouts;
        }
        for (uint16_t expected = keys; expected >= 1; --expected) {
            ASSERT_TRUE(keyboard.MoveToPreviousKey());
            ASSERT_EQ(keyboard.GetCellIndex(), expected) << "layouts " << v.twoLayouts;
        }
    }
    LegacyKeyboard unplaced = Make(kV1Single);
    EXPECT_FALSE(unplaced.MoveToNextKey());
}

// Double keys that end or start a row must not trap the reading-order walk in that row.
TEST(LegacyKeyboardMoves, NextAndPreviousKeyCrossRowsThatEndOrStartWithADoubleKey)
{
    for (Variant v : {kV1Single, kV2Single, kV1Double, kV2Double, kWide}) {
        LegacyKeyboard keyboard = Make(v);
        uint16_t columns = 0;
        uint16_t rows = 0;
        keyboard.GetGridSize(&columns, &rows);
        std::vector<std::pair<uint16_t, uint16_t>> doubles{{7, 2}, {1, 3}, {7, 7}};
        if (columns == 16) {
            doubles.insert(doubles.end(), {{15, 4}, {9, 5}, {7, 6}, {15, 7}, {9, 1}});
        }
        for (const auto& [column, row] : doubles) {
            Program(Cell(keyboard, keyboard.GetCellIndex(column, row, 1)), {0x1C});
            ASSERT_TRUE(keyboard.ChangeShape(column, row, ShapeRight, 0)) << column << "," << row;
        }
        const size_t keys = columns * rows - doubles.size();
        for (bool forward : {true, false}) {
            ASSERT_TRUE(keyboard.SetCurrentPosition(1, 1));
            std::vector<uint16_t> visited;
            std::set<KeyCell*> masters;
            do {
                ASSERT_TRUE(forward ? keyboard.MoveToNextKey() : keyboard.MoveToPreviousKey());
                ASSERT_LE(visited.size(), keys) << "the walk does not come back to the start";
                visited.push_back(keyboard.GetCellIndex());
                KeyCell* cell = nullptr;
                ASSERT_TRUE(keyboard.GetCurrentCell(&cell));
                masters.insert(cell->GetMaster());
            } while (visited.back() != 1);
            EXPECT_EQ(visited.size(), keys) << "columns " << columns << " forward " << forward;
            EXPECT_EQ(masters.size(), keys);
            // Reading order is key number order, wrapping once.
            if (forward) {
                EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end() - 1));
            } else {
                EXPECT_TRUE(std::is_sorted(visited.rbegin(), visited.rend()));
            }
        }
    }
}

TEST(LegacyKeyboardTexts, NamesLabelsAndFilters)
{
    LegacyKeyboard single = Make(kV1Single);
    LegacyKeyboard layered = Make(kV2Double);
    LegacyKeyboard wide = Make(kWide);
    EXPECT_EQ(single.GetLayoutName(1), "Keyboard");
    EXPECT_EQ(layered.GetLayoutName(1), "Left side");
    EXPECT_EQ(layered.GetLayoutName(2), "Right side");
    EXPECT_EQ(layered.GetLayoutName(3), "Keyboard");
    EXPECT_EQ(wide.GetLayoutName(1), "Keyboard");

    EXPECT_EQ(single.GetCodeEntryLabel(1), " ");

    const std::string common = "ZQ-1100 16 scans (*.txt)|*.txt|ZQ-1100 7/3 scans (*.txt)|*.txt|";
    const std::string halves = "ZQ-1100 Single 16 scans - left side (*.txt)|*.txt|"
                               "ZQ-1100 Single 16 scans - right side (*.txt)|*.txt|";
    std::string filter;
    std::string extension;
    EXPECT_EQ(single.GetFileFilter(&filter, &extension), common);
    EXPECT_EQ(filter, common);
    EXPECT_EQ(extension, "txt");
    EXPECT_EQ(layered.GetFileFilter(&filter, &extension), common + halves);
    EXPECT_EQ(wide.GetFileFilter(nullptr, nullptr), common + halves);
}

TEST(LegacyKeyboardOptions, RfidFlags)
{
    LegacyKeyboard keyboard = Make(kV2Single);
    EXPECT_EQ(keyboard.GetRfidFlags(), 9 * 16 + 4);
    keyboard.SetAffixExtended(true, true);
    keyboard.SetAffixExtended(false, true);
    EXPECT_EQ(keyboard.GetRfidFlags(), 0x97);

    EXPECT_TRUE(keyboard.SetRfidFlags(0xD2)); // 13 digits, any digits, suffix extended
    EXPECT_EQ(keyboard.GetRfidDigits(), 13);
    EXPECT_FALSE(keyboard.GetRfidNumericOnly());
    EXPECT_FALSE(keyboard.GetAffixExtended(true));
    EXPECT_TRUE(keyboard.GetAffixExtended(false));
    // Refused digits or bit 3 fail the whole, but the rest still applies.
    EXPECT_FALSE(keyboard.SetRfidFlags(0x05));
    EXPECT_EQ(keyboard.GetRfidFlags(), 13 * 16 + 5);
    EXPECT_FALSE(keyboard.SetRfidFlags(0x38));
    EXPECT_EQ(keyboard.GetRfidDigits(), 3);
}
TEST(LegacyKeyboardEdit, CopyOfMergedKeyWritesBackToItsMaster)
{
    LegacyKeyboard keyboard = Make(kV1Single);
    KeyCell* master = Cell(keyboard, 2);
    KeyCell* member = Cell(keyboard, 3);
    master->SetMaster(master);
    ASSERT_TRUE(member->SetMaster(master));
    Program(master, {0x1C, 0x32});

    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard.BeginEditCell(3, 1, &copy, 0));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, master);
    EXPECT_EQ(copy->GetMaster(), copy);
    EXPECT_EQ(Codes(copy), (std::vector<uint32_t>{0x1C, 0x32}));
    copy->DeleteLastCodes(1);
    copy->SetName("Total");

    KeyCell* stranger = Cell(keyboard, 10);
    EXPECT_FALSE(keyboard.EndEditCell(&stranger));
    EXPECT_EQ(stranger, Cell(keyboard, 10));

    keyboard.EndEditCell(&copy);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(Codes(master), (std::vector<uint32_t>{0x1C}));
    EXPECT_EQ(master->GetName(), "Total");
    EXPECT_EQ(member->GetName(), "Total");
    EXPECT_EQ(Cell(keyboard, 3)->GetKeyNumber(), 3);
    EXPECT_FALSE(keyboard.EndEditCell(&copy));

    ASSERT_TRUE(keyboard.BeginEditCell(5, 1, &copy, 0));
    EXPECT_FALSE(copy->IsMerged());
    keyboard.EndEditCell(&copy);
    EXPECT_FALSE(keyboard.BeginEditCell(9, 1, &copy, 0));
    EXPECT_EQ(copy, nullptr);
}

TEST(LegacyKeyboardEdit, DetachedCellIsOwnedByTheCallerAndLeavesTheEditCopyAlone)
{
    LegacyKeyboard keyboard = Make(kV1Double);
    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard.BeginEditCell(5, 1, &copy, 0));

    std::unique_ptr<KeyCell> detached;
    ASSERT_TRUE(keyboard.BeginEditCell(0, 0, &detached, 0));
    EXPECT_EQ(detached->GetCapacity(), 3);
    EXPECT_FALSE(detached->IsProgrammed());
    EXPECT_FALSE(keyboard.BeginEditCell(1, 1, &detached, 0));
    EXPECT_EQ(detached, nullptr);

    // The borrowed form never hands out a cell for the caller to delete.
    KeyCell* raw = nullptr;
    EXPECT_FALSE(keyboard.BeginEditCell(0, 0, &raw, 0));
    EXPECT_EQ(raw, nullptr);
    EXPECT_TRUE(keyboard.EndEditCell(&copy));
}

TEST(LegacyKeyboardConversion, TitlesByTypeCode)
{
    struct Case
    {
        Variant variant;
        const char* titles[6];
    };
    const Case cases[] = {
        {kV1Single,
         {"Convert to ZQ-1100 v2 single ", "Convert to ZQ-1100 v1 double as Left",
          "Convert to ZQ-1100 v1 double as Right", nullptr, nullptr, nullptr}},
        {kV2Single,
         {"Convert to ZQ-1100 v1 single ", "Convert to ZQ-1100 v2 double as Left",
          "Convert to ZQ-1100 v2 double as Right", nullptr, nullptr, nullptr}},
        {kV1Double,
         {"Convert to ZQ-1100 v2 double", nullptr, nullptr, "Exchange Left and Rigth side",
          "Convert Left side to ZQ-1100 v1 single", "Convert Right side to ZQ-1100 v1 single"}},
        {kV2Double,
         {"Convert to ZQ-1100 v1 double", nullptr, nullptr, "Exchange Left and Rigth side",
          "Convert Left side to ZQ-1100 v2 single", "Convert Right side to ZQ-1100 v2 single"}},
    };
    for (const Case& c : cases) {
        LegacyKeyboard keyboard = Make(c.variant);
        EXPECT_EQ(keyboard.GetConversionCount(), 6);
        for (uint8_t item = 1; item <= 6; ++item) {
            std::string text = "none";
            const char* expected = c.titles[item - 1];
            EXPECT_EQ(keyboard.GetConversionTitle(item, &text), expected != nullptr);
            EXPECT_EQ(text, expected != nullptr ? expected : "none") << int(item);
            EXPECT_EQ(keyboard.GetConversionTitle(item, nullptr), expected != nullptr) << int(item);
        }
        std::string text;
        EXPECT_FALSE(keyboard.GetConversionTitle(0, &text));
        EXPECT_FALSE(keyboard.GetConversionTitle(7, &text));
    }
}

TEST(LegacyKeyboardConversion, WarningsNameTheTargetWhereDataIsLost)
{
    const std::string tail = "?\nThis conversion will cause data loss.\nContinue anyway?";
    struct Case
    {
        Variant variant;
        uint8_t item;
        const char* target; // null: no warning
    };
    const Case cases[] = {
        {kV2Single, 1, "ZQ-1100 v1 single (7 scans)"},
        {kV2Double, 1, "ZQ-1100 v1 double (3 scans)"},
        {kV1Double, 5, "ZQ-1100 v1 single (7 scans)"},
        {kV1Double, 6, "ZQ-1100 v1 single (7 scans)"},
        {kV2Double, 5, "ZQ-1100 v2 single (16 scans)"},
        {kV2Double, 6, "ZQ-1100 v2 single (16 scans)"},
        {kV1Single, 2, "ZQ-1100 v1 double (3 scans)"},
        {kV1Single, 3, "ZQ-1100 v1 double (3 scans)"},
        {kV1Single, 1, nullptr},
        {kV1Double, 1, nullptr},
        {kV2Single, 2, nullptr},
        {kV2Single, 3, nullptr},
        {kV2Double, 4, nullptr},
        {kV2Single, 5, nullptr},
    };
    for (const Case& c : cases) {
        LegacyKeyboard keyboard = Make(c.variant);
        std::string text = "none";
        EXPECT_EQ(keyboard.GetConversionWarning(c.item, &text), c.target != nullptr) << int(c.item);
        EXPECT_EQ(keyboard.GetConversionWarning(c.item, nullptr), c.target != nullptr) << int(c.item);
        EXPECT_EQ(text, c.target != nullptr ? "Convert to " + std::string(c.target) + tail : "none");
    }
}

TEST(LegacyKeyboardConversion, VersionChangeCutsCodes)
{
    LegacyKeyboard keyboard = Make(kV2Double);
    Program(Cell(keyboard, 100), {0xE0, 0x14, 0x1C, 0x32, 0x21});
    bool changed = false;
    EXPECT_EQ(keyboard.Convert(1, &changed), nullptr);
    EXPECT_TRUE(changed);
    EXPECT_EQ(keyboard.GetTypeId(), 8);
    EXPECT_EQ(Cell(keyboard, 1)->GetCapacity(), 3);
    EXPECT_EQ(Codes(Cell(keyboard, 100)), (std::vector<uint32_t>{0xE0, 0x14, 0x1C}));
    keyboard.Convert(1, &changed);
    EXPECT_EQ(keyboard.GetTypeId(), 10);
    EXPECT_EQ(Cell(keyboard, 112)->GetCapacity(), 16);
}

TEST(LegacyKeyboardConversion, SingleBecomesLeftOrRightSide)
{
    LegacyKeyboard left = Make(kV2Single);
    Program(Cell(left, 5), {0x1C, 0x32});
    KeyCell* programmed = Cell(left, 5);
    bool changed = false;
    left.Convert(2, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(left.GetTypeId(), 10);
    EXPECT_EQ(left.GetLayoutCount(), 2);
    EXPECT_EQ(Cell(left, 5), programmed);
    for (uint16_t index = 57; index <= 112; ++index) {
        ASSERT_NE(Cell(left, index), nullptr);
        EXPECT_FALSE(Cell(left, index)->IsProgrammed());
        EXPECT_EQ(Cell(left, index)->GetCapacity(), 16);
    }

    LegacyKeyboard right = Make(kV2Single);
    Program(Cell(right, 5), {0x1C, 0x32});
    programmed = Cell(right, 5);
    right.Convert(3, &changed);
    EXPECT_EQ(Cell(right, 61), programmed);
    ExpectPosition(programmed, 5, 1, 2, 61);
    EXPECT_FALSE(Cell(right, 5)->IsProgrammed());
    ExpectPosition(Cell(right, 5), 5, 1, 1, 5);
}

TEST(LegacyKeyboardConversion, V1SingleToDoubleTakesThreeCodesPerKey)
{
    LegacyKeyboard keyboard = Make(kV1Single);
    Program(Cell(keyboard, 1), {0x12, 0x1C, 0xF0, 0x1C, 0xF0, 0x12});
    bool changed = false;
    keyboard.Convert(3, &changed);
    EXPECT_EQ(keyboard.GetTypeId(), 8);
    EXPECT_EQ(keyboard.GetCellCapacity(), 3);
    EXPECT_EQ(Cell(keyboard, 1)->GetCapacity(), 3);
    EXPECT_EQ(Codes(Cell(keyboard, 57)), (std::vector<uint32_t>{0x12, 0x1C, 0xF0}));

    // Back to one side: the v1 single's 7 codes per key again.
    keyboard.Convert(6, &changed);
    EXPECT_EQ(keyboard.GetTypeId(), 7);
    EXPECT_EQ(Cell(keyboard, 1)->GetCapacity(), 7);
    EXPECT_EQ(Codes(Cell(keyboard, 1)), (std::vector<uint32_t>{0x12, 0x1C, 0xF0}));
}

TEST(LegacyKeyboardConversion, ExchangeAndDropSidesKeepKeysWhole)
{
    LegacyKeyboard keyboard = Make(kV2Double);
    KeyCell* leftKey = Cell(keyboard, 1);
    KeyCell* rightMaster = Cell(keyboard, 57);
    Program(leftKey, {0x1C});
    Program(rightMaster, {0x32});
    rightMaster->SetMaster(rightMaster);
    Cell(keyboard, 58)->SetMaster(rightMaster);
    bool changed = false;

    keyboard.Convert(4, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(Cell(keyboard, 57), leftKey);
    EXPECT_EQ(Cell(keyboard, 1), rightMaster);
    ExpectPosition(leftKey, 1, 1, 2, 57);
    ExpectPosition(rightMaster, 1, 1, 1, 1);
    EXPECT_EQ(keyboard.GetShapeFlags(1, 1, 1), ShapeRight);
    keyboard.Convert(4, &changed);

    keyboard.SetCurrentLayout(2);
    keyboard.Convert(6, &changed);
    EXPECT_EQ(keyboard.GetLayoutCount(), 1);
    EXPECT_EQ(keyboard.GetCurrentLayout(), 1);
    EXPECT_EQ(keyboard.GetTypeId(), 9);
    EXPECT_EQ(Cell(keyboard, 1), rightMaster);
    ExpectPosition(Cell(keyboard, 2), 2, 1, 1, 2);
    EXPECT_TRUE(keyboard.IsSameKey(MakeGridPoint(1, 1), MakeGridPoint(2, 1)));
    EXPECT_EQ(Cell(keyboard, 57), nullptr);
    EXPECT_EQ(keyboard.GetCellIndex(1, 1, 2), 0);

    LegacyKeyboard other = Make(kV1Double);
    Program(Cell(other, 1), {0x1C});
    other.Convert(5, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(other.GetTypeId(), 7);
    EXPECT_EQ(Codes(Cell(other, 1)), (std::vector<uint32_t>{0x1C}));
    EXPECT_EQ(Cell(other, 57), nullptr);
}

TEST(LegacyKeyboardConversion, KeyAcrossTheMiddleOfTheWideGridIsSplit)
{
    for (uint8_t item : {uint8_t{4}, uint8_t{5}, uint8_t{6}}) {
        LegacyKeyboard keyboard = Make(kWide);
        KeyCell* master = Cell(keyboard, 57); // (9, 1)
        KeyCell* member = Cell(keyboard, 8);  // (8, 1)
        Program(master, {0x1C});
        master->SetMaster(master);
        ASSERT_TRUE(member->SetMaster(master));
        bool changed = false;
        keyboard.SetCurrentPosition(12, 3);
        keyboard.Convert(item, &changed);
        EXPECT_TRUE(changed);
        if (item != 6) { // item 6 destroys the member's half
            EXPECT_FALSE(member->IsMerged()) << int(item);
        }
        if (item == 4) {
            EXPECT_FALSE(master->IsMerged());
            EXPECT_EQ(keyboard.GetCellIndex(1, 1, 1), 1);
            EXPECT_EQ(Cell(keyboard, 1), master);
            ExpectPosition(member, 16, 1, 1, 64);
            continue;
        }
        uint16_t columns = 0;
        uint16_t rows = 0;
        keyboard.GetGridSize(&columns, &rows);
        EXPECT_EQ(columns, 8);
        GridPoint cursor = 0;
        keyboard.GetCurrentPosition(&cursor);
        EXPECT_EQ(cursor, MakeGridPoint(4, 3));
        if (item == 5) {
            EXPECT_EQ(Cell(keyboard, 8), member);
            EXPECT_FALSE(member->IsProgrammed());
        } else {
            EXPECT_EQ(Cell(keyboard, 1), master);
            EXPECT_FALSE(master->IsMerged());
            EXPECT_EQ(Codes(master), (std::vector<uint32_t>{0x1C}));
        }
    }
}

TEST(LegacyKeyboardConversion, ItemsThatDoNotApplyChangeNothing)
{
    struct Case
    {
        Variant variant;
        uint8_t item;
    };
    const Case cases[] = {{kV1Single, 4}, {kV2Single, 5}, {kV2Single, 6}, {kV1Double, 2},
                          {kV2Double, 3}, {kV2Double, 0}, {kV2Double, 7}};
    for (const Case& c : cases) {
        LegacyKeyboard keyboard = Make(c.variant);
        const uint8_t id = keyboard.GetTypeId();
        KeyCell* first = Cell(keyboard, 1);
        bool changed = true;
        EXPECT_EQ(keyboard.Convert(c.item, &changed), nullptr);
        EXPECT_FALSE(changed) << int(c.item);
        EXPECT_EQ(keyboard.GetTypeId(), id);
        EXPECT_EQ(Cell(keyboard, 1), first);
    }
    LegacyKeyboard keyboard = Make(kV1Single);
    EXPECT_EQ(keyboard.Convert(1, nullptr), nullptr);
    EXPECT_EQ(keyboard.GetTypeId(), 9);
}

TEST(LegacyKeyboardConversion, PendingEditFollowsItsKey)
{
    LegacyKeyboard keyboard = Make(kV2Single);
    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard.BeginEditCell(5, 1, &copy, 0));
    Program(copy, {0x1C});
    bool changed = false;
    keyboard.Convert(3, &changed);
    keyboard.EndEditCell(&copy);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(Codes(Cell(keyboard, 61)), (std::vector<uint32_t>{0x1C}));
    EXPECT_FALSE(Cell(keyboard, 5)->IsProgrammed());

    ASSERT_TRUE(keyboard.BeginEditCell(5, 1, &copy, 1));
    Program(copy, {0x32});
    keyboard.Convert(6, &changed); // the edited key is destroyed, key 61 becomes key 5
    EXPECT_FALSE(keyboard.EndEditCell(&copy));
    EXPECT_NE(copy, nullptr); // still the keyboard's until the next edit
    EXPECT_EQ(Codes(Cell(keyboard, 5)), (std::vector<uint32_t>{0x1C}));
}
