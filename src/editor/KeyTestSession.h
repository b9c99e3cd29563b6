// The typing test of a programmed keyboard: the key events it types, cut into bursts, each burst
// matched against the programmed sequences of the layout on show.
#pragma once

#include "editor/KeyCaptureState.h"
#include "editor/KeyFinder.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class KeyCell;
class Keyboard;

enum class BurstMatch : uint8_t {
    Key,         // keys of the layout on show send it
    OtherLayout, // only keys of other layouts send it
    Unknown,     // no key sends it
};

struct BurstResult
{
    BurstMatch match = BurstMatch::Unknown;
    // The keys that send the burst, in reading order; none for an unknown burst.
    std::vector<FoundKey> keys;
    // What capture recorded, and as the key panel names the codes.
    std::vector<uint32_t> codes;
    std::string codesText;
};

// The codes a key sends as the PC sees them, whatever way they were programmed: a modifier pressed
// while held, or released while up, does nothing; modifiers set together arrive in bit order; what
// the key leaves held goes up when it ends; a ZQ-1100 sequence's break codes are no key presses.
std::vector<uint32_t> GetSentForm(const KeyCell& cell);

// A burst is what arrives between two quiet spells with no key held: a key's codes come with the
// keyboard's pause between them and may let every key go up in between, a tester's next key comes
// well after. Held keys keep a burst open, so that a modifier key held across others is one burst.
class KeyTestSession
{
public:
    // Quiet time that ends a burst on top of the keyboard's own pause between codes; a person
    // pressing keys one by one leaves more.
    static constexpr uint64_t kQuietMs = 150;

    KeyTestSession();
    ~KeyTestSession();
    KeyTestSession(const KeyTestSession&) = delete;
    KeyTestSession& operator=(const KeyTestSession&) = delete;

    // The project to test; a new one (or null) starts again. The session never changes it.
    void SetKeyboard(Keyboard* keyboard);
    // The layout on show, 1-based; the tested keys are kept across layouts.
    void SetLayout(uint8_t layout) { m_layout = layout; }
    uint8_t GetLayout() const { return m_layout; }
    // Forgets the keys tested and the burst under way.
    void Restart();

    // One key event as capture sees it; the result of a burst that ended before it, if any.
    std::optional<BurstResult> AddKeyEvent(const KeyHookEvent& event, uint64_t timeMs);
    // Nothing came for the quiet time: the burst ends unless a key is still held.
    std::optional<BurstResult> EndBurst();
    uint64_t GetQuietMs() const;
    // Keys whose releases went elsewhere are up again, as for capture.
    void ForgetReleasedKeys(const std::bitset<256>& heldNow) { m_state.ForgetReleasedKeys(heldNow); }

    // Programmed keys of the layout on show that send something, each key once.
    int GetTestableCount() const;
    int GetTestedCount() const;
    // The key at a cell of the layout on show sent its codes.
    bool IsKeyTested(GridPoint cell) const;

private:
    std::optional<BurstResult> CloseBurst();
    BurstResult Match(const std::vector<uint32_t>& sent) const;
    // Every key of a layout once, by its first cell in reading order.
    std::vector<std::pair<GridPoint, KeyCell*>> KeysOf(uint8_t layout) const;

    Keyboard* m_keyboard = nullptr;
    uint8_t m_layout = 1;
    KeyCaptureState m_state;
    // Records a burst as capture records a key: the same cells, the same rules.
    std::unique_ptr<KeyCell> m_burst;
    bool m_burstOpen = false;
    // A burst longer than any key: it cannot match one.
    bool m_overflow = false;
    uint64_t m_lastEventMs = 0;
    // Master key numbers: a key of several cells or layouts is tested once.
    std::set<uint16_t> m_tested;
};
