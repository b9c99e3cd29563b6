#include "model/Keyboard.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A minimal family: a full grid of USB cells, numbered column fastest, then
// row, then layout.
class GridKeyboard : public Keyboard
{
public:
    GridKeyboard(uint16_t columns = 4, uint16_t rows = 3, uint8_t layouts = 2)
    {
        m_columns = columns;
        m_rows = rows;
        m_layoutCount = layouts;
        for (uint8_t layout = 1; layout <= layouts; ++layout) {
            for (uint16_t row = 1; row <= rows; ++row) {
                for (uint16_t column = 1; column <= columns; ++column) {
                    const auto index = static_cast<uint16_t>(m_cells.size() + 1);
                    m_cells.push_back(std::make_unique<UsbKeyCell>(index, static_cast<uint8_t>(column),
                                                                   static_cast<uint8_t>(row), layout, 16));
                }
            }
        }
        SetCurrentLayout(1);
        SetCurrentPosition(1, 1);
    }

    using Keyboard::GetCellIndex;

    void SetBeepSettable(bool on) { m_beepSettable = on ? 1 : 0; }
    void NarrowRfidDigits(uint8_t min, uint8_t max)
    {
        m_rfidMin = min;
        m_rfidMax = max;
    }
    KeyCell* Cell(uint16_t column, uint16_t row, uint8_t layout = 1)
    {
        KeyCell* cell = nullptr;
        return GetCell(column, row, layout, &cell) ? cell : nullptr;
    }

    bool GetRfidDigitsRange(uint8_t* min, uint8_t* max) const override
    {
        if (m_rfidMax == 0) {
            return Keyboard::GetRfidDigitsRange(min, max);
        }
        *min = m_rfidMin;
        *max = m_rfidMax;
        return true;
    }
    bool MoveToNextKey() override { return false; }
    bool MoveToPreviousKey() override { return false; }
    std::string GetLayoutName(uint8_t) const override { return {}; }
    bool GetCellByIndex(uint16_t index, KeyCell** cell) override
    {
        if (index == 0 || index > m_cells.size()) {
            return false;
        }
        *cell = m_cells[index - 1].get();
        return true;
    }
    uint16_t GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const override
    {
        if (layout == 0) {
            layout = m_curLayout;
        }
        if (!IsValidPosition(column, row) || layout < 1 || layout > m_layoutCount) {
            return 0;
        }
        return static_cast<uint16_t>(column + m_columns * ((row - 1) + m_rows * (layout - 1)));
    }
    uint16_t GetCellIndex(GridPoint point, uint8_t layout) const override
    {
        return GetCellIndex(GridColumn(point), GridRow(point), layout);
    }
    bool GetCellPosition(uint16_t, uint16_t*, uint16_t*, uint8_t*) override { return false; }
    bool BeginEditCell(uint16_t column, uint16_t row, KeyCell** copy, uint8_t layout) override
    {
        return GetCell(column, row, layout, copy);
    }
    bool BeginEditCell(GridPoint point, KeyCell** copy) override
    {
        return BeginEditCell(GridColumn(point), GridRow(point), copy, 0);
    }
    bool EndEditCell(KeyCell** copy) override
    {
        *copy = nullptr;
        return true;
    }
    std::unique_ptr<KeyCell> MakeDetachedCell() const override { return nullptr; }
    uint8_t GetAffixStyle() const override { return 2; }
    std::string GetTypeName() const override { return "grid"; }
    uint8_t GetTypeId() const override { return 255; }
    std::string GetFileFilter(std::string*, std::string*) const override { return {}; }
    bool SaveFile(const std::string&, uint8_t*) override { return false; }
    bool LoadFile(const std::string&, uint8_t*) override { return false; }
    std::string GetContentSignature() override { return {}; }
    bool DetectDevice(std::string*) override { return false; }
    bool SelectDevice(uint8_t) override { return false; }
    bool CanUploadFirmware() const override { return false; }
    bool CanProgram() const override { return false; }
    bool CanDownloadSequences() const override { return false; }
    bool CanShowFirmwareVersion() const override { return false; }
    int UploadFirmware(const std::string&, ProgressSink*) override { return 2; }
    int Program(ProgressSink*) override { return 2; }
    int DownloadSequences(ProgressSink*) override { return 2; }
    int GetFirmwareVersion(ProgressSink*, std::string*) override { return 2; }

private:
    std::vector<std::unique_ptr<KeyCell>> m_cells;
    uint8_t m_rfidMin = 0;
    uint8_t m_rfidMax = 0;
};

const char* const kCodesA = "M1,S+,K0x04";
const char* const kCodesB = "M1,S+,K0x05";

void Program(GridKeyboard& kb, uint16_t column, uint16_t row, const char* codes = kCodesA, uint8_t layout = 1)
{
    ASSERT_TRUE(kb.SetKeyTexts("k", codes, column, row, layout));
}

GridPoint Cursor(const Keyboard& kb)
{
    GridPoint point = 0;
    kb.GetCurrentPosition(&point);
    return point;
}

TEST(KeyboardCursor, PlacementIsBoundedByGridAndLayouts)
{
    GridKeyboard kb;
    EXPECT_FALSE(kb.SetCurrentLayout(0));
    EXPECT_FALSE(kb.SetCurrentLayout(3));
    EXPECT_TRUE(kb.SetCurrentLayout(2));
    EXPECT_EQ(kb.GetCurrentLayout(), 2);
    EXPECT_FALSE(kb.SetCurrentPosition(0, 1));
    EXPECT_FALSE(kb.SetCurrentPosition(1, 0));
    EXPECT_FALSE(kb.SetCurrentPosition(5, 1));
    EXPECT_FALSE(kb.SetCurrentPosition(MakeGridPoint(1, 4)));
    EXPECT_TRUE(kb.SetCurrentPosition(MakeGridPoint(4, 3)));
    EXPECT_EQ(Cursor(kb), MakeGridPoint(4, 3));
    // Cursor forms act on the current layout: index = 4 + 4 * (2 + 3 * 1).
    EXPECT_EQ(kb.GetCellIndex(), 24);
}

TEST(KeyboardCursor, HorizontalMovesStepOverDoubleKeysAndWrap)
{
    GridKeyboard kb;
    Program(kb, 1, 1);
    ASSERT_TRUE(kb.ChangeShape(1, 1, ShapeRight, 0));

    // From the right half of a double in column 1 the extra step reaches 0 and
    // wraps.
    kb.SetCurrentPosition(2, 1);
    EXPECT_TRUE(kb.MoveLeft());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(4, 1));

    kb.SetCurrentPosition(1, 1);
    EXPECT_TRUE(kb.MoveRight());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(3, 1));
    EXPECT_TRUE(kb.MoveRight());
    EXPECT_TRUE(kb.MoveRight());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(1, 1));

    // Moving onto a double from outside lands on its near half.
    kb.SetCurrentPosition(3, 1);
    EXPECT_TRUE(kb.MoveLeft());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 1));
    EXPECT_EQ(kb.GetCurrentLayout(), 1);
}

TEST(KeyboardCursor, VerticalMovesStepOverDoubleKeysAndWrap)
{
    GridKeyboard kb;
    Program(kb, 2, 2);
    ASSERT_TRUE(kb.ChangeShape(2, 2, ShapeBelow, 0));

    kb.SetCurrentPosition(2, 2);
    EXPECT_TRUE(kb.MoveDown());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 1));
    kb.SetCurrentPosition(2, 3);
    EXPECT_TRUE(kb.MoveUp());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 1));
    EXPECT_TRUE(kb.MoveUp());
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 3));
}

TEST(KeyboardShape, QuadInCornerHasNoBitsBeyondTheGrid)
{
    GridKeyboard kb;
    Program(kb, 3, 2);
    ASSERT_TRUE(kb.ChangeShape(3, 2, 0x1A, 0));
    EXPECT_EQ(kb.GetShapeFlags(3, 2, 0), 0x1A);
    EXPECT_EQ(kb.GetShapeFlags(4, 2, 0), 0x26);
    EXPECT_EQ(kb.GetShapeFlags(3, 3, 0), 0x49);
    EXPECT_EQ(kb.GetShapeFlags(4, 3, 0), 0x85);
    EXPECT_EQ(kb.GetShapeFlags(2, 2, 0), 0);
    EXPECT_EQ(kb.GetShapeFlags(3, 2, 2), 0) << "the other layout is untouched";
    EXPECT_EQ(kb.GetAllowedShapeChanges(4, 3, 0), 0x0F);
    EXPECT_TRUE(kb.IsSameKey(MakeGridPoint(3, 2), MakeGridPoint(4, 3)));
    EXPECT_FALSE(kb.IsSameKey(3, 2, 3, 2, 1, 2));
}

TEST(KeyboardShape, UnprogrammedKeyCannotChangeShape)
{
    GridKeyboard kb;
    EXPECT_EQ(kb.GetAllowedShapeChanges(2, 2, 0), 0);
    for (uint8_t change : {0x01, 0x02, 0x04, 0x08, 0x1A, 0x26, 0x49, 0x85}) {
        EXPECT_FALSE(kb.ChangeShape(2, 2, change, 0)) << int(change);
    }
    EXPECT_FALSE(kb.IsMergedCell(2, 2));
}

TEST(KeyboardShape, AllowedChangesOfSingleFollowFreeNeighbours)
{
    GridKeyboard kb;
    Program(kb, 2, 1);
    // Top row: left, right, below and both lower corners are free.
    EXPECT_EQ(kb.GetAllowedShapeChanges(2, 1, 0), 0x3E);

    // A programmed cell below blocks the downward double and both downward quads.
    Program(kb, 2, 2, kCodesB);
    EXPECT_EQ(kb.GetAllowedShapeChanges(2, 1, 0), 0x0C);
    EXPECT_FALSE(kb.ChangeShape(2, 1, 0x1A, 0));
    EXPECT_FALSE(kb.IsMergedCell(3, 1));

    // The programmed key above closes both upper corners, the one at (3, 3) the
    // lower right.
    Program(kb, 3, 3, kCodesB);
    EXPECT_EQ(kb.GetAllowedShapeChanges(2, 2, 0), 0x04 | 0x08 | 0x02 | 0x20);

    ASSERT_TRUE(kb.SetKeyType(4, 1, 3));
    EXPECT_EQ(kb.GetAllowedShapeChanges(4, 1, 0), 0) << "a layout switch key stays single";
}

TEST(KeyboardShape, AllowedChangesOfDoubleNeedBothCellsFree)
{
    GridKeyboard kb;
    Program(kb, 1, 2);
    ASSERT_TRUE(kb.ChangeShape(1, 2, ShapeRight, 0));
    Program(kb, 1, 3, kCodesB);
    EXPECT_EQ(kb.GetAllowedShapeChanges(1, 2, 0), ShapeAbove);
    EXPECT_EQ(kb.GetAllowedShapeChanges(2, 2, 0), ShapeAbove);
    EXPECT_FALSE(kb.ChangeShape(2, 2, ShapeBelow, 0));
    // A horizontal double never grows sideways.
    EXPECT_FALSE(kb.ChangeShape(2, 2, ShapeRight, 0));
}

TEST(KeyboardShape, MergesLinkNeighboursToTheProgrammedCell)
{
    GridKeyboard kb;
    Program(kb, 2, 1);
    ASSERT_TRUE(kb.ChangeShape(2, 1, ShapeRight, 0));
    EXPECT_EQ(kb.GetShapeFlags(2, 1, 0), ShapeRight);
    EXPECT_EQ(kb.GetShapeFlags(3, 1, 0), ShapeLeft);
    EXPECT_EQ(kb.Cell(3, 1)->GetMaster(), kb.Cell(2, 1));
    EXPECT_TRUE(kb.IsKeyProgrammed(3, 1));

    std::string name;
    std::string codes;
    ASSERT_TRUE(kb.GetKeyTexts(&name, &codes, 3, 1, 0));
    EXPECT_EQ(name, "k");
    EXPECT_EQ(codes, kCodesA);

    EXPECT_FALSE(kb.MergeSingle(1, 3, 0, 0));
    EXPECT_FALSE(kb.MergeSingle(1, 3, 0x03, 0));
    // A neighbour beyond the border fails the merge.
    Program(kb, 4, 3, kCodesB);
    EXPECT_FALSE(kb.MergeSingle(4, 3, ShapeRight, 0));
}

TEST(KeyboardShape, DoubleGrowsIntoQuad)
{
    GridKeyboard kb;
    Program(kb, 2, 1);
    ASSERT_TRUE(kb.ChangeShape(2, 1, ShapeRight, 0));
    ASSERT_TRUE(kb.ChangeShape(3, 1, ShapeBelow, 0));
    EXPECT_EQ(kb.GetShapeFlags(2, 1, 0), 0x1A);
    EXPECT_EQ(kb.GetShapeFlags(3, 1, 0), 0x26);
    EXPECT_EQ(kb.GetShapeFlags(2, 2, 0), 0x49);
    EXPECT_EQ(kb.Cell(3, 2)->GetMaster(), kb.Cell(2, 1));

    // A vertical double grows sideways the same way.
    Program(kb, 1, 2, kCodesB);
    ASSERT_TRUE(kb.ChangeShape(1, 2, ShapeBelow, 0));
    EXPECT_FALSE(kb.ChangeShape(1, 3, ShapeRight, 0)) << "column 2 row 2 belongs to the quad";
    EXPECT_FALSE(kb.ChangeDouble(1, 3, ShapeBelow, 0)) << "a vertical double cannot grow down";
}

TEST(KeyboardShape, QuadReducedToLeftFromRightCellKeepsProgrammingOnTheLeft)
{
    GridKeyboard kb;
    ASSERT_TRUE(kb.SetKeyTexts("quad", kCodesA, 1, 1, 0));
    ASSERT_TRUE(kb.ChangeShape(1, 1, 0x1A, 0));
    kb.SetCurrentPosition(2, 2);

    ASSERT_TRUE(kb.ChangeShape(2, 2, ShapeLeft, 0));
    EXPECT_EQ(Cursor(kb), MakeGridPoint(1, 2));
    EXPECT_EQ(kb.GetShapeFlags(1, 2, 0), ShapeAbove);
    EXPECT_EQ(kb.GetShapeFlags(1, 1, 0), ShapeBelow);
    EXPECT_EQ(kb.GetShapeFlags(2, 1, 0), 0);
    EXPECT_EQ(kb.GetShapeFlags(2, 2, 0), 0);
    EXPECT_EQ(kb.Cell(1, 1)->GetMaster(), kb.Cell(1, 2));
    EXPECT_FALSE(kb.IsKeyProgrammed(2, 1));
    EXPECT_FALSE(kb.IsKeyProgrammed(2, 2));

    std::string name;
    std::string codes;
    ASSERT_TRUE(kb.GetKeyTexts(&name, &codes, 1, 1, 0));
    EXPECT_EQ(name, "quad");
    EXPECT_EQ(codes, kCodesA);
}

TEST(KeyboardShape, QuadReducedToLowerHalfFromTopLeft)
{
    GridKeyboard kb;
    Program(kb, 2, 1);
    ASSERT_TRUE(kb.ChangeShape(2, 1, 0x1A, 0));
    ASSERT_TRUE(kb.ChangeShape(2, 1, ShapeBelow, 0));
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 2));
    EXPECT_EQ(kb.GetShapeFlags(2, 2, 0), ShapeRight);
    EXPECT_EQ(kb.GetShapeFlags(2, 1, 0), 0);
    EXPECT_EQ(kb.Cell(3, 2)->GetMaster(), kb.Cell(2, 2));
    EXPECT_FALSE(kb.ChangeQuad(2, 2, ShapeLeft, 0)) << "no longer a quad";
}

TEST(KeyboardKeys, MakeSingleKeepsProgrammingInTheChosenCell)
{
    GridKeyboard kb;
    ASSERT_TRUE(kb.SetKeyTexts("pair", kCodesB, 1, 1, 0));
    ASSERT_TRUE(kb.ChangeShape(1, 1, ShapeRight, 0));
    kb.SetCurrentLayout(2);

    ASSERT_TRUE(kb.MakeSingle(2, 1, 1, true));
    EXPECT_EQ(kb.GetCurrentLayout(), 1);
    EXPECT_EQ(Cursor(kb), MakeGridPoint(2, 1));
    EXPECT_FALSE(kb.IsMergedCell(1, 1));
    EXPECT_FALSE(kb.IsMergedCell(2, 1));
    EXPECT_FALSE(kb.IsKeyProgrammed(1, 1));
    EXPECT_EQ(kb.Cell(1, 1)->GetName(), "Key_1");

    std::string name;
    std::string codes;
    ASSERT_TRUE(kb.GetKeyTexts(&name, &codes, 2, 1, 0));
    EXPECT_EQ(name, "pair");
    EXPECT_EQ(codes, kCodesB);
    EXPECT_FALSE(kb.MakeSingle(2, 1, 1, true)) << "already single";
}

TEST(KeyboardKeys, ClearKeyClearsEveryCellOfAMergedKeyOnly)
{
    GridKeyboard kb;
    Program(kb, 1, 1);
    ASSERT_TRUE(kb.ChangeShape(1, 1, 0x1A, 0));
    Program(kb, 3, 1, kCodesB);
    Program(kb, 2, 2, kCodesB, 2);

    ASSERT_TRUE(kb.ClearKey(MakeGridPoint(2, 2)));
    for (uint16_t column = 1; column <= 2; ++column) {
        for (uint16_t row = 1; row <= 2; ++row) {
            EXPECT_FALSE(kb.IsKeyProgrammed(column, row));
            EXPECT_FALSE(kb.IsMergedCell(column, row));
        }
    }
    EXPECT_TRUE(kb.IsKeyProgrammed(3, 1));
    EXPECT_TRUE(kb.Cell(2, 2, 2)->IsProgrammed());
    EXPECT_FALSE(kb.ClearKey(5, 1, 1, true));
}

TEST(KeyboardKeys, ClearKeyOnLayoutSwitchClearsEveryLayoutItIsLinkedInto)
{
    GridKeyboard kb;
    Program(kb, 2, 2, kCodesB, 2);
    Program(kb, 3, 2, kCodesB, 2);
    ASSERT_TRUE(kb.SetKeyType(2, 2, 3));
    ASSERT_TRUE(kb.Cell(2, 2)->IsLayoutSwitch());
    kb.SetCurrentPosition(2, 2);
    EXPECT_FALSE(kb.CurrentCellAcceptsCodes());

    // Not linked: the key in layout 2 is another key (the other side of a double keyboard).
    ASSERT_TRUE(kb.ClearKey());
    EXPECT_FALSE(kb.Cell(2, 2, 1)->IsProgrammed());
    EXPECT_TRUE(kb.Cell(2, 2, 2)->IsProgrammed());

    Program(kb, 2, 2, kCodesB, 1);
    ASSERT_TRUE(kb.SetKeyType(2, 2, 3));
    KeyCell* master = kb.Cell(2, 2, 1);
    ASSERT_TRUE(master->SetMaster(master));
    ASSERT_TRUE(kb.Cell(2, 2, 2)->SetMaster(master));
    ASSERT_TRUE(kb.ClearKey());
    EXPECT_FALSE(kb.Cell(2, 2, 1)->IsProgrammed());
    EXPECT_FALSE(kb.Cell(2, 2, 2)->IsProgrammed());
    EXPECT_FALSE(kb.Cell(2, 2, 2)->IsMerged());
    EXPECT_TRUE(kb.Cell(3, 2, 2)->IsProgrammed());
}

TEST(KeyboardKeys, KeyTextsBaseRules)
{
    GridKeyboard kb;
    std::string name = "old name";
    std::string codes = "old codes";
    EXPECT_FALSE(kb.GetKeyTexts(&name, &codes));
    EXPECT_EQ(name, "old name");
    EXPECT_EQ(codes, "old codes");

    EXPECT_FALSE(kb.SetKeyTexts("n", ""));
    EXPECT_FALSE(kb.IsKeyProgrammed());
    EXPECT_FALSE(kb.SetKeyTexts("n", kCodesA, 5, 1, 0));
    // A codes text the cell refuses is not reported as applied.
    EXPECT_FALSE(kb.SetKeyTexts("n", "Q7"));

    EXPECT_EQ(kb.GetKeyImageIndex(), 0);
    ASSERT_TRUE(kb.SetKeyTexts("n", kCodesA));
    EXPECT_EQ(kb.GetKeyImageIndex(MakeGridPoint(1, 1)), 1);
}

TEST(KeyboardKeys, SetForAllKeysCountsAcceptingCells)
{
    GridKeyboard kb;
    EXPECT_EQ(kb.SetSimpleKeyForAllKeys(0), 24);
    EXPECT_EQ(kb.SetSimpleKeyForAllKeys(2), 0);
    EXPECT_EQ(kb.SetModeForAllKeys(0), 24);
    EXPECT_EQ(kb.SetModeForAllKeys(1), 0);
    GridKeyboard empty(4, 3, 0);
    EXPECT_EQ(empty.SetModeForAllKeys(0), 0);
}

TEST(KeyboardOptions, RangedSettersRefuseOutOfRangeValues)
{
    GridKeyboard kb;
    EXPECT_FALSE(kb.SetRfidDigits(0));
    EXPECT_FALSE(kb.SetRfidDigits(14));
    EXPECT_EQ(kb.GetRfidDigits(), 9);
    EXPECT_TRUE(kb.SetRfidDigits(13));
    EXPECT_FALSE(kb.SetTypematicRate(32));
    EXPECT_TRUE(kb.SetTypematicRate(31));
    EXPECT_EQ(kb.GetTypematicRate(), 31);
    EXPECT_FALSE(kb.SetTypematicDelay(4));
    EXPECT_EQ(kb.GetTypematicDelay(), 2);
    EXPECT_TRUE(kb.SetTypematicDelay(0));

    kb.NarrowRfidDigits(4, 10);
    EXPECT_FALSE(kb.SetRfidDigits(11));
    EXPECT_FALSE(kb.SetRfidDigits(3));
    EXPECT_TRUE(kb.SetRfidDigits(10));
    EXPECT_EQ(kb.GetRfidDigits(), 10);
}

TEST(KeyboardOptions, SetKeyBeepAnswersTrueOnlyWhenNotSettable)
{
    GridKeyboard kb;
    EXPECT_FALSE(kb.SetKeyBeep(true));
    EXPECT_TRUE(kb.GetKeyBeep());

    GridKeyboard fixed;
    fixed.SetBeepSettable(false);
    EXPECT_TRUE(fixed.SetKeyBeep(true));
    EXPECT_FALSE(fixed.GetKeyBeep());
    EXPECT_FALSE(fixed.CanSetKeyBeep());
}

} // namespace
