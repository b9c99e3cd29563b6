#include "editor/PanelMode.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Case
{
    const char* name;
    FocusPlace place;
    bool codesEditable;
    bool editing;
    bool defaultApply;
    PanelMode mode;
    std::optional<PanelMode> show;
    EditEnding ending;
};

class PanelModeTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(PanelModeTest, FollowsTheFocus)
{
    const Case& test = GetParam();
    const PanelDecision decision =
        DecidePanelMode(test.place, test.codesEditable, true, test.editing, test.defaultApply);
    EXPECT_EQ(decision.mode, test.mode);
    EXPECT_EQ(decision.show, test.show);
    EXPECT_EQ(decision.ending, test.ending);
}

using enum FocusPlace;
using M = PanelMode;
using E = EditEnding;

INSTANTIATE_TEST_SUITE_P(
    Places, PanelModeTest,
    ::testing::Values(
        // A code field captures while a key is edited, and stays idle before.
        Case{"codeFieldEditing", CodeField, true, true, true, M::CapturingCodes, M::CapturingCodes, E::Keep},
        Case{"codeFieldIdle", CodeField, true, false, true, M::CodeFieldIdle, M::CodeFieldIdle, E::Keep},
        // Codes that may not be edited make a code field any other control.
        Case{"codeFieldLocked", CodeField, false, true, false, M::OtherControl, M::OtherControl, E::End},
        Case{"group", CodesGroup, true, true, true, M::CodeFieldIdle, M::CodeFieldIdle, E::Keep},
        Case{"editButtons", EditButton, true, true, true, M::EditButtons, std::nullopt, E::Keep},
        // Leaving the window keeps or drops the edit by "DefaultApply", and ends nothing else.
        Case{"awayApplies", None, true, true, true, M::NoFocus, std::nullopt, E::Apply},
        Case{"awayDrops", None, true, true, false, M::NoFocus, std::nullopt, E::End},
        Case{"awayIdle", None, true, false, true, M::NoFocus, std::nullopt, E::Keep},
        Case{"prefix", PrefixField, true, true, true, M::PrefixField, std::nullopt, E::ApplyThenEnd},
        Case{"suffix", SuffixField, true, false, true, M::SuffixField, std::nullopt, E::Keep},
        Case{"picture", Picture, true, true, false, M::Picture, M::OtherControl, E::End},
        Case{"keyField", KeyField, true, true, true, M::KeyField, M::OtherControl, E::ApplyThenEnd},
        Case{"other", Other, true, false, true, M::OtherControl, M::OtherControl, E::Keep}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(PanelMode, CodeFieldsOffTheLayoutTabsAreOtherControls)
{
    const PanelDecision decision = DecidePanelMode(FocusPlace::CodeField, true, false, false, true);
    EXPECT_EQ(decision.mode, PanelMode::OtherControl);
}

} // namespace
