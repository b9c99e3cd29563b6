// Edit > Find key: keys by name or by a code they send, stepping round the layouts.
#include "editor/KeyFinder.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Found by argument-dependent lookup, so outside the anonymous namespace.
void PrintTo(const FoundKey& key, std::ostream* out);
void PrintTo(const FoundKey& key, std::ostream* out)
{
    *out << "layout " << int(key.layout) << " (" << GridColumn(key.point) << ", " << GridRow(key.point)
         << ")";
}

namespace {

FoundKey At(uint8_t layout, uint16_t column, uint16_t row)
{
    return FoundKey{layout, MakeGridPoint(column, row)};
}

class KeyFinder : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_keyboard, nullptr);
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(3, 1), 1));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Total", "M1,S+,K0xE1,K0x28,K0xF1", MakeGridPoint(4, 7), 1));
        // One key of four cells: found once.
        ASSERT_TRUE(
            m_keyboard->ChangeShape(MakeGridPoint(4, 7), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Iced coffee", "M1,S+,K0x68", MakeGridPoint(2, 2), 2));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Enter", "M1,S+,K0x58", MakeGridPoint(1, 1), 3));
    }
    std::vector<FoundKey> Find(const std::string& text) { return FindKeys(*m_keyboard, text); }

    std::unique_ptr<Keyboard> m_keyboard = CreateKeyboard(kTypeZq2200Three);
};

} // namespace

TEST_F(KeyFinder, ByNameAnyCaseAcrossLayouts)
{
    EXPECT_EQ(Find("COFFEE"), (std::vector<FoundKey>{At(1, 3, 1), At(2, 2, 2)}));
    EXPECT_EQ(Find("  tot "), (std::vector<FoundKey>{At(1, 4, 7)}));
    EXPECT_TRUE(Find("").empty());
    EXPECT_TRUE(Find("tea").empty());
}

TEST_F(KeyFinder, ByACodeItSends)
{
    EXPECT_EQ(Find("f13"), (std::vector<FoundKey>{At(2, 2, 2)}));
    EXPECT_EQ(Find("7:68"), (std::vector<FoundKey>{At(2, 2, 2)}));
    EXPECT_EQ(Find("0x28"), (std::vector<FoundKey>{At(1, 4, 7)}));
    // The code Enter, and the key named Enter that sends NumPad_Enter.
    EXPECT_EQ(Find("enter"), (std::vector<FoundKey>{At(1, 4, 7), At(3, 1, 1)}));
    EXPECT_EQ(Find("return"), (std::vector<FoundKey>{At(1, 4, 7)}));
    // A part of a code's name finds no key: "f1" is no code F13 sends.
    EXPECT_TRUE(Find("f1").empty());
}

TEST_F(KeyFinder, StepsRoundTheMatchesBothWays)
{
    const std::vector<FoundKey> found = Find("coffee");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(StepFoundKeys(found, At(1, 1, 1), true), 0);
    EXPECT_EQ(StepFoundKeys(found, At(1, 3, 1), true), 1);
    EXPECT_EQ(StepFoundKeys(found, At(3, 1, 1), true), 0);
    EXPECT_EQ(StepFoundKeys(found, At(1, 3, 1), false), 1);
    EXPECT_EQ(StepFoundKeys(found, At(2, 5, 5), false), 1);
    EXPECT_EQ(StepFoundKeys(found, At(2, 2, 2), false), 0);
    EXPECT_EQ(StepFoundKeys({}, At(1, 1, 1), true), -1);
}
