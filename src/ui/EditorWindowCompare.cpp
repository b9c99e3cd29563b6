// The editor window's comparison of its project with a file or with what the keyboard holds.
#include "ui/EditorWindow.h"

#include "editor/DeviceCommandRunner.h"
#include "files/ProjectOpen.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/FileDialogs.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QTabBar>

void EditorWindow::CompareWithFileCommand()
{
    if (GetKeyboard() == nullptr) {
        return;
    }
    const FileChoice choice = AskForFileHere(FileDialogKind::CompareProject,
                                             DialogFilters(GetOpenFileFilter()), std::string(), 0, QString());
    if (!choice.accepted) {
        return;
    }
    uint8_t format = 0;
    OpenedProject opened = OpenProjectFile(choice.path, &format);
    // A file read in part would differ where the file itself does not.
    if (opened.keyboard == nullptr || opened.outcome != OpenOutcome::Opened) {
        ShowOpenFailure(choice.path, opened);
        return;
    }
    const QString name = QFileInfo(QFile::decodeName(choice.path.c_str())).fileName();
    StartComparison(std::move(opened.keyboard), CompareSource::File, name.toStdString());
}

void EditorWindow::CompareWithKeyboardCommand()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsDeviceCommandAvailable(*keyboard, DeviceCommandKind::Download)) {
        return;
    }
    std::unique_ptr<Keyboard> read;
    RunWithCommunication(GetFamilyName(*keyboard), [&](ProgressSink* progress) {
        return ReadKeyboardForComparison(*keyboard, progress, read);
    });
    if (read != nullptr) {
        StartComparison(std::move(read), CompareSource::Keyboard, std::string());
    }
}

void EditorWindow::StartComparison(std::unique_ptr<Keyboard> other, CompareSource source,
                                   const std::string& name)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || other == nullptr) {
        return;
    }
    const std::string otherFamily = GetFamilyName(*other);
    if (!m_comparison.Start(*keyboard, std::move(other), source, name)) {
        m_prompts.ShowMessage(
            ReplaceFirst(ReplaceFirst(LoadText(IDS_MSG_COMPARE_FAMILIES), "%s", GetFamilyName(*keyboard)),
                         "%t", otherFamily),
            IDS_TITLE_ERROR, MessageIcon::Error);
        return;
    }
    // The marks are on the keys: a layout is shown rather than the options.
    if (!IsLayoutTab() && m_tabs->count() > 1) {
        m_tabs->setCurrentIndex(1);
    }
    m_picture->update();
    ShowComparisonInPanel();
    statusBar()->showMessage(QString::fromStdString(m_comparison.GetSummary()), kStatusNoteMs);
}

void EditorWindow::EndComparison()
{
    if (!m_comparison.IsActive()) {
        return;
    }
    m_comparison.End();
    m_picture->update();
    m_panel->ShowComparison(nullptr, false);
    UpdateCommandStates();
}

bool EditorWindow::CanTakeOtherKey()
{
    Keyboard* keyboard = GetKeyboard();
    return keyboard != nullptr && IsLayoutTab() && m_currentKey != 0 && !m_suppressHighlight &&
           m_comparison.CanTakeOtherKey(*keyboard, m_currentKey, keyboard->GetCurrentLayout());
}

void EditorWindow::TakeOtherKeyCommand()
{
    Keyboard* keyboard = GetKeyboard();
    if (!CanTakeOtherKey() ||
        !m_comparison.TakeOtherKey(*keyboard, m_currentKey, keyboard->GetCurrentLayout(), m_functionList)) {
        return;
    }
    ShowKeyChanges();
}

void EditorWindow::RefreshComparison()
{
    Keyboard* keyboard = GetKeyboard();
    if (!m_comparison.IsActive() || keyboard == nullptr) {
        return;
    }
    const std::string signature =
        m_snapshot.text.empty() ? keyboard->GetContentSignature() : m_snapshot.signature;
    if (m_comparison.Follow(*keyboard, signature)) {
        m_picture->update();
        ShowComparisonInPanel();
    }
}

void EditorWindow::ShowComparisonInPanel()
{
    Keyboard* keyboard = GetKeyboard();
    if (!m_comparison.IsActive() || keyboard == nullptr) {
        m_panel->ShowComparison(nullptr, false);
        return;
    }
    const bool onKey = IsLayoutTab() && m_currentKey != 0 && !m_suppressHighlight;
    const ComparisonTexts texts =
        m_comparison.GetTexts(*keyboard, onKey ? m_currentKey : 0, keyboard->GetCurrentLayout());
    m_panel->ShowComparison(&texts, CanTakeOtherKey());
}
