// What the key panel is doing, from where the focus is: each mode shows its own controls, and
// keys reaching the editor mean something else in each.
#pragma once

#include <cstdint>

enum class PanelMode : uint8_t {
    OtherControl = 0,
    NoFocus = 1,
    ConfigurationTab = 2,
    PrefixField = 3,
    SuffixField = 4,
    Picture = 5,
    KeyField = 6, // the key's number or name
    CodeFieldIdle = 7,
    CapturingCodes = 8,
    EditButtons = 9,
};
