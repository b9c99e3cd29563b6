#include "editor/KeyEditSession.h"

#include "model/KeyCell.h"
#include "model/KeyMessage.h"
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
}

} // namespace
