// Which shape change a Ctrl-click asks for, and which items of the key context menu are gray.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <set>
#include <string>

class Keyboard;

// Held modifier keys, left and right apart.
enum ModifierBits : uint8_t {
    ModLeftShift = 0x01,
    ModLeftCtrl = 0x02,
    ModLeftAlt = 0x04,
    ModLeftWindows = 0x08,
    ModRightShift = 0x10,
    ModRightCtrl = 0x20,
    ModRightAlt = 0x40,
    ModRightWindows = 0x80,
};

// True when Ctrl keys (left, right or both) are the only modifiers held.
bool IsCtrlOnly(uint8_t modifiers);
// The shape change a Ctrl-click on a neighbouring cell asks of the current key; 0 for none.
uint8_t GetCtrlClickChange(Keyboard& keyboard, GridPoint current, GridPoint clicked);

struct KeyMenuState
{
    std::set<uint16_t> grayed; // command ids
    bool doublePopupGrayed = false;
    // Only one "Quad" popup stays: the corner commands, or the one that widens a double key.
    bool showCornerQuad = true;
    bool quadPopupGrayed = false;

    bool IsEnabled(uint16_t command) const { return grayed.count(command) == 0; }
};

// The state of the key context menu for the key at a position of the current layout.
KeyMenuState GetKeyMenuState(Keyboard& keyboard, GridPoint key, const std::string& clipCodes,
                             bool functionEntrySelected);
