#include "editor/PanelMode.h"

PanelDecision DecidePanelMode(FocusPlace place, bool codesEditable, bool layoutTab, bool editing,
                              bool defaultApply)
{
    if (place == FocusPlace::CodeField && codesEditable && layoutTab) {
        const PanelMode mode = editing ? PanelMode::CapturingCodes : PanelMode::CodeFieldIdle;
        return {mode, mode, EditEnding::Keep};
    }
    if (place == FocusPlace::CodesGroup) {
        return {PanelMode::CodeFieldIdle, PanelMode::CodeFieldIdle, EditEnding::Keep};
    }
    if (place == FocusPlace::EditButton) {
        return {PanelMode::EditButtons, std::nullopt, EditEnding::Keep};
    }
    if (place == FocusPlace::None) {
        return {PanelMode::NoFocus, std::nullopt,
                !editing       ? EditEnding::Keep
                : defaultApply ? EditEnding::Apply
                               : EditEnding::End};
    }
    const EditEnding ending = !editing       ? EditEnding::Keep
                              : defaultApply ? EditEnding::ApplyThenEnd
                                             : EditEnding::End;
    if (place == FocusPlace::PrefixField || place == FocusPlace::SuffixField) {
        return {place == FocusPlace::PrefixField ? PanelMode::PrefixField : PanelMode::SuffixField,
                std::nullopt, ending};
    }
    const PanelMode mode = place == FocusPlace::Picture    ? PanelMode::Picture
                           : place == FocusPlace::KeyField ? PanelMode::KeyField
                                                           : PanelMode::OtherControl;
    return {mode, PanelMode::OtherControl, ending};
}
