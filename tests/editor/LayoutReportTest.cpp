// The layout report's rows: one per programmed key, in readable words.
#include "editor/LayoutReport.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(LayoutReportTest, OneRowPerKeyWithShapeAndReadableCodes)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200Three);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_TRUE(keyboard->SetKeyTexts("Total", "M1,S+,K0x28", MakeGridPoint(4, 5), 1));
    ASSERT_TRUE(keyboard->ChangeShape(MakeGridPoint(4, 5), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    ASSERT_TRUE(keyboard->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(3, 1), 1));
    ASSERT_TRUE(keyboard->SetKeyTexts("Iced", "M1,S+,K0x68", MakeGridPoint(2, 2), 3));

    const std::vector<ReportLayout> layouts = CollectReportLayouts(*keyboard);
    ASSERT_EQ(layouts.size(), keyboard->GetLayoutCount());
    ASSERT_EQ(layouts[0].keys.size(), 2u);
    EXPECT_EQ(layouts[0].keys[0].name, "Coffee");
    EXPECT_EQ(layouts[0].keys[0].number, keyboard->GetCellIndex(MakeGridPoint(3, 1), 1));
    EXPECT_EQ(layouts[0].keys[0].shape, KeyShape::Single);
    EXPECT_NE(layouts[0].keys[0].codes.find('C'), std::string::npos) << layouts[0].keys[0].codes;
    EXPECT_EQ(layouts[0].keys[1].name, "Total");
    EXPECT_EQ(layouts[0].keys[1].shape, KeyShape::Quad);
    EXPECT_EQ(layouts[0].keys[1].codes.find("0x"), std::string::npos) << layouts[0].keys[1].codes;
    EXPECT_TRUE(layouts[1].keys.empty());
    ASSERT_EQ(layouts[2].keys.size(), 1u);
    EXPECT_FALSE(layouts[0].name.empty());
}

TEST(LayoutReportTest, OptionsInWords)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200Three);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_TRUE(keyboard->SetRfidDigits(12));
    bool found = false;
    for (const auto& [label, value] : GetReportOptions(*keyboard)) {
        EXPECT_FALSE(label.empty());
        EXPECT_NE(label.back(), ':');
        found = found || value == "12";
    }
    EXPECT_TRUE(found);
}

} // namespace
