// Native key events through the key table and the hook state into real cells: the codes that
// end up in a key are those the key tables list for the keys pressed.
#include "editor/KeyCaptureState.h"
#include "editor/NativeKeyTable.h"
#include "model/AffixKeyCell.h"
#include "model/LegacyKeyCell.h"
#include "model/ModelTestHelpers.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// evdev codes
constexpr int kA = 30;
constexpr int kLeftShift = 42;
constexpr int kRightCtrl = 97;
constexpr int kHome = 102;
constexpr int kUp = 103;
constexpr int kNumPad8 = 72;
constexpr int kPause = 119;
constexpr int kPrintScreen = 99;
constexpr int kNumLock = 69;

// Presses as evdev codes, releases as their negatives. Every event reaches the cell as the editor
// window would see it: forwarded by the hook, or else as the window's ordinary key message (the
// way a modifier's release and Num Lock arrive).
void Type(KeyCaptureState& state, KeyCell& cell, const std::vector<int>& events)
{
    for (int event : events) {
        const bool released = event < 0;
        NativeKey key;
        ASSERT_TRUE(NativeKeyTable::FindByEvdevCode(released ? -event : event, &key)) << event;
        const KeyHookResult result = state.ProcessKeyEvent(
            KeyHookEvent{key.virtualKey, key.GetScanCode(), key.IsExtended(), released, true});
        KeyMessage message = result.message;
        if (result.action == KeyHookAction::PassOn) {
            message = released ? MakeKeyUpMessage(key.virtualKey, key.set1Code, KeyMessageKeyUp)
                               : MakeKeyDownMessage(key.virtualKey, key.set1Code, 0, KeyMessageKeyDown);
        }
        ASSERT_NE(result.action, KeyHookAction::Drop);
        bool handled = false;
        EXPECT_TRUE(cell.HandleKeyMessage(message, cell.GetCodeCount() + 1, &handled));
    }
}

struct Capture
{
    const char* what;
    std::vector<int> events;
    std::vector<uint32_t> legacy; // set-2 bytes
    std::vector<uint32_t> usb;    // usages
};

std::ostream& operator<<(std::ostream& out, const Capture& capture)
{
    return out << capture.what;
}

class CapturedCodes : public testing::TestWithParam<Capture>
{
};

} // namespace

TEST_P(CapturedCodes, LegacyCell)
{
    KeyCaptureState state;
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    Type(state, cell, GetParam().events);
    EXPECT_EQ(Codes(cell), GetParam().legacy);
}

TEST_P(CapturedCodes, UsbCell)
{
    KeyCaptureState state;
    UsbKeyCell cell(1, 1, 1, 1, 16);
    Type(state, cell, GetParam().events);
    EXPECT_EQ(Codes(cell), GetParam().usb);
}

// The legacy table has no set-1 code for Pause and Print Screen (only their set-2 bytes), so a
// legacy key records nothing for them rather than a wrong key.
INSTANTIATE_TEST_SUITE_P(
    Keys, CapturedCodes,
    testing::Values(
        Capture{"a", {kA, -kA}, {0x1C}, {0x70004}},
        Capture{"Shift+a", {kLeftShift, kA, -kA, -kLeftShift}, {0x12, 0x1C}, {0x700E1, 0x70004, 0x700F1}},
        Capture{"Up", {kUp, -kUp}, {0xE0, 0x75}, {0x70052}},
        Capture{"NumPad 8", {kNumPad8, -kNumPad8}, {0x75}, {0x70060}},
        Capture{"Right Ctrl+Home",
                {kRightCtrl, kHome, -kHome, -kRightCtrl},
                {0xE0, 0x14, 0xE0, 0x6C},
                {0x700E4, 0x7004A, 0x700F4}},
        Capture{"Pause", {kPause, -kPause}, {}, {0x70048}},
        Capture{"Print Screen", {kPrintScreen, -kPrintScreen}, {}, {0x70046}},
        Capture{"Num Lock", {kNumLock, -kNumLock}, {0x77}, {0x70053}}));

TEST(AffixCapture, ShiftAndAFillTheAffixWhenAIsReleased)
{
    KeyCaptureState state;
    AffixKeyCell cell;
    Type(state, cell, {kLeftShift, kA});
    EXPECT_FALSE(cell.IsEnterHeld());
    Type(state, cell, {-kA, -kLeftShift});
    EXPECT_TRUE(cell.IsEnterHeld());
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0x700E1, 0x70004}));
}
