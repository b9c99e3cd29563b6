#include "editor/KeyClipboard.h"

#include "editor/EditorPrompts.h"
#include "editor/FunctionList.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

namespace {

KeyCell* CellAt(Keyboard& keyboard, GridPoint key)
{
    KeyCell* cell = nullptr;
    return keyboard.GetCell(key, &cell) ? cell : nullptr;
}

// The key's cell when it can take the clipboard's codes; otherwise the user is told and null answered.
KeyCell* TakingCell(Keyboard& keyboard, GridPoint key, const KeyClipboard& clipboard, EditorPrompts& prompts)
{
    KeyCell* cell = CellAt(keyboard, key);
    if (cell != nullptr && keyboard.IsValidKeyTexts(clipboard.GetCodes(), key, keyboard.GetCurrentLayout())) {
        return cell;
    }
    prompts.ShowMessage(LoadTextWithArgument(IDS_MSG_CANNOT_PASTE, clipboard.GetName()), IDS_TITLE_ERROR,
                        MessageIcon::Error);
    return nullptr;
}

} // namespace

void KeyClipboard::Clear()
{
    m_name.clear();
    m_codes.clear();
}

void KeyClipboard::Copy(Keyboard& keyboard, GridPoint key)
{
    keyboard.GetKeyTexts(&m_name, &m_codes, key, keyboard.GetCurrentLayout());
}

bool KeyClipboard::Paste(Keyboard& keyboard, GridPoint key, FunctionList& functions, EditorPrompts& prompts,
                         bool confirmReplace)
{
    KeyCell* cell = IsEmpty() ? nullptr : TakingCell(keyboard, key, *this, prompts);
    if (cell == nullptr) {
        return false;
    }
    const uint8_t layout = keyboard.GetCurrentLayout();
    std::string name;
    std::string codes;
    if (keyboard.GetKeyTexts(&name, &codes, key, layout) && name == m_name && codes == m_codes) {
        return true;
    }
    if (cell->IsProgrammed() && confirmReplace && !AskReplaceKey(prompts, cell->GetName(), m_name)) {
        return false;
    }
    if (!cell->IsLayoutSwitch()) {
        functions.Remove(*cell);
    }
    keyboard.SetKeyTexts(m_name, m_codes, key, layout);
    if (!cell->IsLayoutSwitch()) {
        functions.AddOrUpdate(*cell);
    }
    return true;
}

void KeyClipboard::Swap(Keyboard& keyboard, GridPoint key, FunctionList& functions, EditorPrompts& prompts)
{
    if (IsEmpty() || TakingCell(keyboard, key, *this, prompts) == nullptr) {
        return;
    }
    KeyClipboard fromKey;
    fromKey.Copy(keyboard, key);
    Paste(keyboard, key, functions, prompts, false);
    *this = fromKey;
}

bool AskReplaceKey(EditorPrompts& prompts, const std::string& oldName, const std::string& newName)
{
    const std::string text =
        ReplaceFirst(ReplaceFirst(LoadText(IDS_MSG_REPLACE_KEY), "%s", oldName), "%n", newName);
    return prompts.Ask(text, IDS_TITLE_QUESTION, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool PasteFunctionEntry(Keyboard& keyboard, GridPoint key, FunctionList& functions, uint16_t index,
                        EditorPrompts& prompts, bool confirmReplace)
{
    KeyCell* cell = CellAt(keyboard, key);
    const FunctionEntry* entry = functions.GetEntry(index);
    if (cell == nullptr || entry == nullptr) {
        return false;
    }
    // A copy: freeing the key's own entry below may drop it and shift the entries after it.
    const FunctionEntry chosen = *entry;
    if (cell->IsProgrammed() && confirmReplace &&
        !AskReplaceKey(prompts, cell->GetName(), functions.GetLabel(index))) {
        return false;
    }
    if (cell->IsLayoutSwitch()) {
        keyboard.ClearKey(key);
    } else {
        functions.Remove(*cell);
    }
    FunctionList::ApplyEntry(chosen, *cell);
    functions.AddOrUpdate(*cell);
    return true;
}

void ClearKeys(Keyboard& keyboard, GridPoint key, FunctionList& functions)
{
    const bool all = key == 0;
    const uint8_t remembered = keyboard.GetCurrentLayout();
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    const uint8_t firstLayout = all ? 1 : remembered;
    const uint8_t lastLayout = all ? keyboard.GetLayoutCount() : remembered;
    const uint16_t firstColumn = all ? 1 : GridColumn(key);
    const uint16_t lastColumn = all ? columns : firstColumn;
    const uint16_t firstRow = all ? 1 : GridRow(key);
    const uint16_t lastRow = all ? rows : firstRow;
    for (unsigned layout = firstLayout; layout <= lastLayout; ++layout) {
        if (!keyboard.SetCurrentLayout(static_cast<uint8_t>(layout))) {
            continue;
        }
        for (uint16_t column = firstColumn; column <= lastColumn; ++column) {
            for (uint16_t row = firstRow; row <= lastRow; ++row) {
                KeyCell* cell = nullptr;
                if (keyboard.GetCell(column, row, &cell) && !cell->IsLayoutSwitch()) {
                    functions.Remove(*cell);
                }
                keyboard.ClearKey(column, row);
            }
        }
    }
    keyboard.SetCurrentLayout(remembered);
}
