// The working copy of the key being edited, and what one captured key message does to it.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>

class Keyboard;
class KeyCell;
struct KeyMessage;

constexpr int kCodeFieldCount = 16;
// The hidden field that takes codes when no code field has the focus: the index after the code
// fields, as the panel's focus indexes count.
constexpr int kHiddenCodeField = kCodeFieldCount + 1;

class KeyEditSession
{
public:
    enum class Next {
        Nothing,    // the message changed nothing the panel shows
        ShowCodes,  // show the copy with the focus on field `focusField`
        FocusApply, // the edit is complete: the focus goes to Apply
        Cancel,     // Escape was held: the edit is discarded
    };
    // Why a key pressed while capturing went nowhere.
    enum class Refusal {
        None,
        Full,     // the key holds as many codes as it can
        NotTaken, // the key does not take that code (its type, or a key with no code)
    };
    struct CaptureResult
    {
        bool consumed = false;
        Next next = Next::Nothing;
        int focusField = 0;
        Refusal refusal = Refusal::None;
    };

    bool IsEditing() const { return m_editCell != nullptr; }
    KeyCell* GetEditCell() const { return m_editCell; }
    // A copy of the key to edit; false when the keyboard gives none.
    bool Begin(Keyboard& keyboard, GridPoint key);
    // Gives the copy's codes and name to its key; the session is idle afterwards.
    bool WriteBack(Keyboard& keyboard);
    // Drops the copy; the key keeps what it had.
    void Discard();

    // One key message while codes are captured into `field` (1 to 16, or the hidden field);
    // timeMs: when the message arrived.
    CaptureResult Capture(const KeyMessage& message, int field, uint64_t timeMs);

private:
    // Owned by the keyboard until it is written back or the next edit begins.
    KeyCell* m_editCell = nullptr;
    // The last captured key was a left Ctrl press: AltGr arrives as left Ctrl, then right Alt.
    bool m_pendingLeftCtrl = false;
    uint64_t m_lastKeyTime = 0;
};
