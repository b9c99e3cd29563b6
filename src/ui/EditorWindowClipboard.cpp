// The editor window's key clipboard and the clearing of keys.
#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "ui/KeyPanel.h"

#include <QComboBox>

void EditorWindow::CopyKey()
{
    if (Keyboard* keyboard = GetKeyboard()) {
        keyboard->GetKeyTexts(&m_clipName, &m_clipCodes, m_currentKey, keyboard->GetCurrentLayout());
    }
}

void EditorWindow::CutKey()
{
    CopyKey();
    ClearKeys(false);
    RefreshCurrentKey();
}

bool EditorWindow::PasteKey(bool confirmReplace)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || m_clipCodes.empty()) {
        return false;
    }
    const uint8_t layout = keyboard->GetCurrentLayout();
    KeyCell* cell = CurrentCell();
    if (cell == nullptr || !keyboard->IsValidKeyTexts(m_clipCodes, m_currentKey, layout)) {
        m_prompts.ShowMessage(LoadTextWithArgument(IDS_MSG_CANNOT_PASTE, m_clipName), IDS_TITLE_ERROR,
                              MessageIcon::Error);
        return false;
    }
    std::string name;
    std::string codes;
    if (keyboard->GetKeyTexts(&name, &codes, m_currentKey, layout) && name == m_clipName &&
        codes == m_clipCodes) {
        return true;
    }
    if (cell->IsProgrammed() && confirmReplace && !AskReplace(cell->GetName(), m_clipName)) {
        return false;
    }
    if (!cell->IsLayoutSwitch()) {
        m_functionList.Remove(*cell);
    }
    keyboard->SetKeyTexts(m_clipName, m_clipCodes, m_currentKey, layout);
    if (!cell->IsLayoutSwitch()) {
        m_functionList.AddOrUpdate(*cell);
    }
    RebuildFunctionList();
    DrawAllKeys();
    RefreshCurrentKey();
    return true;
}

void EditorWindow::SwapKey()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || m_clipCodes.empty()) {
        return;
    }
    if (!keyboard->IsValidKeyTexts(m_clipCodes, m_currentKey, keyboard->GetCurrentLayout())) {
        m_prompts.ShowMessage(LoadTextWithArgument(IDS_MSG_CANNOT_PASTE, m_clipName), IDS_TITLE_ERROR,
                              MessageIcon::Error);
        return;
    }
    const std::string clipName = m_clipName;
    const std::string clipCodes = m_clipCodes;
    CopyKey();
    const std::string keyName = m_clipName;
    const std::string keyCodes = m_clipCodes;
    m_clipName = clipName;
    m_clipCodes = clipCodes;
    PasteKey(false);
    m_clipName = keyName;
    m_clipCodes = keyCodes;
}

void EditorWindow::PasteFromFunctionList()
{
    Keyboard* keyboard = GetKeyboard();
    KeyCell* cell = CurrentCell();
    const auto index = static_cast<uint16_t>(m_panel->GetFunctionList()->currentIndex() + 1);
    const FunctionEntry* entry = m_functionList.GetEntry(index);
    if (keyboard != nullptr && cell != nullptr && entry != nullptr) {
        // A copy: freeing the key's own entry below may drop it and shift the entries after it.
        const FunctionEntry chosen = *entry;
        if (cell->IsProgrammed() && m_settings.m_confirmReplace &&
            !AskReplace(cell->GetName(), m_functionList.GetLabel(index))) {
            return;
        }
        if (cell->IsLayoutSwitch()) {
            keyboard->ClearKey(m_currentKey);
        } else {
            m_functionList.Remove(*cell);
        }
        FunctionList::ApplyEntry(chosen, *cell);
        m_functionList.AddOrUpdate(*cell);
    }
    RefreshCurrentKey();
    RebuildFunctionList();
    DrawAllKeys();
}

bool EditorWindow::AskReplace(const std::string& oldName, const std::string& newName)
{
    const std::string text =
        ReplaceFirst(ReplaceFirst(LoadText(IDS_MSG_REPLACE_KEY), "%s", oldName), "%n", newName);
    return m_prompts.Ask(text, IDS_TITLE_QUESTION, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool EditorWindow::AskClear(bool all)
{
    std::string text = LoadText(all ? IDS_MSG_CLEAR_ALL_KEYS : IDS_MSG_CLEAR_KEY);
    if (!all) {
        KeyCell* cell = nullptr;
        const bool found = GetKeyboard() != nullptr && GetKeyboard()->GetCurrentCell(&cell);
        text = found ? ReplaceFirstNumber(text, cell->GetKeyNumber(), "%d") : ReplaceFirst(text, "%d", "");
        text = ReplaceFirst(text, "%s", found ? cell->GetName() : std::string());
    }
    return m_prompts.Ask(text, IDS_TITLE_WARNING, PromptButtons::YesNo) == PromptAnswer::Yes;
}

void EditorWindow::ClearKeys(bool all)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    const uint8_t remembered = keyboard->GetCurrentLayout();
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard->GetGridSize(&columns, &rows);
    const uint8_t firstLayout = all ? 1 : remembered;
    const uint8_t lastLayout = all ? keyboard->GetLayoutCount() : remembered;
    const uint16_t firstColumn = all ? 1 : GridColumn(m_currentKey);
    const uint16_t lastColumn = all ? columns : firstColumn;
    const uint16_t firstRow = all ? 1 : GridRow(m_currentKey);
    const uint16_t lastRow = all ? rows : firstRow;
    for (unsigned layout = firstLayout; layout <= lastLayout; ++layout) {
        if (!keyboard->SetCurrentLayout(static_cast<uint8_t>(layout))) {
            continue;
        }
        for (uint16_t column = firstColumn; column <= lastColumn; ++column) {
            for (uint16_t row = firstRow; row <= lastRow; ++row) {
                KeyCell* cell = nullptr;
                if (keyboard->GetCell(column, row, &cell) && !cell->IsLayoutSwitch()) {
                    m_functionList.Remove(*cell);
                }
                keyboard->ClearKey(column, row);
            }
        }
    }
    keyboard->SetCurrentLayout(remembered);
    RebuildFunctionList();
    DrawAllKeys();
    RefreshCurrentKey();
}
