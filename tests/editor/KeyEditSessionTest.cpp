#include "editor/KeyEditSession.h"

#include "model/KeyCell.h"
#include "model/KeyMessage.h"
#include "model/UsbKeyCell.h"
#include "model/Zq2200Keyboard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kVirtualA = 0x41;
constexpr uint32_t kSet1A = 0x1E;

std::string CodesAt(Keyboard& keyboard, GridPoint key)
{
    std::string name;
    std::string codes;
    keyboard.GetKeyTexts(&name, &codes, key, 1);
    return codes;
}

TEST(KeyEditSession, CapturedCodesReachTheKeyOnlyWhenWrittenBack)
{
    Zq2200Keyboard keyboard(1);
    const GridPoint key = MakeGridPoint(1, 1);
    KeyEditSession session;
    EXPECT_FALSE(session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), 1, 0).consumed) << "no edit";
    ASSERT_TRUE(session.Begin(keyboard, key));

    const KeyEditSession::CaptureResult pressed =
        session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), 1, 10);
    EXPECT_TRUE(pressed.consumed);
    EXPECT_EQ(pressed.next, KeyEditSession::Next::ShowCodes);
    EXPECT_EQ(pressed.focusField, 2);
    session.Capture(MakeKeyUpMessage(kVirtualA, kSet1A), 2, 20);
    EXPECT_EQ(CodesAt(keyboard, key), "") << "the key is untouched while it is edited";
    const std::string edited = session.GetEditCell()->FormatCodesText(0);
    EXPECT_FALSE(edited.empty());

    session.Discard();
    EXPECT_FALSE(session.IsEditing());
    EXPECT_EQ(CodesAt(keyboard, key), "");

    ASSERT_TRUE(session.Begin(keyboard, key));
    session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), 1, 30);
    session.Capture(MakeKeyUpMessage(kVirtualA, kSet1A), 2, 40);
    EXPECT_TRUE(session.WriteBack(keyboard));
    EXPECT_FALSE(session.IsEditing());
    EXPECT_EQ(CodesAt(keyboard, key), edited);
}

TEST(KeyEditSession, AFullKeyHandsTheFocusToApply)
{
    Zq2200Keyboard keyboard(1);
    KeyEditSession session;
    ASSERT_TRUE(session.Begin(keyboard, MakeGridPoint(2, 1)));
    KeyEditSession::CaptureResult result;
    uint64_t time = 0;
    for (int pressed = 0;
         pressed < 2 * kCodeFieldCount && session.GetEditCell()->GetCodeCount() < kCodeFieldCount;
         ++pressed) {
        const int field = session.GetEditCell()->GetCodeCount() + 1;
        session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), field, time += 100);
        result = session.Capture(MakeKeyUpMessage(kVirtualA, kSet1A), kHiddenCodeField, time += 100);
    }
    EXPECT_EQ(session.GetEditCell()->GetCodeCount(), kCodeFieldCount);
    EXPECT_EQ(result.next, KeyEditSession::Next::FocusApply);
    EXPECT_EQ(result.refusal, KeyEditSession::Refusal::None) << "a release is never refused";
    // One more press has no room.
    EXPECT_EQ(session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), kHiddenCodeField, time += 100).refusal,
              KeyEditSession::Refusal::Full);
}

TEST(KeyEditSession, AModifierKeyRefusesALetterButTakesAModifier)
{
    constexpr uint32_t kVirtualShift = 0x10;
    constexpr uint32_t kSet1LeftShift = 0x2A;
    Zq2200Keyboard keyboard(1);
    const GridPoint key = MakeGridPoint(1, 1);
    KeyCell* cell = nullptr;
    ASSERT_TRUE(keyboard.GetCell(key, &cell));
    ASSERT_TRUE(cell->SetKeyType(kUsbKeyTypeModifier));
    KeyEditSession session;
    ASSERT_TRUE(session.Begin(keyboard, key));
    const KeyEditSession::CaptureResult letter =
        session.Capture(MakeKeyDownMessage(kVirtualA, kSet1A), 1, 10);
    EXPECT_EQ(letter.refusal, KeyEditSession::Refusal::NotTaken);
    EXPECT_EQ(session.Capture(MakeKeyUpMessage(kVirtualA, kSet1A), 1, 20).refusal,
              KeyEditSession::Refusal::None);
    const KeyEditSession::CaptureResult shift =
        session.Capture(MakeKeyDownMessage(kVirtualShift, kSet1LeftShift), 1, 30);
    EXPECT_EQ(shift.refusal, KeyEditSession::Refusal::None);
    EXPECT_EQ(shift.next, KeyEditSession::Next::ShowCodes);
}

} // namespace
