// The editor window's key clipboard and the clearing of keys: the editor logic acts, the window
// shows the result.
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
        m_clipboard.Copy(*keyboard, m_currentKey);
    }
}

void EditorWindow::CutKey()
{
    CopyKey();
    ClearKeys(false);
}

void EditorWindow::PasteKey()
{
    if (GetKeyboard() != nullptr && m_clipboard.Paste(*GetKeyboard(), m_currentKey, m_functionList, m_prompts,
                                                      m_settings.m_confirmReplace)) {
        ShowKeyChanges();
    }
}

void EditorWindow::SwapKey()
{
    if (GetKeyboard() != nullptr) {
        m_clipboard.Swap(*GetKeyboard(), m_currentKey, m_functionList, m_prompts);
        ShowKeyChanges();
    }
}

void EditorWindow::PasteFromFunctionList()
{
    const auto index = static_cast<uint16_t>(m_panel->GetFunctionList()->currentIndex() + 1);
    if (GetKeyboard() != nullptr) {
        PasteFunctionEntry(*GetKeyboard(), m_currentKey, m_functionList, index, m_prompts,
                           m_settings.m_confirmReplace);
    }
    ShowKeyChanges();
}

bool EditorWindow::AskClear(bool all)
{
    std::string text = LoadText(all ? IDS_MSG_CLEAR_ALL_KEYS : IDS_MSG_CLEAR_KEY);
    if (!all) {
        KeyCell* cell = CurrentCell();
        text = cell != nullptr ? ReplaceFirstNumber(text, cell->GetKeyNumber(), "%d")
                               : ReplaceFirst(text, "%d", "");
        text = ReplaceFirst(text, "%s", cell != nullptr ? cell->GetName() : std::string());
    }
    return m_prompts.Ask(text, IDS_TITLE_WARNING, PromptButtons::YesNo) == PromptAnswer::Yes;
}

void EditorWindow::ClearKeys(bool all)
{
    if (GetKeyboard() != nullptr) {
        ::ClearKeys(*GetKeyboard(), all ? 0 : m_currentKey, m_functionList);
        ShowKeyChanges();
    }
}

void EditorWindow::ShowKeyChanges()
{
    RebuildFunctionList();
    DrawAllKeys();
    RefreshCurrentKey();
}
