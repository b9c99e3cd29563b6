#include "editor/NumberRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();

struct Range
{
    int64_t minimum = 0;
    int64_t maximum = 255;
    uint8_t digits = 3;
    bool showZero = false;
};

NumberRules MakeRules(const Range& range)
{
    NumberRules rules;
    EXPECT_TRUE(rules.SetIntegerRange(range.minimum, range.maximum, range.digits, 0, range.showZero));
    return rules;
}

} // namespace

struct InputCase
{
    Range range;
    NumberFieldState start;
    std::vector<const char*> pieces; // typed or pasted one after the other at the caret
    const char* text;
    int caret;
    int refused;
};

class NumberInput : public ::testing::TestWithParam<InputCase>
{
};

TEST_P(NumberInput, RefusedInputLeavesTextAndSelectionAsTheyWere)
{
    const InputCase& c = GetParam();
    const NumberRules rules = MakeRules(c.range);
    NumberFieldState state = c.start;
    int refused = 0;
    for (const char* piece : c.pieces) {
        const NumberFieldEdit edit = rules.InsertText(state, piece);
        refused += edit.accepted ? 0 : 1;
        state = edit.state;
    }
    EXPECT_EQ(refused, c.refused);
    EXPECT_EQ(state.text, c.text);
    EXPECT_EQ(state.caret, c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Typing, NumberInput,
    ::testing::Values(
        InputCase{{}, {"", 0, 0}, {"2", "5", "6"}, "25", 2, 1},
        InputCase{{}, {"255", 3, 3}, {"1"}, "255", 3, 1},
        InputCase{{}, {"25", 2, 2}, {"a", "-", ".", ",", " "}, "25", 2, 5},
        InputCase{{}, {"", 0, 0}, {"0", "0", "4", "2"}, "42", 2, 0},
        InputCase{{}, {"5", 0, 0}, {"0"}, "5", 0, 0}, InputCase{{}, {"", 0, 0}, {"12x"}, "", 0, 1},
        // The input replaces the selection; refused, the selection stays as it was, either way round.
        InputCase{{}, {"255", 3, 1}, {"99"}, "255", 1, 1}, InputCase{{}, {"255", 1, 3}, {"0"}, "20", 2, 0},
        InputCase{{}, {"12", -4, 99}, {"7"}, "7", 1, 0},
        // Below a positive minimum is fine while typing.
        InputCase{{10, 255, 3}, {"", 0, 0}, {"5"}, "5", 1, 0},
        InputCase{{-128, 127, 0}, {"", 0, 0}, {"-", "1", "2", "9"}, "-12", 3, 1}));

struct TextCase
{
    Range range;
    const char* text;
    int loose; // Validate while typing
    int strict;
    const char* normal; // after a focus change
};

class NumberText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(NumberText, ValidatedAndNormalised)
{
    const TextCase& c = GetParam();
    const NumberRules rules = MakeRules(c.range);
    EXPECT_EQ(rules.Validate(c.text, false), c.loose);
    EXPECT_EQ(rules.Validate(c.text, true), c.strict);
    EXPECT_EQ(rules.NormaliseOnFocusChange(c.text), c.normal);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberText,
    ::testing::Values(TextCase{{0, 255, 3, true}, "", 0, 0, "0"}, TextCase{{}, "", 0, 0, ""},
                      TextCase{{}, "0", 0, 0, ""}, TextCase{{0, 255, 3, true}, "007", 0, 0, "7"},
                      TextCase{{}, "256", 1, 1, "255"}, TextCase{{}, "1234", -3, -3, "0"},
                      TextCase{{}, "-1", -3, -3, "0"}, TextCase{{}, "2.5", -3, -3, "0"},
                      TextCase{{10, 255, 3}, "5", 0, -1, "10"}, TextCase{{-128, 127, 0}, "-", 0, 0, ""},
                      TextCase{{-128, 127, 0}, "-200", -1, -1, "-128"},
                      // Numbers past 64 bits are out of range, not wrapped round.
                      TextCase{{0, kMax64, 25}, "99999999999999999999", 1, 1, "9223372036854775807"},
                      TextCase{{kMin64, 0, 25}, "-99999999999999999999", -1, -1, "-9223372036854775808"}));

TEST(NumberRules, RangesAndValueTexts)
{
    NumberRules rules;
    EXPECT_FALSE(rules.SetIntegerRange(5, 4, 3, 0, false));
    EXPECT_FALSE(rules.SetIntegerRange(0, 255, 1, -1, false)); // the locale's 2 decimals
    EXPECT_FALSE(rules.SetIntegerRange(0, 255, 20, 11, false));
    EXPECT_EQ(rules.GetMaximum(), 100);
    ASSERT_TRUE(rules.SetIntegerRange(-1000, 50, 0, 0, true));
    EXPECT_EQ(rules.GetMaxDigits(), 4);
    ASSERT_TRUE(rules.SetIntegerRange(kMin64, kMax64, 0, 0, false));
    EXPECT_EQ(rules.GetMaxDigits(), 19);

    std::string text = "x";
    EXPECT_FALSE(MakeRules({}).FormatIntegerValue(256, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(MakeRules({0, 5000, 3}).FormatIntegerValue(1000, text));
    // The sign takes no digit: the minimum of -128..127 can be shown.
    EXPECT_TRUE(MakeRules({-128, 127, 0}).FormatIntegerValue(-128, text));
    EXPECT_EQ(text, "-128");
    EXPECT_EQ(NumberRules::GetIntegerValue("12x"), 12);
}

TEST(NumberRules, LeadingZerosAndTheSeparator)
{
    NumberRules rules;
    rules.SetDecimalSeparator('.');
    const NumberFieldState state = rules.RemoveLeadingZeros({"0007", 1, 4});
    EXPECT_EQ(state.text + "|" + std::to_string(state.anchor) + "|" + std::to_string(state.caret), "7|0|1");
    EXPECT_EQ(rules.RemoveLeadingZeros({"00.5", 0, 0}).text, "0.5");

    EXPECT_EQ(ChooseDecimalSeparator(",", "."), ',');
    EXPECT_EQ(ChooseDecimalSeparator(".", "."), ',');
    EXPECT_EQ(ChooseDecimalSeparator("", "."), ',');
    EXPECT_EQ(ChooseDecimalSeparator("\xd9\xab", ","), '.'); // Arabic decimal separator
}
