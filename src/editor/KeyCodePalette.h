// Putting a code from the key tables into a key, for the keys a PC keyboard cannot press: the
// codes capture would record for that key, under the rules capture follows.
#pragma once

#include "keycodes/KeyCodeCatalogue.h"

#include <cstdint>

class KeyCell;

enum class CodeRefusal : uint8_t {
    None,
    NoKey,         // no key to put codes in
    LayoutSwitch,  // the key sends no codes
    Full,          // no room for the code (a ZQ-1100 sequence needs all its bytes)
    ModifiersOnly, // a modifier key and a code that is no modifier
    AlreadyThere,  // a modifier key holds each modifier once
    ReleaseFirst,  // a release needs a code before it
    NotStored,     // the keyboard's records keep keyboard-page usages only
};

KeyCodeFamily GetCellFamily(const KeyCell& cell);

// Appends what pressing and releasing the entry's key records: its press, and on the USB
// families the release of a modifier when there is room. A release entry records as the
// release of its modifier. False when the cell took nothing.
bool AddKeyCode(KeyCell& cell, const KeyCodeEntry& entry);
// Why AddKeyCode would take nothing; cell may be null (no key).
CodeRefusal CheckKeyCode(const KeyCell* cell, const KeyCodeEntry& entry);
// The text saying why; IDS_KEY_FULL carries the capacity for "%s".
uint32_t GetRefusalTextId(CodeRefusal refusal);
