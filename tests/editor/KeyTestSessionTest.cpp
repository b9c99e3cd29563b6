// The typing test: recorded key events, through the native key table and the capture path, cut
// into bursts and matched against the programmed keys of the layout on show.
#include "editor/KeyTestSession.h"

#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Beside FoundKey, where the test's printer looks for it.
static void PrintTo(const FoundKey& key, std::ostream* out)
{
    *out << "layout " << int(key.layout) << " (" << GridColumn(key.point) << ", " << GridRow(key.point)
         << ")";
}

namespace {

// evdev codes
constexpr int kA = 30;
constexpr int kB = 48;
constexpr int kC = 46;
constexpr int kE = 18;
constexpr int kT = 20;
constexpr int kM = 50;
constexpr int kZ = 44;
constexpr int kEnter = 28;
constexpr int kLeftShift = 42;
constexpr int kLeftCtrl = 29;
constexpr int kRightCtrl = 97;
// Between two keys of a person: longer than any quiet time.
constexpr int kPause = 0;
constexpr uint64_t kEventStepMs = 15;
constexpr uint64_t kPauseMs = 600;

FoundKey At(uint8_t layout, uint16_t column, uint16_t row)
{
    return FoundKey{layout, MakeGridPoint(column, row)};
}

// Presses as evdev codes, releases as their negatives, kPause for a person's pause. Answers the
// bursts in the order they ended, the last one ended by the quiet time.
std::vector<BurstResult> Type(KeyTestSession& session, const std::vector<int>& events,
                              uint64_t stepMs = kEventStepMs)
{
    static uint64_t time = 1000;
    std::vector<BurstResult> bursts;
    for (const int event : events) {
        if (event == kPause) {
            time += kPauseMs;
            continue;
        }
        time += stepMs;
        NativeKey key;
        EXPECT_TRUE(NativeKeyTable::FindByEvdevCode(event < 0 ? -event : event, &key)) << event;
        if (auto ended = session.AddKeyEvent(MakeKeyHookEvent(key, event < 0), time)) {
            bursts.push_back(*ended);
        }
    }
    if (auto ended = session.EndBurst()) {
        bursts.push_back(*ended);
    }
    time += kPauseMs;
    return bursts;
}

std::vector<int> Tap(int key)
{
    return {key, -key};
}

struct Burst
{
    const char* what;
    std::vector<int> events;
    BurstMatch match;
    std::vector<FoundKey> keys;
    const char* codesText; // null: not compared
};

std::ostream& operator<<(std::ostream& out, const Burst& burst)
{
    return out << burst.what;
}

class UsbBursts : public testing::TestWithParam<Burst>
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_keyboard, nullptr);
        const auto set = [this](const char* name, const char* codes, uint16_t column, uint16_t row,
                                uint8_t layout) {
            ASSERT_TRUE(m_keyboard->SetKeyTexts(name, codes, MakeGridPoint(column, row), layout)) << name;
        };
        set("Coffee", "M1,S+,K0x06", 1, 1, 1);
        set("Total", "M1,S+,K0xE1,K0x28,K0xF1", 2, 1, 1);
        set("Tea", "M1,S+,K0x17,K0x08,K0x04", 3, 1, 1);
        set("Ctrl", "M2,K0xE0", 4, 1, 1);
        set("Two A", "M1,S+,K0x04,K0x04", 5, 1, 1);
        // Programmed Shift first: the keyboard's report sets both modifiers at once.
        set("Ctrl Shift B", "M1,S+,K0xE1,K0xE0,K0x05", 1, 3, 1);
        set("Extra C", "M1,S+,K0x06", 2, 3, 1);
        set("Menu", "M1,S+,K0x10", 1, 1, 2);
        m_session.SetKeyboard(m_keyboard.get());
    }

    std::unique_ptr<Keyboard> m_keyboard = CreateKeyboard(kTypeZq2200Three);
    KeyTestSession m_session;
};

const Burst kUsbBursts[] = {
    {"one code", Tap(kC), BurstMatch::Key, {At(1, 1, 1), At(1, 2, 3)}, "C"},
    {"Shift around Enter, its release programmed",
     {kLeftShift, kEnter, -kEnter, -kLeftShift},
     BurstMatch::Key,
     {At(1, 2, 1)},
     nullptr},
    {"several presses with every key up between them",
     {kT, -kT, kE, -kE, kA, -kA},
     BurstMatch::Key,
     {At(1, 3, 1)},
     nullptr},
    {"a modifier key pressed and released", Tap(kLeftCtrl), BurstMatch::Key, {At(1, 4, 1)}, nullptr},
    {"modifiers arriving in bit order",
     {kLeftCtrl, kLeftShift, kB, -kB, -kLeftShift, -kLeftCtrl},
     BurstMatch::Key,
     {At(1, 1, 3)},
     nullptr},
    {"the same key twice", {kA, -kA, kA, -kA}, BurstMatch::Key, {At(1, 5, 1)}, nullptr},
    {"a held key repeating is one press",
     {kC, kC, kC, kC, kC, -kC},
     BurstMatch::Key,
     {At(1, 1, 1), At(1, 2, 3)},
     nullptr},
    {"a wrong key: Shift too many", {kLeftShift, kC, -kC, -kLeftShift}, BurstMatch::Unknown, {}, nullptr},
    {"a wrong key: one press short", Tap(kA), BurstMatch::Unknown, {}, "A"},
    {"the other Ctrl", Tap(kRightCtrl), BurstMatch::Unknown, {}, nullptr},
    {"unknown", {kZ, -kZ, kE, -kE}, BurstMatch::Unknown, {}, "Z (Y) E"},
    {"a key of another layout", Tap(kM), BurstMatch::OtherLayout, {At(2, 1, 1)}, "M"},
};

INSTANTIATE_TEST_SUITE_P(Typing, UsbBursts, testing::ValuesIn(kUsbBursts));

TEST_P(UsbBursts, MatchTheProgrammedKeys)
{
    const Burst& burst = GetParam();
    const std::vector<BurstResult> results = Type(m_session, burst.events);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].match, burst.match);
    EXPECT_EQ(results[0].keys, burst.keys);
    if (burst.codesText != nullptr) {
        EXPECT_EQ(results[0].codesText, burst.codesText);
    }
    EXPECT_FALSE(results[0].codes.empty());
}

TEST_F(UsbBursts, CountEachTestableKeyOnce)
{
    // A layout switch key sends nothing, and a key of four cells is one key.
    ASSERT_TRUE(m_keyboard->SetKeyType(MakeGridPoint(3, 3), kUsbKeyTypeNextLayout));
    ASSERT_TRUE(m_keyboard->ChangeShape(MakeGridPoint(2, 1), ShapeBelow, 1));
    m_session.SetKeyboard(m_keyboard.get());
    EXPECT_EQ(m_session.GetTestableCount(), 7);
    EXPECT_EQ(m_session.GetTestedCount(), 0);

    Type(m_session,
         {kLeftShift, kEnter, -kEnter, -kLeftShift, kPause, kLeftShift, kEnter, -kEnter, -kLeftShift});
    EXPECT_EQ(m_session.GetTestedCount(), 1);
    EXPECT_TRUE(m_session.IsKeyTested(MakeGridPoint(2, 1)));
    EXPECT_TRUE(m_session.IsKeyTested(MakeGridPoint(2, 2)));
    EXPECT_FALSE(m_session.IsKeyTested(MakeGridPoint(1, 1)));

    // Two keys sending the same codes cannot be told apart: both count.
    Type(m_session, Tap(kC));
    EXPECT_EQ(m_session.GetTestedCount(), 3);

    m_session.Restart();
    EXPECT_EQ(m_session.GetTestedCount(), 0);
    EXPECT_FALSE(m_session.IsKeyTested(MakeGridPoint(2, 1)));
}

TEST_F(UsbBursts, FollowTheLayoutOnShow)
{
    m_session.SetLayout(2);
    EXPECT_EQ(m_session.GetTestableCount(), 1);
    std::vector<BurstResult> results = Type(m_session, Tap(kM));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].match, BurstMatch::Key);
    EXPECT_EQ(m_session.GetTestedCount(), 1);

    results = Type(m_session, {kLeftShift, kEnter, -kEnter, -kLeftShift});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].match, BurstMatch::OtherLayout);
    EXPECT_EQ(results[0].keys, std::vector<FoundKey>{At(1, 2, 1)});
    // Sent while the keyboard was on another layout: not a test of the key on show.
    m_session.SetLayout(1);
    EXPECT_EQ(m_session.GetTestedCount(), 0);
}

TEST_F(UsbBursts, PausesAndHeldKeysEndBursts)
{
    // A person's pause ends a burst; the next key's first event tells.
    std::vector<BurstResult> results = Type(m_session, {kC, -kC, kPause, kLeftCtrl, -kLeftCtrl});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].keys, (std::vector<FoundKey>{At(1, 1, 1), At(1, 2, 3)}));
    EXPECT_EQ(results[1].keys, std::vector<FoundKey>{At(1, 4, 1)});

    // A key held through the pause keeps the burst open: Ctrl held while Shift+Enter.
    results = Type(m_session, {kLeftCtrl, kPause, kLeftShift, kEnter, -kEnter, -kLeftShift, kPause});
    EXPECT_TRUE(results.empty());
    results = Type(m_session, {-kLeftCtrl});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].match, BurstMatch::Unknown);

    // Events closer than the quiet time make one burst, even with every key up between them.
    results = Type(m_session, {kT, -kT, kE, -kE, kA, -kA}, KeyTestSession::kQuietMs - 20);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].keys, std::vector<FoundKey>{At(1, 3, 1)});
}

TEST_F(UsbBursts, TheKeyboardsPauseLengthensTheQuietTime)
{
    ASSERT_TRUE(m_keyboard->SetKeyPause(200));
    EXPECT_EQ(m_session.GetQuietMs(), KeyTestSession::kQuietMs + 200);
    const std::vector<BurstResult> results = Type(m_session, {kT, -kT, kE, -kE, kA, -kA}, 300);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].keys, std::vector<FoundKey>{At(1, 3, 1)});
}

TEST_F(UsbBursts, ABurstLongerThanAnyKeyMatchesNone)
{
    std::vector<int> events;
    for (int i = 0; i < kKeyCellMaxCodes + 1; ++i) {
        events.push_back(kA);
        events.push_back(-kA);
    }
    const std::vector<BurstResult> results = Type(m_session, events);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].match, BurstMatch::Unknown);
    EXPECT_EQ(results[0].codes.size(), size_t(kKeyCellMaxCodes));
    EXPECT_TRUE(results[0].codesText.ends_with(" ..."));
}

TEST_F(UsbBursts, OnlyReleasesAreNoBurst)
{
    // Keys pressed before the test began.
    EXPECT_TRUE(Type(m_session, {-kC, -kLeftShift}).empty());
    EXPECT_EQ(Type(m_session, Tap(kC)).size(), 1u);
}

TEST(LegacyBursts, BreakCodesAndHeldModifiersAreNoPresses)
{
    const std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq1100V2Single);
    ASSERT_NE(keyboard, nullptr);
    // Shift, A, A's break, A, Shift's break: what a PC hears as Shift+A twice.
    ASSERT_TRUE(keyboard->SetKeyTexts("AA", "I18, 28, 240, 28, 28; 6", MakeGridPoint(1, 1), 1));
    // Shift made twice while held: one press.
    ASSERT_TRUE(keyboard->SetKeyTexts("Shift B", "I18, 18, 50, 240, 18; 6", MakeGridPoint(2, 1), 1));
    // Right Ctrl: E0 14, and its break E0 F0 14.
    ASSERT_TRUE(keyboard->SetKeyTexts("Ctrl C", "I224, 20, 33, 224, 240, 20; 6", MakeGridPoint(3, 1), 1));
    KeyTestSession session;
    session.SetKeyboard(keyboard.get());
    EXPECT_EQ(session.GetTestableCount(), 3);

    const auto matchOf = [&session](const std::vector<int>& events) {
        const std::vector<BurstResult> results = Type(session, events);
        return results.size() == 1 && results[0].match == BurstMatch::Key ? results[0].keys
                                                                          : std::vector<FoundKey>{};
    };
    EXPECT_EQ(matchOf({kLeftShift, kA, -kA, kA, -kA, -kLeftShift}), std::vector<FoundKey>{At(1, 1, 1)});
    EXPECT_EQ(matchOf({kLeftShift, kB, -kB, -kLeftShift}), std::vector<FoundKey>{At(1, 2, 1)});
    EXPECT_EQ(matchOf({kRightCtrl, kC, -kC, -kRightCtrl}), std::vector<FoundKey>{At(1, 3, 1)});
    EXPECT_TRUE(matchOf({kLeftCtrl, kC, -kC, -kLeftCtrl}).empty());
    EXPECT_EQ(session.GetTestedCount(), 3);
}

} // namespace
