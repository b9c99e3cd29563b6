// The picture's geometry and the Ctrl-click shape rule, on real projects.
#include "editor/ContextMenuRules.h"
#include "editor/KeyboardPictureLayout.h"
#include "model/Zq2200Keyboard.h"

#include <gtest/gtest.h>

namespace {

constexpr uint8_t kQuadRightDown = ShapeBelow | ShapeRight | ShapeRightBelow;

struct CtrlClickCase
{
    const char* what;
    uint8_t shapeOfCurrent; // a change applied to the current key (2,2) first
    GridPoint clicked;
    uint8_t change;
};

class CtrlClick : public ::testing::TestWithParam<CtrlClickCase>
{
};

} // namespace

TEST_P(CtrlClick, ChangeForTheClickedNeighbour)
{
    const CtrlClickCase& c = GetParam();
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("Key", "M1,K0x04", 2, 2, 1));
    if (c.shapeOfCurrent != 0) {
        ASSERT_TRUE(keyboard.ChangeShape(2, 2, c.shapeOfCurrent, 1));
    }
    EXPECT_EQ(GetCtrlClickChange(keyboard, MakeGridPoint(2, 2), c.clicked), c.change) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Neighbours, CtrlClick,
    ::testing::Values(
        CtrlClickCase{"left", 0, MakeGridPoint(1, 2), ShapeLeft},
        CtrlClickCase{"below", 0, MakeGridPoint(2, 3), ShapeBelow},
        CtrlClickCase{"up and left", 0, MakeGridPoint(1, 1), ShapeLeft | ShapeAbove | ShapeLeftAbove},
        CtrlClickCase{"down and right", 0, MakeGridPoint(3, 3), kQuadRightDown},
        CtrlClickCase{"itself", 0, MakeGridPoint(2, 2), 0},
        CtrlClickCase{"two away", 0, MakeGridPoint(4, 2), 0},
        CtrlClickCase{"double widened down", ShapeRight, MakeGridPoint(2, 3), ShapeBelow},
        // A diagonal click next to a double asks for the two direct bits only.
        CtrlClickCase{"diagonal of a double", ShapeRight, MakeGridPoint(1, 3), ShapeLeft | ShapeBelow},
        CtrlClickCase{"quad", kQuadRightDown, MakeGridPoint(1, 2), 0}));

TEST(CtrlClick, NeedsAProgrammedKeyAndCtrlAlone)
{
    Zq2200Keyboard keyboard(1);
    EXPECT_EQ(GetCtrlClickChange(keyboard, MakeGridPoint(2, 2), MakeGridPoint(3, 2)), 0);
    EXPECT_TRUE(IsCtrlOnly(ModLeftCtrl));
    EXPECT_TRUE(IsCtrlOnly(ModLeftCtrl | ModRightCtrl));
    EXPECT_FALSE(IsCtrlOnly(0));
    EXPECT_FALSE(IsCtrlOnly(ModLeftCtrl | ModLeftShift));
    EXPECT_FALSE(IsCtrlOnly(ModRightAlt));
}

TEST(KeyboardPicture, KeysDrawnOnceFromTheirFirstCellAndSelectedFromAnyCell)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("Quad", "M1,K0x04", 2, 2, 1));
    ASSERT_TRUE(keyboard.ChangeShape(2, 2, kQuadRightDown, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("High", "M2,K0xE1", 5, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(5, 1, ShapeBelow, 1));
    ASSERT_TRUE(keyboard.SetCurrentPosition(3, 3));
    const std::vector<PictureKey> keys = GetPictureKeys(keyboard);
    EXPECT_EQ(keys.size(), 40u - 3u - 1u);
    int selected = 0;
    for (const PictureKey& key : keys) {
        selected += key.selected ? 1 : 0;
        if (key.cell == MakeGridPoint(2, 2)) {
            EXPECT_TRUE(key.selected);
            EXPECT_EQ(key.shape, KeyShape::Quad);
            EXPECT_EQ(key.imageKind, 1);
            EXPECT_EQ((std::vector<int>{key.rect.x, key.rect.y, key.rect.width, key.rect.height}),
                      (std::vector<int>{39, 39, 78, 78}));
        }
        if (key.cell == MakeGridPoint(5, 1)) {
            EXPECT_EQ(key.shape, KeyShape::DoubleHigh);
            EXPECT_EQ(key.imageKind, 3);
        }
        if (key.cell == MakeGridPoint(1, 1)) {
            EXPECT_EQ(key.imageKind, 0);
        }
    }
    EXPECT_EQ(selected, 1);
    // A key continuing up or left starts one cell earlier.
    const KeyRect fromBelow = KeyRectAt(5, 2, ShapeAbove);
    EXPECT_EQ((std::vector<int>{fromBelow.x, fromBelow.y, fromBelow.width, fromBelow.height}),
              (std::vector<int>{156, 0, 39, 78}));
}

TEST(KeyboardPicture, HitTestByWholeCells)
{
    Zq2200Keyboard keyboard(1);
    EXPECT_EQ(HitTestKey(keyboard, 0, 0), MakeGridPoint(1, 1));
    EXPECT_EQ(HitTestKey(keyboard, 38, 39), MakeGridPoint(1, 2));
    EXPECT_EQ(HitTestKey(keyboard, 194, 311), MakeGridPoint(5, 8));
    EXPECT_FALSE(HitTestKey(keyboard, 195, 10));
    EXPECT_FALSE(HitTestKey(keyboard, 10, 312));
    EXPECT_FALSE(HitTestKey(keyboard, -1, 10));
    const KeyRect picture = GetPictureRect(keyboard);
    EXPECT_EQ(picture.width, 195);
    EXPECT_EQ(picture.height, 312);
}

namespace {

struct RoomCase
{
    const char* what;
    int width;
    int height;
    int cellSize;
};

class CellSizeForRoom : public ::testing::TestWithParam<RoomCase>
{
};

} // namespace

// A ZQ-2200 is 5 cells across and 8 down: the lower of the two fits decides.
TEST_P(CellSizeForRoom, LargestWholeCellThatFits)
{
    const RoomCase& c = GetParam();
    Zq2200Keyboard keyboard(1);
    EXPECT_EQ(FitCellSize(keyboard, c.width, c.height), c.cellSize) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Rooms, CellSizeForRoom,
                         ::testing::Values(RoomCase{"exactly the smallest picture", 195, 312, 39},
                                           RoomCase{"less room than that", 100, 100, 39},
                                           RoomCase{"no room", 0, -5, 39},
                                           RoomCase{"twice the room", 390, 624, 78},
                                           RoomCase{"one pixel short of 78", 389, 624, 77},
                                           RoomCase{"wide: the height decides", 2000, 480, 60},
                                           RoomCase{"high: the width decides", 300, 2000, 60}));

TEST(KeyboardPicture, ScaledCellsMoveEveryRectangleAndTheHitTest)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("Quad", "M1,K0x04", 2, 2, 1));
    ASSERT_TRUE(keyboard.ChangeShape(2, 2, kQuadRightDown, 1));
    constexpr int kCell = 60;
    // 38 is in cell 1 at 39 pixels a cell and 59 still is at 60; 60 is cell 2.
    EXPECT_EQ(HitTestKey(keyboard, 59, 38, kCell), MakeGridPoint(1, 1));
    EXPECT_EQ(HitTestKey(keyboard, 60, 59, kCell), MakeGridPoint(2, 1));
    EXPECT_EQ(HitTestKey(keyboard, 299, 479, kCell), MakeGridPoint(5, 8));
    EXPECT_FALSE(HitTestKey(keyboard, 300, 10, kCell));
    EXPECT_FALSE(HitTestKey(keyboard, 10, 480, kCell));
    EXPECT_FALSE(HitTestKey(keyboard, 10, 10, 0));
    const KeyRect picture = GetPictureRect(keyboard, kCell);
    EXPECT_EQ((std::vector<int>{picture.width, picture.height}), (std::vector<int>{300, 480}));
    // Any cell of the quad finds the one key drawn from its first cell.
    for (const GridPoint cell :
         {MakeGridPoint(2, 2), MakeGridPoint(3, 2), MakeGridPoint(2, 3), MakeGridPoint(3, 3)}) {
        const std::optional<PictureKey> key = GetPictureKeyAt(keyboard, cell, kCell);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->cell, MakeGridPoint(2, 2));
        EXPECT_EQ((std::vector<int>{key->rect.x, key->rect.y, key->rect.width, key->rect.height}),
                  (std::vector<int>{60, 60, 120, 120}));
    }
    EXPECT_FALSE(GetPictureKeyAt(keyboard, MakeGridPoint(6, 1), kCell).has_value());
}
