#include "editor/ContextMenuRules.h"

#include "editor/EditorCommands.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/Zq2200Keyboard.h"

#include "KeyCells.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr const char* kCodes = "M1,S+,K0x04";

std::set<uint16_t> Enabled(const KeyMenuState& state, std::initializer_list<uint16_t> commands)
{
    std::set<uint16_t> enabled;
    for (const uint16_t command : commands) {
        if (state.IsEnabled(command)) {
            enabled.insert(command);
        }
    }
    return enabled;
}

struct KeyCase
{
    const char* name;
    GridPoint key;
    std::set<uint16_t> withoutClipboard; // of the clipboard commands and Single
    bool doublePopup;
    bool cornerQuad;
};

class ContextMenuRulesTest : public ::testing::TestWithParam<KeyCase>
{
protected:
    void SetUp() override
    {
        KeyCell* named = nullptr;
        ASSERT_TRUE(m_keyboard.GetCell(At(1, 8), &named));
        ASSERT_TRUE(named->SetName("Named"));
        ASSERT_TRUE(m_keyboard.SetKeyTexts("Single", kCodes, At(2, 2), 1));
        ASSERT_TRUE(m_keyboard.SetKeyTexts("Double", kCodes, At(3, 1), 1));
        ASSERT_TRUE(m_keyboard.ChangeShape(At(3, 1), ShapeRight, 1));
        ASSERT_TRUE(m_keyboard.SetKeyTexts("Quad", kCodes, At(1, 4), 1));
        ASSERT_TRUE(m_keyboard.ChangeShape(At(1, 4), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    }

    Zq2200Keyboard m_keyboard{1};
};

TEST_P(ContextMenuRulesTest, GraysWhatTheKeyCannotDo)
{
    const KeyCase& test = GetParam();
    const std::initializer_list<uint16_t> commands = {CmdCopy,     CmdCut,    CmdPaste,        CmdSwap,
                                                      CmdClearKey, CmdSingle, CmdPasteFromList};
    const KeyMenuState empty = GetKeyMenuState(m_keyboard, test.key, "", false);
    EXPECT_EQ(Enabled(empty, commands), test.withoutClipboard);
    EXPECT_EQ(empty.doublePopupGrayed, !test.doublePopup);
    EXPECT_EQ(empty.showCornerQuad, test.cornerQuad);

    // Codes on the clipboard can be pasted on any key; swapped only with a programmed one. An entry
    // of the function list can be pasted anywhere.
    const KeyMenuState filled = GetKeyMenuState(m_keyboard, test.key, kCodes, true);
    std::set<uint16_t> expected = test.withoutClipboard;
    expected.insert({CmdPaste, CmdPasteFromList});
    if (test.withoutClipboard.count(CmdCopy) != 0) {
        expected.insert(CmdSwap);
    }
    EXPECT_EQ(Enabled(filled, commands), expected);
    EXPECT_TRUE(filled.IsEnabled(CmdProgramKey));
}

const std::set<uint16_t> kProgrammed = {CmdCopy, CmdCut, CmdClearKey};

INSTANTIATE_TEST_SUITE_P(
    Keys, ContextMenuRulesTest,
    ::testing::Values(KeyCase{"empty", At(5, 8), {}, false, true},
                      // A renamed key without codes can be cleared, as the command would.
                      KeyCase{"named", At(1, 8), {CmdClearKey}, false, true},
                      KeyCase{"single", At(2, 2), kProgrammed, true, true},
                      KeyCase{"double", At(3, 1), {CmdCopy, CmdCut, CmdClearKey, CmdSingle}, false, false},
                      KeyCase{"quad", At(1, 4), {CmdCopy, CmdCut, CmdClearKey, CmdSingle}, true, true}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

} // namespace
