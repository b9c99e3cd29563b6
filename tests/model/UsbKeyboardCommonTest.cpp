#include "ModelTestHelpers.h"
#include "model/UsbKeyCell.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(UsbKeyboardCommon, CellIndexFollowsColumnRowLayoutOrder)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetCurrentLayout(2));
    EXPECT_EQ(keyboard.GetCellIndex(1, 1, 0), 41);
    EXPECT_EQ(keyboard.GetCellIndex(2, 3, 1), 12);
    EXPECT_EQ(keyboard.GetCellIndex(5, 8, 3), 120);
    EXPECT_EQ(keyboard.GetCellIndex(0, 1, 1), 0);
    EXPECT_EQ(keyboard.GetCellIndex(6, 1, 1), 0);
    EXPECT_EQ(keyboard.GetCellIndex(1, 0, 1), 0);
    EXPECT_EQ(keyboard.GetCellIndex(1, 9, 1), 0);
    EXPECT_EQ(keyboard.GetCellIndex(1, 1, 4), 0);

    Zq2200Keyboard two(2);
    EXPECT_EQ(two.GetCellIndex(1, 1, 3), 0);
    UsbKeyCell* cell = nullptr;
    EXPECT_FALSE(two.LookupCell(81, &cell));
    EXPECT_FALSE(two.LookupCell(0, &cell));
    EXPECT_FALSE(two.LookupCell(121, &cell));

    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    ASSERT_TRUE(keyboard.GetCellPosition(53, &column, &row, &layout));
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(layout, 2);
}

TEST(UsbKeyboardCommon, NextAndPreviousKeyWrapInReadingOrder)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetCurrentPosition(5, 8));
    ASSERT_TRUE(keyboard.MoveToNextKey());
    GridPoint point = 0;
    keyboard.GetCurrentPosition(&point);
    EXPECT_EQ(point, MakeGridPoint(1, 1));

    ASSERT_TRUE(keyboard.SetCurrentPosition(5, 3));
    ASSERT_TRUE(keyboard.MoveToNextKey());
    keyboard.GetCurrentPosition(&point);
    EXPECT_EQ(point, MakeGridPoint(1, 4));

    ASSERT_TRUE(keyboard.SetCurrentPosition(1, 1));
    ASSERT_TRUE(keyboard.MoveToPreviousKey());
    keyboard.GetCurrentPosition(&point);
    EXPECT_EQ(point, MakeGridPoint(5, 8));
}

TEST(UsbKeyboardCommon, LayoutLimitOnlyForSingleKeysFreeInEveryLayout)
{
    Zq2200Keyboard keyboard(3);
    UsbKeyCell* free = CellAt(keyboard, 2, 2, 1);
    ASSERT_TRUE(keyboard.UpdateCell(free));
    EXPECT_EQ(free->GetLayoutLimit(), 3);

    ASSERT_TRUE(keyboard.SetKeyTexts("B", "M1,S+,K0x05", 3, 2, 3));
    UsbKeyCell* blocked = CellAt(keyboard, 3, 2, 1);
    ASSERT_TRUE(keyboard.UpdateCell(blocked));
    EXPECT_EQ(blocked->GetLayoutLimit(), 0);

    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    UsbKeyCell* wide = CellAt(keyboard, 1, 1, 1);
    ASSERT_TRUE(keyboard.UpdateCell(wide));
    EXPECT_EQ(wide->GetLayoutLimit(), 0);
    EXPECT_FALSE(keyboard.IsValidKeyTexts("L2", 1, 1, 1));
    EXPECT_FALSE(keyboard.UpdateCell(nullptr));

    Zq2200Keyboard single(1);
    UsbKeyCell* alone = CellAt(single, 1, 1, 1);
    ASSERT_TRUE(single.UpdateCell(alone));
    EXPECT_EQ(alone->GetLayoutLimit(), 0);
}

TEST(UsbKeyboardCommon, LayoutSwitchKeyIsSharedByEveryLayout)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("Go", "L2", 2, 2, 2));
    for (uint8_t layout = 1; layout <= 3; ++layout) {
        EXPECT_EQ(CodesAt(keyboard, 2, 2, layout), "L2,S+") << int(layout);
        EXPECT_TRUE(CellAt(keyboard, 2, 2, layout)->IsLayoutSwitch());
    }
    EXPECT_TRUE(keyboard.IsSameKey(2, 2, 2, 2, 1, 3));

    // Replacing the switch key releases the other layouts.
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 2, 2, 1));
    EXPECT_FALSE(keyboard.IsSameKey(2, 2, 2, 2, 1, 2));
    EXPECT_FALSE(CellAt(keyboard, 2, 2, 2)->IsProgrammed());
    EXPECT_EQ(CodesAt(keyboard, 2, 2, 1), "M1,S+,K0x04");
}

TEST(UsbKeyboardCommon, KeyTypeBackAndForthKeepsOwnProgrammingOnly)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetCurrentLayout(2));
    ASSERT_TRUE(keyboard.SetKeyTexts("Sw", "M1,S+,K0x04", 4, 1, 2));
    ASSERT_TRUE(keyboard.UpdateCell(CellAt(keyboard, 4, 1, 2)));
    ASSERT_TRUE(keyboard.SetKeyType(4, 1, 6)); // switch to layout 3
    for (uint8_t layout = 1; layout <= 3; ++layout) {
        EXPECT_TRUE(CellAt(keyboard, 4, 1, layout)->IsLayoutSwitch()) << int(layout);
    }

    ASSERT_TRUE(keyboard.SetKeyType(4, 1, kUsbKeyTypeNormal));
    UsbKeyCell* own = CellAt(keyboard, 4, 1, 2);
    EXPECT_EQ(own->GetName(), "Sw");
    EXPECT_EQ(own->GetKeyType(), kUsbKeyTypeNormal);
    for (uint8_t layout : {1, 3}) {
        UsbKeyCell* other = CellAt(keyboard, 4, 1, layout);
        EXPECT_FALSE(other->IsProgrammed()) << int(layout);
        EXPECT_FALSE(other->IsMerged()) << int(layout);
        EXPECT_FALSE(other->IsLayoutSwitch()) << int(layout);
    }
    // A type the cell refuses is reported as refused.
    EXPECT_FALSE(keyboard.SetKeyType(4, 1, 0));
}

TEST(UsbKeyboardCommon, WouldLoseProgrammingComparesRetypedCopy)
{
    Zq2200Keyboard keyboard(2);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("S", "M1,S+,K0xE1,K0x04", 2, 1, 1));
    EXPECT_TRUE(keyboard.WouldLoseProgramming(1, 1, kUsbKeyTypeModifier));
    EXPECT_FALSE(keyboard.WouldLoseProgramming(2, 1, kUsbKeyTypeModifier));
    EXPECT_TRUE(keyboard.WouldLoseProgramming(1, 1, kUsbKeyTypeNextLayout));
    EXPECT_FALSE(keyboard.WouldLoseProgramming(3, 1, kUsbKeyTypeNextLayout));
    // The check works on a copy.
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");
}

TEST(UsbKeyboardCommon, EditCopyOfMergedKeyWritesBackToMaster)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));

    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard.BeginEditCell(2, 1, &copy, 1));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetMaster(), copy);
    EXPECT_EQ(copy->GetName(), "A");
    ASSERT_TRUE(copy->ParseCodesText("M1,S+,K0x05"));
    copy->SetName("B");
    // A validity check in between must leave the registered copy alone.
    EXPECT_TRUE(keyboard.IsValidKeyTexts("M1,K0x06", 3, 3, 1));

    KeyCell* stranger = CellAt(keyboard, 1, 1, 1);
    EXPECT_FALSE(keyboard.EndEditCell(&stranger));
    ASSERT_TRUE(keyboard.EndEditCell(&copy));
    EXPECT_EQ(copy, nullptr);
    std::string name;
    std::string codes;
    ASSERT_TRUE(keyboard.GetKeyTexts(&name, &codes, 1, 1, 1));
    EXPECT_EQ(name, "B");
    EXPECT_EQ(codes, "M1,S+,K0x05");
    EXPECT_TRUE(keyboard.IsSameKey(1, 1, 2, 1, 1, 1));

    std::unique_ptr<KeyCell> owned;
    ASSERT_TRUE(keyboard.BeginEditCell(0, 0, &owned, 0));
    EXPECT_FALSE(owned->IsProgrammed());
    KeyCell* scratch = owned.get();
    EXPECT_FALSE(keyboard.EndEditCell(&scratch));
}

TEST(UsbKeyboardCommon, EditCopyFollowsItsKeyThroughConversions)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard.BeginEditCell(1, 1, &copy, 1));
    ASSERT_TRUE(copy->ParseCodesText("M1,S+,K0x05"));
    bool changed = false;
    keyboard.Convert(2, &changed); // the key moves to layout 3
    ASSERT_TRUE(changed);
    ASSERT_TRUE(keyboard.EndEditCell(&copy));
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 3), "M1,S+,K0x05");
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "");

    // A key whose layout was dropped takes no edit, not even when the layout comes back.
    ASSERT_TRUE(keyboard.BeginEditCell(1, 1, &copy, 3));
    ASSERT_TRUE(copy->ParseCodesText("M1,S+,K0x06"));
    keyboard.Convert(5, &changed);
    keyboard.Convert(6, &changed);
    EXPECT_FALSE(keyboard.EndEditCell(&copy));
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 3), "");
}

TEST(UsbKeyboardCommon, ContentSignatureHoldsTheFileKeyLines)
{
    Zq2200Keyboard keyboard(2);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Go", "L0", 5, 8, 2));
    const std::string before = keyboard.GetContentSignature();

    EXPECT_NE(before.find("1:G2,M1,S+,K0x04,N=A\r\n3:M1,S+,N=Key_3\r\n"), std::string::npos);
    EXPECT_EQ(before.find("\r\n2:"), std::string::npos);
    EXPECT_NE(before.find("\r\n40:L0,S+,N=Go\r\n"), std::string::npos);
    EXPECT_EQ(before.find("\r\n80:"), std::string::npos);

    ASSERT_TRUE(keyboard.SetKeyTexts("a", "M1,S+,K0x04", 1, 1, 1));
    EXPECT_NE(keyboard.GetContentSignature(), before);

    uint8_t shape = 9;
    EXPECT_TRUE(keyboard.IsSkippedOnSave(2, 1, 1, nullptr, &shape));
    EXPECT_FALSE(keyboard.IsSkippedOnSave(1, 1, 1, nullptr, &shape));
    EXPECT_EQ(shape, 2);
}

TEST(UsbKeyboardCommon, LeftSideSwitchKeyIsPartOfTheSignature)
{
    Zq3300Keyboard keyboard(true, 2);
    ASSERT_TRUE(keyboard.SetKeyTexts("L", "L2", 1, 1, 2));
    const std::string before = keyboard.GetContentSignature();
    ASSERT_TRUE(keyboard.SetKeyTexts("L", "L1", 1, 1, 2));
    EXPECT_NE(keyboard.GetContentSignature(), before);
}

TEST(UsbKeyboardCommon, CodeEntryLabels)
{
    Zq2200Keyboard keyboard(1);
    EXPECT_EQ(keyboard.GetCodeEntryLabel(0), "Modificator");
    EXPECT_EQ(keyboard.GetCodeEntryLabel(1), "Key");
    EXPECT_EQ(keyboard.GetAffixStyle(), 2);
}

// The editor clears a programmed key before retyping it; the switch types must still be offered.
TEST(UsbKeyTypeChange, ClearedKeyBecomesEveryLayoutSwitchTypeAndKeepsItsName)
{
    Zq2200Keyboard zq2200(3);
    Zq3300Keyboard zq3300Double(true, 2);
    Zq3300Keyboard zq3300Single(false, 2);
    for (UsbKeyboardCommon* keyboard :
         {static_cast<UsbKeyboardCommon*>(&zq2200), static_cast<UsbKeyboardCommon*>(&zq3300Double),
          static_cast<UsbKeyboardCommon*>(&zq3300Single)}) {
        const uint8_t switchTypes = keyboard->GetLayoutsPerSide();
        for (uint8_t type = kUsbKeyTypeNextLayout + 1; type <= kUsbKeyTypeNextLayout + switchTypes; ++type) {
            ASSERT_TRUE(keyboard->SetKeyTexts("Total", "M1,S+,K0x04", 2, 3, 1));
            EXPECT_TRUE(keyboard->WouldLoseProgramming(2, 3, type));
            UsbKeyCell* cell = CellAt(*keyboard, 2, 3, 1);
            const std::string name = cell->GetName();
            ASSERT_TRUE(keyboard->ClearKey(2, 3));
            cell->SetName(name);
            EXPECT_TRUE(keyboard->SetKeyType(2, 3, type)) << keyboard->GetTypeName() << " type " << int(type);
            EXPECT_TRUE(cell->IsLayoutSwitch()) << keyboard->GetTypeName() << " type " << int(type);
            EXPECT_EQ(cell->GetName(), "Total");
            EXPECT_EQ(CodesAt(*keyboard, 2, 3, 1)
                          .rfind("L" + std::to_string(type - kUsbKeyTypeNextLayout) + ",", 0),
                      0u);
        }
    }
}
