// What the key panel is doing, from where the focus is: each mode shows its own controls, and
// keys reaching the editor mean something else in each.
#pragma once

#include <cstdint>
#include <optional>

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

// Where the focus is, as the panel sees it.
enum class FocusPlace : uint8_t {
    None, // no control of the window
    CodeField,
    CodesGroup,
    EditButton,
    PrefixField,
    SuffixField,
    Picture,
    KeyField,
    Other,
};

// What becomes of an edit in progress when the focus moves.
enum class EditEnding : uint8_t { Keep, Apply, End, ApplyThenEnd };

struct PanelDecision
{
    PanelMode mode = PanelMode::OtherControl;
    // The mode whose controls are shown first, when any.
    std::optional<PanelMode> show;
    EditEnding ending = EditEnding::Keep;
};

// The panel mode for a new focus. Code fields count only while the key's codes may be edited on a
// layout tab; leaving the window applies a pending edit or drops it by "DefaultApply", moving to
// another control applies it first when "DefaultApply" is on.
PanelDecision DecidePanelMode(FocusPlace place, bool codesEditable, bool layoutTab, bool editing,
                              bool defaultApply);
