// The key panel of the editor window: panel modes, the edit copy of a key and the capture of
// its codes, the key's fields and flags.
#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/KeyMessage.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyCaptureFilter.h"
#include "ui/KeyCodesDialog.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"
#include "ui/ScanCodeDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStatusBar>

namespace {

constexpr uint32_t kVirtualKeySpace = 0x20;

bool IsFirstPress(const KeyMessage& message)
{
    return message.IsKeyDown() && !message.IsAutoRepeat();
}

} // namespace

void EditorWindow::ConnectPanel()
{
    connect(qApp, &QApplication::focusChanged, this, &EditorWindow::OnFocusChanged);
    connect(m_panel->GetKeyName(), &QLineEdit::textEdited, this, &EditorWindow::OnKeyNameEdited);
    connect(m_panel->GetKeyName(), &QLineEdit::editingFinished, this, &EditorWindow::OnKeyNameLeft);
    for (int mode = 1; mode <= 3; ++mode) {
        connect(m_panel->GetModeButton(mode), &QRadioButton::clicked, this,
                [this, mode] { OnModeClicked(mode); });
    }
    connect(m_panel->GetSetModeForAll(), &QPushButton::clicked, this, &EditorWindow::OnSetModeForAll);
    connect(m_panel->GetSimpleKey(), &QCheckBox::clicked, this, &EditorWindow::OnSimpleKeyClicked);
    connect(m_panel->GetSetSimpleForAll(), &QPushButton::clicked, this, &EditorWindow::OnSetSimpleForAll);
    connect(m_panel->GetKeyType(), &QComboBox::activated, this, &EditorWindow::OnKeyTypeChosen);
    connect(m_panel->GetEditCodes(), &QPushButton::clicked, this, &EditorWindow::OnEditCodes);
    connect(m_panel->GetDeleteLastCode(), &QPushButton::clicked, this, &EditorWindow::OnDeleteLastCode);
    connect(m_panel->GetApply(), &QPushButton::clicked, this, &EditorWindow::ApplyEdit);
    connect(m_panel->GetCancel(), &QPushButton::clicked, this, &EditorWindow::CancelEdit);
    connect(m_configurationPage, &ConfigurationPage::Changed, this, &EditorWindow::NoteChange);
}

KeyCell* EditorWindow::CurrentCell()
{
    KeyCell* cell = nullptr;
    return GetKeyboard() != nullptr && GetKeyboard()->GetCell(m_currentKey, &cell) ? cell : nullptr;
}

void EditorWindow::UpdateFunctionEntry()
{
    if (KeyCell* cell = CurrentCell()) {
        m_functionList.AddOrUpdate(*cell);
        RebuildFunctionList();
    }
}

void EditorWindow::EnableKeyPanel(bool on)
{
    m_panel->EnableKeyPanel(on);
    if (GetKeyboard() != nullptr && m_currentKey != 0) {
        m_codesEditable = GetKeyboard()->CurrentCellAcceptsCodes();
    }
}

void EditorWindow::ShowKeyInPanel(KeyCell* cell, int focusIndex)
{
    Keyboard* keyboard = GetKeyboard();
    if (cell != nullptr && keyboard != nullptr) {
        keyboard->UpdateCell(cell);
    }
    EnableKeyPanel(cell != nullptr && cell->GetKeyNumber() != 0);
    m_panel->ShowCell(cell, cell != nullptr ? cell->GetKeyNumber() : 0,
                      keyboard != nullptr && keyboard->CanEditScanCodes(), focusIndex == 0);
    UpdateKeyCodes(cell != nullptr && cell->GetKeyNumber() != 0 ? cell : nullptr);
    if (cell == nullptr) {
        return;
    }
    if (cell->GetCodeCount() < focusIndex && focusIndex < 50) {
        focusIndex = cell->GetCodeCount() + 1;
    }
    if (QApplication::focusWidget() == nullptr || focusIndex == 0) {
        return;
    }
    m_panel->FocusCodeField(focusIndex);
    if (focusIndex == KeyPanel::kApplyFocus) {
        SwitchPanel(PanelMode::EditButtons);
    }
}

void EditorWindow::SetPanelMode(PanelMode mode)
{
    m_panelMode = mode;
    switch (mode) {
    case PanelMode::OtherControl:
        m_panel->ShowEditState(false, false, true);
        break;
    case PanelMode::ConfigurationTab:
        m_configurationPage->ShowValues();
        m_panel->ShowPictureControls(false);
        break;
    case PanelMode::Picture:
        m_panel->ShowPictureControls(true);
        break;
    case PanelMode::KeyField:
        m_panel->GetFunctionList()->setCurrentIndex(-1);
        break;
    case PanelMode::CodeFieldIdle:
        m_panel->ShowEditState(m_codesEditable, false, false);
        break;
    case PanelMode::CapturingCodes:
    case PanelMode::EditButtons:
        m_panel->ShowEditState(false, m_codesEditable, false);
        break;
    default:
        break;
    }
    UpdateCapture();
}

void EditorWindow::UpdateCapture()
{
    const bool capture = m_edit.IsEditing() && m_panelMode == PanelMode::CapturingCodes;
    QWidget* focus = QApplication::focusWidget();
    // The grab makes the desktop's own shortcuts (Alt+Tab, the Windows keys) reach the key.
    if (capture && focus != nullptr && focus != m_grabber) {
        if (m_grabber != nullptr) {
            m_grabber->releaseKeyboard();
        }
        focus->grabKeyboard();
        m_grabber = focus;
    } else if (!capture) {
        ReleaseKeyboardGrab();
    }
    if (capture != m_capturing) {
        m_capturing = capture;
        m_panel->ShowCapturing(capture);
    }
}

void EditorWindow::ReleaseKeyboardGrab()
{
    if (m_grabber != nullptr) {
        m_grabber->releaseKeyboard();
        m_grabber = nullptr;
    }
}

PanelMode EditorWindow::DetectPanelMode()
{
    if (m_detecting) {
        return m_panelMode;
    }
    m_detecting = true;
    const bool affixWasArmed = m_affixArmed;
    m_affixArmed = false;
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() != this) {
        focus = nullptr;
    }
    const int affix = m_configurationPage->AffixFieldOf(focus);
    const FocusPlace place = focus == nullptr                      ? FocusPlace::None
                             : m_panel->CodeFieldIndex(focus) != 0 ? FocusPlace::CodeField
                             : focus == m_panel->GetCodesGroup()   ? FocusPlace::CodesGroup
                             : m_panel->IsEditButton(focus)        ? FocusPlace::EditButton
                             : affix == 1                          ? FocusPlace::PrefixField
                             : affix != 0                          ? FocusPlace::SuffixField
                             : focus == m_picture                  ? FocusPlace::Picture
                             : m_panel->IsKeyField(focus)          ? FocusPlace::KeyField
                                                                   : FocusPlace::Other;
    const PanelDecision decision =
        DecidePanelMode(place, m_codesEditable, IsLayoutTab(), m_edit.IsEditing(), m_settings.m_defaultApply);
    if (decision.ending == EditEnding::Apply || decision.ending == EditEnding::ApplyThenEnd) {
        ApplyEdit();
    }
    if (decision.ending == EditEnding::End || decision.ending == EditEnding::ApplyThenEnd) {
        EndEdit();
    }
    if (decision.show) {
        SetPanelMode(*decision.show);
    }
    const PanelMode mode = decision.mode;
    if (mode == PanelMode::PrefixField || mode == PanelMode::SuffixField) {
        m_affixArmed = affixWasArmed;
    } else if (mode == PanelMode::Picture) {
        m_suppressHighlight = false;
    }
    m_panelMode = mode;
    UpdateCapture();
    m_detecting = false;
    return mode;
}

void EditorWindow::SwitchPanel(PanelMode mode)
{
    QWidget* focus = QApplication::focusWidget();
    switch (mode) {
    case PanelMode::ConfigurationTab:
    case PanelMode::PrefixField:
        m_configurationPage->ShowValues();
        break;
    case PanelMode::Picture:
        if (focus != nullptr) {
            m_picture->setFocus(Qt::OtherFocusReason);
        }
        DetectPanelMode();
        RefreshCurrentKey();
        break;
    case PanelMode::KeyField:
        SetPanelMode(PanelMode::KeyField);
        RefreshCurrentKey();
        if (focus != m_panel->GetFunctionList()) {
            m_panel->FocusKeyName();
        }
        break;
    case PanelMode::CodeFieldIdle:
        SetPanelMode(PanelMode::CodeFieldIdle);
        if (focus != nullptr && focus != m_panel->GetFunctionList()) {
            m_panel->GetCodesGroup()->setFocus(Qt::OtherFocusReason);
        }
        break;
    case PanelMode::CapturingCodes:
        if (!m_edit.IsEditing() && GetKeyboard() != nullptr && m_edit.Begin(*GetKeyboard(), m_currentKey)) {
            const int field = m_panel->CodeFieldIndex(focus);
            const int focusIndex =
                focus == m_panel->GetFunctionList() ? 0 : (field >= 1 && field <= 16 ? field : 1);
            ShowKeyInPanel(m_edit.GetEditCell(), focusIndex);
        }
        SetPanelMode(PanelMode::CapturingCodes);
        break;
    case PanelMode::EditButtons:
        SetPanelMode(PanelMode::EditButtons);
        break;
    default:
        break;
    }
}

void EditorWindow::CommitPendingEdit()
{
    if (!m_edit.IsEditing()) {
        return;
    }
    if (m_settings.m_defaultApply) {
        ApplyEdit();
    } else {
        CancelEdit();
    }
}

void EditorWindow::ApplyEdit()
{
    Keyboard* keyboard = GetKeyboard();
    // The clear question below hands the focus around: nothing may apply the edit a second time.
    if (!m_edit.IsEditing() || keyboard == nullptr || m_applying) {
        return;
    }
    const QScopedValueRollback<bool> applying(m_applying, true);
    KeyCell* cell = CurrentCell();
    if (m_edit.GetEditCell()->IsProgrammed()) {
        m_edit.WriteBack(*keyboard);
        if (cell != nullptr) {
            m_functionList.AddOrUpdate(*cell);
        }
    } else if (cell != nullptr && cell->IsProgrammed() && (!m_settings.m_confirmDelete || AskClear(false))) {
        // Every code removed: the key is cleared, as Clear Key would.
        m_functionList.Remove(*cell);
        keyboard->ClearKey(m_currentKey);
        m_edit.WriteBack(*keyboard);
    }
    RebuildFunctionList();
    EndEdit();
    DrawAllKeys();
    SwitchPanel(PanelMode::Picture);
    NoteChange();
}

void EditorWindow::CancelEdit()
{
    EndEdit();
    SwitchPanel(m_settings.m_fastEdit ? PanelMode::Picture : PanelMode::CodeFieldIdle);
}

void EditorWindow::EndEdit()
{
    m_edit.Discard();
    RefreshCurrentKey();
    SetPanelMode(PanelMode::OtherControl);
    SwitchPanel(PanelMode::Picture);
}

void EditorWindow::OnFocusChanged(QWidget* old, QWidget* now)
{
    if (GetKeyboard() == nullptr || (now != nullptr && now->window() != this)) {
        return;
    }
    if (const int field = m_panel->CodeFieldIndex(now); field != 0) {
        OnCodeFieldEntered(old, field);
    } else if (m_configurationPage->AffixFieldOf(now) != 0) {
        OnAffixEntered(now);
    } else if (m_panel->IsKeyField(now)) {
        SwitchPanel(PanelMode::KeyField);
        return;
    }
    DetectPanelMode();
    // The highlight follows the picture's focus.
    if (IsLayoutTab() && m_focusHighlight != m_picture->hasFocus()) {
        RefreshCurrentKey();
    }
}

void EditorWindow::OnCodeFieldEntered(QWidget* old, int field)
{
    if (m_currentKey == 0) {
        m_codesEditable = false;
        return;
    }
    if (!m_codesEditable) {
        return;
    }
    int focusIndex = 0;
    if (m_settings.m_fastEdit && !m_edit.IsEditing() && m_edit.Begin(*GetKeyboard(), m_currentKey)) {
        focusIndex = m_panel->CodeFieldIndex(old) != 0 ? field : 1;
    }
    ShowKeyInPanel(m_edit.IsEditing() ? m_edit.GetEditCell() : CurrentCell(), focusIndex);
}

void EditorWindow::OnAffixEntered(QWidget* /*field*/)
{
    // In fast edit the capture is armed at once; otherwise Enter arms it.
    m_configurationPage->ShowHint(!m_settings.m_fastEdit);
    m_affixArmed = m_settings.m_fastEdit;
}

void EditorWindow::OnKeyNameEdited(const QString& text)
{
    KeyCell* cell = CurrentCell();
    if (cell == nullptr || m_edit.IsEditing()) {
        return;
    }
    cell->SetName(ToProjectText(text, cell->GetName()));
    // At once: "<<" and ">>" take no focus, so the field is not always left before the key changes.
    if (cell->IsProgrammed()) {
        UpdateFunctionEntry();
    }
    m_picture->update();
}

void EditorWindow::OnKeyNameLeft()
{
    NoteChange();
}

void EditorWindow::OnModeClicked(int mode)
{
    if (KeyCell* cell = CurrentCell()) {
        cell->SetMode(static_cast<uint8_t>(mode));
        UpdateFunctionEntry();
        RefreshCurrentKey();
    }
    NoteChange();
}

void EditorWindow::OnSetModeForAll()
{
    if (KeyCell* cell = CurrentCell()) {
        GetKeyboard()->SetModeForAllKeys(cell->GetMode());
        FillFunctionListFromAllKeys();
        DrawAllKeys();
    }
    NoteChange();
}

void EditorWindow::OnSimpleKeyClicked(bool checked)
{
    CommitPendingEdit();
    if (KeyCell* cell = CurrentCell()) {
        cell->SetSimpleKey(checked ? 1 : 0);
        UpdateFunctionEntry();
        RefreshCurrentKey();
    }
    NoteChange();
}

void EditorWindow::OnSetSimpleForAll()
{
    if (KeyCell* cell = CurrentCell()) {
        GetKeyboard()->SetSimpleKeyForAllKeys(cell->GetSimpleKey());
        FillFunctionListFromAllKeys();
        DrawAllKeys();
    }
    NoteChange();
}

void EditorWindow::OnKeyTypeChosen(int index)
{
    CommitPendingEdit();
    Keyboard* keyboard = GetKeyboard();
    KeyCell* cell = CurrentCell();
    if (keyboard == nullptr || cell == nullptr || index < 0) {
        return;
    }
    const auto type = static_cast<uint8_t>(index + 1);
    const bool clears = keyboard->WouldLoseProgramming(m_currentKey, type);
    if (clears && m_settings.m_confirmDelete && !AskClear(false)) {
        RefreshCurrentKey();
        return;
    }
    m_functionList.Remove(*cell);
    if (clears) {
        const std::string name = cell->GetName();
        keyboard->ClearKey(m_currentKey);
        cell->SetName(name);
    }
    keyboard->SetKeyType(m_currentKey, type);
    if (!cell->IsLayoutSwitch()) {
        m_functionList.AddOrUpdate(*cell);
    }
    RebuildFunctionList();
    if (clears) {
        DrawAllKeys();
    }
    RefreshCurrentKey();
    NoteChange();
}

void EditorWindow::OnEditCodes()
{
    Keyboard* keyboard = GetKeyboard();
    KeyCell* cell = CurrentCell();
    if (keyboard == nullptr || cell == nullptr || !keyboard->CanEditScanCodes()) {
        return;
    }
    ScanCodeDialog dialog(this, cell);
    dialog.Run();
    if (cell->IsProgrammed()) {
        RefreshCurrentKey();
    } else {
        ClearKeys(false);
    }
    NoteChange();
}

void EditorWindow::OnDeleteLastCode()
{
    if (KeyCell* copy = m_edit.GetEditCell()) {
        copy->DeleteLastCode();
        ShowKeyInPanel(copy, copy->GetCodeCount() + 1);
    }
}

bool EditorWindow::PreFilterKey(const KeyMessage& message, uint64_t timeMs)
{
    if (!message.IsKeyDown() && !message.IsKeyUp()) {
        return false;
    }
    if (m_spentHeldKey != 0 && message.wParam == m_spentHeldKey) {
        // A held Escape that cancelled must not go on to close the window.
        if (message.IsKeyUp()) {
            m_spentHeldKey = 0;
        }
        return true;
    }
    const bool enter = message.wParam == VirtualKeyEnter;
    switch (DetectPanelMode()) {
    case PanelMode::PrefixField:
    case PanelMode::SuffixField:
        return PreFilterAffix(message, m_panelMode == PanelMode::PrefixField);
    case PanelMode::KeyField:
        if (enter && IsFirstPress(message)) {
            SwitchPanel(m_codesEditable && !m_settings.m_fastEdit ? PanelMode::CodeFieldIdle
                                                                  : PanelMode::Picture);
            return true;
        }
        return false;
    case PanelMode::CodeFieldIdle:
        if (enter && IsFirstPress(message) && m_codesEditable) {
            SwitchPanel(PanelMode::CapturingCodes);
            return true;
        }
        return false;
    case PanelMode::CapturingCodes:
        if (!m_codesEditable) {
            return false;
        }
        CaptureCodes(message, timeMs);
        return true;
    case PanelMode::EditButtons:
        // A held Enter must not press Apply again and again.
        return m_codesEditable && message.IsKeyDown() && message.IsAutoRepeat() &&
               (enter || message.wParam == kVirtualKeySpace);
    default:
        return false;
    }
}

bool EditorWindow::PreFilterAffix(const KeyMessage& message, bool prefix)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return false;
    }
    if (!m_affixArmed) {
        if (m_configurationPage->IsHintVisible() && message.wParam == VirtualKeyEnter &&
            IsFirstPress(message)) {
            m_configurationPage->ShowHint(false);
            m_affixArmed = true;
        }
        return false;
    }
    bool handled = false;
    keyboard->CaptureAffixKey(message, prefix, &handled);
    if (handled) {
        SwitchPanel(PanelMode::PrefixField);
        NoteChange();
    }
    if (keyboard->IsAffixFull(prefix) && QApplication::focusWidget() != nullptr) {
        m_configurationPage->FocusClear(prefix);
    }
    return true;
}

void EditorWindow::CaptureCodes(const KeyMessage& message, uint64_t timeMs)
{
    const int field = m_panel->CodeFieldIndex(QApplication::focusWidget());
    const KeyEditSession::CaptureResult result = m_edit.Capture(message, field, timeMs);
    if (result.refusal != KeyEditSession::Refusal::None) {
        // Said where the user looks after a key that left no code, and heard.
        const QString note =
            result.refusal == KeyEditSession::Refusal::Full
                ? Text(IDS_KEY_FULL)
                      .replace(QStringLiteral("%s"), QString::number(m_edit.GetEditCell()->GetCapacity()))
                : Text(IDS_KEY_NOT_TAKEN);
        statusBar()->showMessage(note, kStatusNoteMs);
        QApplication::beep();
    }
    switch (result.next) {
    case KeyEditSession::Next::ShowCodes:
        ShowKeyInPanel(m_edit.GetEditCell(), result.focusField);
        break;
    case KeyEditSession::Next::FocusApply:
        ShowKeyInPanel(m_edit.GetEditCell(), KeyPanel::kApplyFocus);
        break;
    case KeyEditSession::Next::Cancel:
        m_spentHeldKey = message.IsKeyDown() ? message.wParam : 0;
        CancelEdit();
        break;
    case KeyEditSession::Next::Nothing:
        break;
    }
}

void EditorWindow::ShowKeyCodes()
{
    if (m_keyCodes == nullptr) {
        m_keyCodes = new KeyCodesDialog(this);
        connect(m_keyCodes, &KeyCodesDialog::EntryActivated, this, &EditorWindow::AddKeyCodeFromPalette);
    }
    RefreshCurrentKey();
    if (!IsLayoutTab()) {
        UpdateKeyCodes(nullptr);
    }
    m_keyCodes->show();
    m_keyCodes->raise();
    m_keyCodes->activateWindow();
    m_keyCodes->GetSearch()->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::ShowKeyTest()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    if (m_keyTest == nullptr) {
        m_keyTest = new KeyTestWindow(this);
        connect(m_keyTest, &KeyTestWindow::LayoutChosen, this, [this](int layout) {
            m_tabs->setCurrentIndex(layout);
            // Back to the test: the tab change gave the editor's picture the focus.
            m_keyTest->activateWindow();
        });
        m_captureFilter->SetKeyTest(m_keyTest);
        m_keyTest->SetKeyboard(keyboard);
    }
    m_keyTest->ShowLayout(keyboard->GetCurrentLayout());
    m_keyTest->show();
    m_keyTest->raise();
    m_keyTest->activateWindow();
}

void EditorWindow::UpdateKeyTest(bool replaced)
{
    if (m_keyTest == nullptr) {
        return;
    }
    if (replaced || m_keyTest->GetKeyboard() != GetKeyboard()) {
        m_keyTest->SetKeyboard(GetKeyboard());
    } else {
        m_keyTest->Refresh();
    }
}

void EditorWindow::UpdateKeyCodes(const KeyCell* cell)
{
    Keyboard* keyboard = GetKeyboard();
    if (m_keyCodes == nullptr || keyboard == nullptr) {
        return;
    }
    const KeyCodeFamily family =
        GetFamilyName(*keyboard) == "ZQ-1100" ? KeyCodeFamily::Legacy : KeyCodeFamily::Usb;
    m_keyCodes->SetTarget(family, IsLayoutTab() ? cell : nullptr);
}

void EditorWindow::AddKeyCodeFromPalette(const KeyCodeEntry& entry)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsLayoutTab()) {
        return;
    }
    const bool pending = m_edit.IsEditing();
    if (!pending && !m_edit.Begin(*keyboard, m_currentKey)) {
        return;
    }
    KeyCell* copy = m_edit.GetEditCell();
    if (!AddKeyCode(*copy, entry)) {
        QApplication::beep();
        if (!pending) {
            m_edit.Discard();
        }
        return;
    }
    if (pending) {
        ShowKeyInPanel(copy, copy->GetCodeCount() + 1);
        return;
    }
    KeyCell* cell = CurrentCell();
    m_edit.WriteBack(*keyboard);
    if (cell != nullptr) {
        m_functionList.AddOrUpdate(*cell);
    }
    RebuildFunctionList();
    DrawAllKeys();
    RefreshCurrentKey();
    NoteChange();
}
