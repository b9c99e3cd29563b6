#include "editor/KeyCaptureState.h"
#include "editor/ContextMenuRules.h"
#include "editor/VirtualKeys.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kScanA = 0x1E;

KeyHookEvent Press(uint8_t virtualKey, uint32_t scanCode, bool extended = false, bool focus = true)
{
    return KeyHookEvent{virtualKey, scanCode, extended, false, focus};
}

KeyHookEvent Release(uint8_t virtualKey, uint32_t scanCode, bool extended = false, bool focus = true)
{
    return KeyHookEvent{virtualKey, scanCode, extended, true, focus};
}

// One event and what the editor must see of it; message 0 means not forwarded.
struct Step
{
    KeyHookEvent event;
    uint32_t message;
    uint32_t lParam;
    uint8_t modifiersAfter;
};

void RunSteps(const std::vector<Step>& steps)
{
    KeyCaptureState state;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i);
        const KeyHookResult result = state.ProcessKeyEvent(step.event);
        if (step.message == 0) {
            EXPECT_EQ(result.action, KeyHookAction::PassOn);
        } else {
            ASSERT_EQ(result.action, KeyHookAction::Forward);
            EXPECT_EQ(result.message.message, step.message);
            EXPECT_EQ(result.message.wParam, step.event.virtualKey);
            EXPECT_EQ(result.message.lParam, step.lParam);
        }
        EXPECT_EQ(state.GetModifierState(), step.modifiersAfter);
    }
}

} // namespace

TEST(KeyCaptureState, HeldLetterCountsItsRepeatsIntoTheRelease)
{
    RunSteps({
        {Press(VkA, kScanA), 1034, 0x001E0000, 0},
        {Press(VkA, kScanA), 1034, 0x401E0001, 0},
        {Press(VkA, kScanA), 1034, 0x401E0002, 0},
        {Press(VkA, kScanA), 1034, 0x401E0003, 0},
        {Release(VkA, kScanA), 1035, 0xC01E0004, 0},
        // Pressed afresh: the counter starts again.
        {Press(VkA, kScanA), 1034, 0x001E0000, 0},
        {Release(VkA, kScanA), 1035, 0xC01E0001, 0},
        // A release without a press seen: no count, no previous state.
        {Release(VkA, kScanA), 1035, 0x801E0000, 0},
    });
}

TEST(KeyCaptureState, ModifierPressesAreForwardedTheirReleasesOnlyTracked)
{
    RunSteps({
        {Press(VkLeftShift, 0x2A), 1034, 0x002A0000, ModLeftShift},
        {Press(VkLeftShift, 0x2A), 1034, 0x402A0001, ModLeftShift},
        {Press(VkA, kScanA), 1034, 0x001E0000, ModLeftShift},
        {Release(VkA, kScanA), 1035, 0xC01E0001, ModLeftShift},
        {Release(VkLeftShift, 0x2A), 0, 0, 0},
        {Press(VkRightControl, 0x1D, true), 1034, 0x011D0000, ModRightCtrl},
        {Press(VkLeftWindows, 0x5B, true), 1034, 0x015B0000, ModRightCtrl | ModLeftWindows},
        {Press(VkRightWindows, 0x5C, true), 1034, 0x015C0000,
         ModRightCtrl | ModLeftWindows | ModRightWindows},
        {Press(VkRightShift, 0x36), 1034, 0x00360000,
         ModRightCtrl | ModLeftWindows | ModRightWindows | ModRightShift},
        {Release(VkRightControl, 0x1D, true), 0, 0, ModLeftWindows | ModRightWindows | ModRightShift},
        {Release(VkLeftWindows, 0x5B, true), 0, 0, ModRightWindows | ModRightShift},
        {Release(VkRightWindows, 0x5C, true), 0, 0, ModRightShift},
        {Release(VkRightShift, 0x36), 0, 0, 0},
        {Press(VkLeftControl, 0x1D), 1034, 0x001D0000, ModLeftCtrl},
        {Release(VkLeftControl, 0x1D), 0, 0, 0},
        // Pressed again after a release the editor did not see: a first press, count 0.
        {Press(VkLeftShift, 0x2A), 1034, 0x002A0000, ModLeftShift},
    });
}

// Alt+Tab: both Alt keys set the Alt-down bit for themselves and for what is pressed with them.
TEST(KeyCaptureState, AltKeysMarkTheKeyDataWhileDown)
{
    RunSteps({
        {Press(VkLeftAlt, 0x38), 1034, 0x20380000, ModLeftAlt},
        {Press(VkTab, 0x0F), 1034, 0x200F0000, ModLeftAlt},
        {Release(VkTab, 0x0F), 1035, 0xE00F0001, ModLeftAlt},
        {Release(VkLeftAlt, 0x38), 0, 0, 0},
        {Press(VkRightAlt, 0x38, true), 1034, 0x21380000, ModRightAlt},
        {Release(VkRightAlt, 0x38, true), 0, 0, 0},
        {Release(VkTab, 0x0F), 1035, 0x800F0000, 0},
    });
}

TEST(KeyCaptureState, NumLockIsNeverForwardedButTracked)
{
    KeyCaptureState state;
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkNumLock, 0x45, true)).action, KeyHookAction::PassOn);
    EXPECT_TRUE(state.IsKeyDown(VkNumLock));
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkNumLock, 0x45, true)).action, KeyHookAction::PassOn);
    EXPECT_EQ(state.ProcessKeyEvent(Release(VkNumLock, 0x45, true)).action, KeyHookAction::PassOn);
    EXPECT_FALSE(state.IsKeyDown(VkNumLock));
    // Pause shares the scan code and is forwarded.
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkPause, 0x45)).message.lParam, 0x00450000u);
}

TEST(KeyCaptureState, OtherProcessesAreTrackedNeverForwarded)
{
    KeyCaptureState state;
    for (const KeyHookEvent& event : {Press(VkLeftShift, 0x2A, false, false),
                                      Press(VkA, kScanA, false, false), Press(VkA, kScanA, false, false)}) {
        EXPECT_EQ(state.ProcessKeyEvent(event).action, KeyHookAction::PassOn);
    }
    EXPECT_EQ(state.GetModifierState(), ModLeftShift);
    EXPECT_EQ(state.GetRepeatCount(VkA), 0u);
    // The focus comes back while A is held: the editor sees a repeat.
    const KeyHookResult repeat = state.ProcessKeyEvent(Press(VkA, kScanA));
    EXPECT_EQ(repeat.action, KeyHookAction::Forward);
    EXPECT_EQ(repeat.message.lParam, 0x401E0001u);
    EXPECT_EQ(state.ProcessKeyEvent(Release(VkLeftShift, 0x2A, false, false)).action, KeyHookAction::PassOn);
    EXPECT_EQ(state.GetModifierState(), 0);
}

// Scan codes wider than the key data's byte are swallowed in the editor and ignored elsewhere;
// neither touches the table.
TEST(KeyCaptureState, WideScanCodes)
{
    KeyCaptureState state;
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkLeftControl, 0x21D)).action, KeyHookAction::Drop);
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkLeftControl, 0x21D, false, false)).action, KeyHookAction::PassOn);
    EXPECT_EQ(state.GetModifierState(), 0);
    EXPECT_EQ(state.ProcessKeyEvent(Press(VkLeftControl, 0x1D)).action, KeyHookAction::Forward);
    EXPECT_EQ(state.ProcessKeyEvent(Release(VkLeftControl, 0x21D)).action, KeyHookAction::Drop);
    EXPECT_EQ(state.GetModifierState(), ModLeftCtrl);
}

TEST(KeyCaptureState, LongHoldKeepsTheScanCode)
{
    KeyCaptureState state;
    state.ProcessKeyEvent(Press(VkA, kScanA));
    KeyHookResult result;
    for (int i = 0; i < 70000; ++i) {
        result = state.ProcessKeyEvent(Press(VkA, kScanA));
    }
    EXPECT_EQ(state.GetRepeatCount(VkA), 70000u);
    EXPECT_EQ(result.message.lParam, 0x401EFFFFu);
    EXPECT_EQ(result.message.GetSet1Code() & 0x1FF, kScanA);
}

TEST(KeyCaptureState, KeysReleasedElsewhereAreUpAgainAndHeldOnesStayRepeats)
{
    KeyCaptureState state;
    state.ProcessKeyEvent(Press(VkLeftShift, 0x2A));
    state.ProcessKeyEvent(Press(VkA, kScanA));
    state.ProcessKeyEvent(Press(VkA, kScanA));
    // Shift came up while a dialog had the focus; A is still held.
    std::bitset<256> held;
    held[VkA] = true;
    state.ForgetReleasedKeys(held);
    EXPECT_EQ(state.GetModifierState(), 0);

    const KeyHookResult shift = state.ProcessKeyEvent(Press(VkLeftShift, 0x2A));
    EXPECT_EQ(shift.message.lParam, 0x002A0000u) << "a first press, not a repeat";
    const KeyHookResult letter = state.ProcessKeyEvent(Press(VkA, kScanA));
    EXPECT_EQ(letter.message.lParam, 0x401E0002u) << "still the same hold";
}
