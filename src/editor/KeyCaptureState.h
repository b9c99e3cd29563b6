// What the key capture hook knows between key events: which keys are down and how often each
// has repeated. It decides for every key event whether the editor sees it and in which message.
#pragma once

#include "editor/NativeKeyTable.h"
#include "model/KeyMessage.h"

#include <array>
#include <bitset>
#include <cstdint>

// Key data bits from the event flags byte, besides kKeyDataExtended and kKeyDataReleased.
constexpr uint32_t kKeyDataAltDown = 1u << 29;

struct KeyHookEvent
{
    uint8_t virtualKey = 0;
    uint32_t scanCode = 0; // set 1 without the E0 prefix
    bool extended = false;
    bool released = false;
    bool focusInProcess = false; // the focused window belongs to the editor
};

// A key of the native table pressed or released while the editor has the focus.
KeyHookEvent MakeKeyHookEvent(const NativeKey& key, bool released);

enum class KeyHookAction : uint8_t {
    PassOn,  // not for the editor: the event goes on unchanged
    Forward, // ask the editor with the message; a non-zero answer swallows the event
    Drop,    // swallowed without asking: a scan code that does not fit the key data
};

struct KeyHookResult
{
    KeyHookAction action = KeyHookAction::PassOn;
    KeyMessage message; // for Forward only
};

// A fresh object is the state of a newly installed hook: no key counts as down.
class KeyCaptureState
{
public:
    // One key event: the answer, with the key-down table and the repeat counters updated.
    KeyHookResult ProcessKeyEvent(const KeyHookEvent& event);
    // ModifierBits of the modifier keys that are down.
    uint8_t GetModifierState() const;
    bool IsKeyDown(uint8_t virtualKey) const;
    bool IsAnyKeyDown() const;
    // Keys counted as down that the keyboard no longer holds are up again: their releases went to
    // another window. A key held all along keeps its repeat count. heldNow: by virtual key.
    void ForgetReleasedKeys(const std::bitset<256>& heldNow);
    uint32_t GetRepeatCount(uint8_t virtualKey) const;

private:
    std::array<uint8_t, 256> m_keyDown{};
    std::array<uint32_t, 256> m_repeatCount{};
};

// The key message the editor window handles for an event that was not dropped: the forwarded one,
// or what the hook passes on (modifier releases, Num Lock) as the window's own key message, as
// the platform would deliver it.
KeyMessage GetEditorMessage(const KeyHookEvent& event, const KeyHookResult& result);
