#include "model/LegacyKeyCell.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

TEST(KeyCell, DefaultNameAndModification)
{
    UsbKeyCell cell(12, 1, 1, 1, 16);
    EXPECT_EQ(cell.GetName(), "Key_12");
    EXPECT_EQ(cell.GetDefaultName(), "Key_12");
    EXPECT_FALSE(cell.IsModified());
    cell.SetName("key_12");
    EXPECT_TRUE(cell.IsModified()); // letter case counts
    cell.SetName("Key_12");
    cell.ParseCodesText("M1,S-");
    EXPECT_TRUE(cell.IsModified());
}

TEST(KeyCell, SetMasterNeedsANeighbourOrTheSamePlaceElsewhere)
{
    UsbKeyCell cell(1, 3, 2, 1, 16);
    struct Case
    {
        uint16_t column;
        uint16_t row;
        uint8_t layout;
        bool accepted;
    };
    const Case cases[] = {
        {5, 2, 1, false}, {4, 3, 1, true},  {2, 1, 1, true},  {3, 4, 1, false},
        {3, 2, 2, true},  {4, 2, 2, false}, {3, 1, 3, false},
    };
    for (const Case& c : cases) {
        UsbKeyCell other(2, c.column, c.row, c.layout, 16);
        cell.SetMaster(nullptr);
        EXPECT_EQ(cell.SetMaster(&other), c.accepted) << c.column << "," << c.row << "," << int(c.layout);
        EXPECT_EQ(cell.IsMerged(), c.accepted);
    }
    EXPECT_TRUE(cell.SetMaster(&cell));
    EXPECT_EQ(cell.GetMaster(), &cell);
    EXPECT_TRUE(cell.SetMaster(nullptr));
    EXPECT_FALSE(cell.IsMerged());
}

TEST(KeyCell, LinkedCellsForwardToTheirMaster)
{
    LegacyKeyCell master(1, 1, 1, 1, 16);
    LegacyKeyCell part(2, 2, 1, 1, 16);
    master.SetMaster(&master);
    ASSERT_TRUE(part.SetMaster(&master));
    EXPECT_TRUE(part.ParseCodesText("I28; 6"));
    EXPECT_EQ(master.GetCodeCount(), 1);
    EXPECT_TRUE(part.SetName("Both"));
    EXPECT_EQ(master.GetName(), "Both");
    EXPECT_EQ(part.GetCodeDisplayText(1), " A ");
    EXPECT_EQ(part.FormatCodesText(0), "I28; 7");
    EXPECT_TRUE(part.IsSameKeyAs(&master));
    EXPECT_EQ(part.GetKeyNumber(), 2);

    bool handled = false;
    part.HandleKeyMessage(MakeKeyDownMessage(0x42, 0x30), 2, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(master.GetCodeCount(), 2);

    // A copy takes the master's programming and place, and its link.
    std::unique_ptr<KeyCell> copy = part.Clone();
    ASSERT_NE(dynamic_cast<LegacyKeyCell*>(copy.get()), nullptr);
    EXPECT_EQ(copy->GetKeyNumber(), 1);
    EXPECT_EQ(copy->GetMaster(), &master);
    copy->SetMaster(copy.get());
    EXPECT_EQ(copy->FormatCodesText(0), "I28, 50; 7");
    EXPECT_EQ(copy->GetName(), "Both");
    copy->ParseCodesText("I33; 6");
    EXPECT_EQ(master.GetCodeCount(), 2);
}

TEST(KeyCell, ForwardingIsOneLevelEvenThroughACycle)
{
    UsbKeyCell first(1, 1, 1, 1, 16);
    UsbKeyCell second(2, 2, 1, 1, 16);
    UsbKeyCell third(3, 3, 1, 1, 16);
    ASSERT_TRUE(first.SetMaster(&second));
    ASSERT_TRUE(second.SetMaster(&first));
    // Each answers with the other's programming, and no call goes round the cycle.
    second.ParseCodesText("M1,K4");
    EXPECT_EQ(second.GetCodeCount(), 1);
    EXPECT_EQ(first.GetCodeCount(), 0);
    EXPECT_TRUE(first.Clear(true, false));
    ASSERT_TRUE(second.SetMaster(&third));
    third.ParseCodesText("M1,K4,K5");
    EXPECT_EQ(first.GetCodeCount(), 0); // second answers, not third
}

TEST(KeyCell, CopyOfUsbCellKeepsLayoutLimitAndTakesOwnSnapshot)
{
    UsbKeyCell cell(4, 2, 2, 1, 16);
    cell.SetLayoutLimit(3);
    cell.ParseCodesText("L3,S+,N=Layout 3");
    UsbKeyCell copy(cell);
    EXPECT_EQ(copy.GetLayoutLimit(), 3);
    EXPECT_EQ(copy.GetKeyType(), 6);
    EXPECT_EQ(copy.FormatCodesText(1), "L3,S+,N=Layout 3");
    EXPECT_TRUE(copy.IsModified()); // by its name only
    copy.SetName(copy.GetDefaultName());
    EXPECT_FALSE(copy.IsModified());
}
