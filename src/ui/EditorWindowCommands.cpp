// The editor window's menus and the commands behind them: files, the key clipboard, clearing,
// conversions, the configuration toggles and help.
#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "editor/ContextMenuRules.h"
#include "editor/DeviceCommandRunner.h"
#include "editor/EditorCommands.h"
#include "editor/WindowTitle.h"
#include "lang/BuiltinStrings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/FileDialogs.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"
#include "ui/SelectKeyboardDialog.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <QUrl>

namespace {

QString CommandName(uint16_t command)
{
    return QStringLiteral("cmd%1").arg(command);
}

// The user guide installed with the program: beside it in a build, in the share folder of an
// installation.
QString FindUserGuide()
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {folder + QStringLiteral("/guide/index.html"),
                                     folder + QStringLiteral("/../share/zq-programmer/guide/index.html")}) {
        if (QFileInfo(candidate).isReadable()) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return QString();
}

// A menu item's text; a translated one without the accelerator hint keeps the built-in one's.
QString MenuText(uint32_t id)
{
    QString text = Text(id);
    std::string builtIn;
    FindBuiltinString(id, builtIn);
    const QString own = FromProjectText(builtIn);
    if (!text.contains(QLatin1Char('\t')) && own.indexOf(QLatin1Char('\t')) > 0) {
        text += own.mid(own.indexOf(QLatin1Char('\t')));
    }
    return text;
}

} // namespace

QAction* EditorWindow::AddCommand(QMenu* menu, uint16_t command, uint32_t textId)
{
    QAction* action = InsertCommand(menu, command, MenuText(textId), nullptr);
    m_actions[command] = action;
    return action;
}

QAction* EditorWindow::InsertCommand(QMenu* menu, uint16_t command, const QString& text, QAction* before)
{
    auto* action = new QAction(text, this);
    action->setObjectName(CommandName(command));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    menu->insertAction(before, action);
    return action;
}

void EditorWindow::BuildMenus()
{
    m_fileMenu = menuBar()->addMenu(Text(IDS_MENU_FILE));
    AddCommand(m_fileMenu, CmdNew, IDS_MENU_NEW)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(m_fileMenu, CmdOpen, IDS_MENU_OPEN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(m_fileMenu, CmdSave, IDS_MENU_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(m_fileMenu, CmdSaveAs, IDS_MENU_SAVE_AS)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, CmdExit, IDS_MENU_EXIT);

    QMenu* edit = menuBar()->addMenu(Text(IDS_MENU_EDIT));
    AddCommand(edit, CmdUndo, IDS_MENU_UNDO)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddCommand(edit, CmdRedo, IDS_MENU_REDO)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    // The key clipboard works on the picture's key; in a text field the same keys edit text.
    const struct
    {
        uint16_t command;
        uint32_t textId;
        QList<QKeySequence> keys;
    } clipboard[] = {
        {CmdCopy,
         IDS_CTX_COPY,
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {CmdCut, IDS_CTX_CUT, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {CmdPaste,
         IDS_CTX_PASTE,
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {CmdSwap,
         IDS_CTX_SWAP,
         {QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert)}},
        {CmdPasteFromList, IDS_CTX_PASTE_FROM_LIST, {}},
        {CmdClearKey, IDS_CTX_CLEAR_KEY, {QKeySequence(Qt::Key_Delete)}},
    };
    for (const auto& item : clipboard) {
        QAction* action = AddCommand(edit, item.command, item.textId);
        action->setShortcuts(item.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        m_picture->addAction(action);
    }

    m_keyboardMenu = menuBar()->addMenu(Text(IDS_MENU_KEYBOARD));
    AddCommand(m_keyboardMenu, CmdProgramming, IDS_MENU_PROGRAMMING);
    AddCommand(m_keyboardMenu, CmdDownload, IDS_MENU_DOWNLOAD);
    AddCommand(m_keyboardMenu, CmdUploadFirmware, IDS_MENU_UPLOAD_FIRMWARE);
    AddCommand(m_keyboardMenu, CmdFirmwareVersion, IDS_MENU_FIRMWARE_VERSION);
    AddCommand(m_keyboardMenu, CmdOpenBackups, IDS_MENU_OPEN_BACKUPS);
    m_keyboardMenu->addSeparator();
    AddCommand(m_keyboardMenu, CmdClearAll, IDS_MENU_CLEAR_ALL_KEYS);

    QMenu* configuration = menuBar()->addMenu(Text(IDS_MENU_CONFIGURATION));
    const std::pair<uint16_t, uint32_t> toggles[] = {{CmdFastEdit, IDS_MENU_FAST_EDIT},
                                                     {CmdDefaultApply, IDS_MENU_DEFAULT_APPLY},
                                                     {CmdEscEnd, IDS_MENU_ESC_END},
                                                     {CmdConfirmDelete, IDS_MENU_CONFIRM_DELETE},
                                                     {CmdConfirmReplace, IDS_MENU_CONFIRM_REPLACE},
                                                     {CmdUseDefaultKeyb, IDS_MENU_USE_DEFAULT_KEYB},
                                                     {CmdUseLastKeyb, IDS_MENU_USE_LAST_KEYB}};
    for (const auto& [command, textId] : toggles) {
        AddCommand(configuration, command, textId)->setCheckable(true);
    }
    configuration->addSeparator();
    AddCommand(configuration, CmdVerifyAfterProgramming, IDS_MENU_VERIFY_AFTER_PROGRAMMING)
        ->setCheckable(true);
    AddCommand(configuration, CmdBackupBeforeProgramming, IDS_MENU_BACKUP_BEFORE_PROGRAMMING)
        ->setCheckable(true);

    QMenu* help = menuBar()->addMenu(Text(IDS_MENU_HELP));
    AddCommand(help, CmdHelpContent, IDS_MENU_CONTENT)->setShortcut(QKeySequence(Qt::Key_F1));
    AddCommand(help, CmdAbout, IDS_MENU_ABOUT);

    // Tabs by keyboard from anywhere in the window.
    auto* nextTab = new QAction(this);
    nextTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    connect(nextTab, &QAction::triggered, this, [this] { StepTab(1); });
    auto* previousTab = new QAction(this);
    previousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                               QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(previousTab, &QAction::triggered, this, [this] { StepTab(-1); });
    addAction(nextTab);
    addAction(previousTab);
    UpdateRecentFilesMenu();
}

void EditorWindow::UpdateRecentFilesMenu()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const RecentFiles files = Settings::LoadRecentFiles(m_store);
    if (files[0].empty()) {
        return;
    }
    QAction* exit = GetAction(CmdExit);
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].empty()) {
            continue;
        }
        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QFile::decodeName(files[i].c_str()));
        m_recentActions.push_back(
            InsertCommand(m_fileMenu, static_cast<uint16_t>(CmdRecentFile1 + i), text, exit));
    }
    m_recentActions.push_back(m_fileMenu->insertSeparator(exit));
}

void EditorWindow::UpdateConversionMenu()
{
    Keyboard* keyboard = GetKeyboard();
    const std::pair<uint16_t, DeviceCommandKind> devices[] = {
        {CmdProgramming, DeviceCommandKind::Program},
        {CmdDownload, DeviceCommandKind::Download},
        {CmdUploadFirmware, DeviceCommandKind::UploadFirmware},
        {CmdFirmwareVersion, DeviceCommandKind::FirmwareVersion}};
    for (const auto& [command, kind] : devices) {
        GetAction(command)->setEnabled(keyboard != nullptr && IsDeviceCommandAvailable(*keyboard, kind));
    }
    for (QAction* action : m_conversionActions) {
        m_keyboardMenu->removeAction(action);
        m_actions.erase(static_cast<uint16_t>(action->data().toUInt()));
        delete action;
    }
    m_conversionActions.clear();
    if (keyboard == nullptr) {
        return;
    }
    QAction* clearAll = GetAction(CmdClearAll);
    for (uint8_t item = 1; item <= keyboard->GetConversionCount(); ++item) {
        std::string title;
        if (!keyboard->GetConversionTitle(item, &title)) {
            continue;
        }
        const auto command = static_cast<uint16_t>(CmdConvertFirst + item - 1);
        QAction* action = InsertCommand(m_keyboardMenu, command, FromProjectText(title), clearAll);
        m_actions[command] = action;
        m_conversionActions.push_back(action);
    }
    if (!m_conversionActions.empty()) {
        m_conversionActions.push_back(m_keyboardMenu->insertSeparator(clearAll));
    }
}

QAction* EditorWindow::GetAction(uint16_t command) const
{
    const auto found = m_actions.find(command);
    return found != m_actions.end() ? found->second : nullptr;
}

void EditorWindow::RunCommand(uint16_t command)
{
    CommitPendingEdit();
    if (command >= CmdConvertFirst && command < CmdConvertFirst + 8) {
        Convert(static_cast<uint8_t>(command - CmdConvertFirst + 1));
        return;
    }
    if (command >= CmdRecentFile1 && command < CmdRecentFile1 + kRecentFileCount) {
        const RecentFiles files = Settings::LoadRecentFiles(m_store);
        if (OpenProject(files[command - CmdRecentFile1])) {
            m_document.SetReadOnly(false);
        }
        return;
    }
    switch (command) {
    case CmdProgramKey:
        m_panel->FocusCodeField(1);
        SwitchPanel(8);
        break;
    case CmdNew:
        NewProject();
        break;
    case CmdOpen:
        OpenCommand();
        break;
    case CmdSave:
        Save();
        break;
    case CmdSaveAs:
        SaveProjectAs();
        break;
    case CmdExit:
        close();
        break;
    case CmdUndo:
    case CmdRedo:
        StepHistory(command == CmdUndo);
        break;
    case CmdCopy:
        CopyKey();
        break;
    case CmdCut:
        CutKey();
        break;
    case CmdPaste:
        PasteKey(m_settings.m_confirmReplace);
        break;
    case CmdSwap:
        SwapKey();
        break;
    case CmdPasteFromList:
        PasteFromFunctionList();
        break;
    case CmdClearKey: {
        KeyCell* cell = nullptr;
        if (GetKeyboard() != nullptr && GetKeyboard()->GetCurrentCell(&cell) && cell->IsModified() &&
            (!m_settings.m_confirmDelete || AskClear(false))) {
            ClearKeys(false);
        }
        break;
    }
    case CmdClearAll:
        if (AskClear(true)) {
            ClearKeys(true);
            // A cleared project is a new one: saving must not overwrite the file it came from.
            UpdateTitle("");
        }
        break;
    case CmdProgramming:
        RunDeviceCommand(0);
        break;
    case CmdDownload:
        DownloadCommand();
        break;
    case CmdUploadFirmware:
        RunDeviceCommand(2);
        break;
    case CmdFirmwareVersion:
        RunDeviceCommand(3);
        break;
    case CmdOpenBackups:
        OpenBackupsCommand();
        break;
    case CmdSingle:
        ApplyShapeChange(0);
        break;
    case CmdDoubleRight:
    case CmdQuadRight:
        ApplyShapeChange(ShapeRight);
        break;
    case CmdDoubleLeft:
    case CmdQuadLeft:
        ApplyShapeChange(ShapeLeft);
        break;
    case CmdDoubleDown:
    case CmdQuadDown:
        ApplyShapeChange(ShapeBelow);
        break;
    case CmdDoubleUp:
    case CmdQuadUp:
        ApplyShapeChange(ShapeAbove);
        break;
    case CmdQuadRightDown:
        ApplyQuadCorner(ShapeBelow | ShapeRight | ShapeRightBelow);
        break;
    case CmdQuadRightUp:
        ApplyQuadCorner(ShapeAbove | ShapeRight | ShapeRightAbove);
        break;
    case CmdQuadLeftDown:
        ApplyQuadCorner(ShapeBelow | ShapeLeft | ShapeLeftBelow);
        break;
    case CmdQuadLeftUp:
        ApplyQuadCorner(ShapeAbove | ShapeLeft | ShapeLeftAbove);
        break;
    case CmdFastEdit:
    case CmdDefaultApply:
    case CmdEscEnd:
    case CmdConfirmDelete:
    case CmdConfirmReplace:
    case CmdUseDefaultKeyb:
    case CmdUseLastKeyb:
    case CmdVerifyAfterProgramming:
    case CmdBackupBeforeProgramming:
        ToggleSetting(command);
        break;
    case CmdHelpContent:
        ShowHelp();
        break;
    case CmdAbout:
        ShowAbout();
        break;
    default:
        break;
    }
    NoteChange();
}

void EditorWindow::NewProject()
{
    // The type is asked first, so that cancelling the choice leaves the project as it is.
    SelectKeyboardDialog dialog(this);
    if (!dialog.Run()) {
        return;
    }
    if (dialog.m_useAsDefault) {
        m_settings.ApplyStartDialogChoice(dialog.m_selectedType, true);
        UpdateCheckMarks();
    }
    if (CreateProject(dialog.m_selectedType)) {
        m_functionList.FillFromAllKeys(*GetKeyboard());
        RebuildFunctionList();
    }
}

bool EditorWindow::Save()
{
    if (!m_document.IsReadOnly() && !m_document.GetPath().empty()) {
        return SaveProject(m_document.GetPath(), 0);
    }
    return SaveProjectAs();
}

bool EditorWindow::SaveProjectAs()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return false;
    }
    std::string filter;
    std::string extension;
    keyboard->GetFileFilter(&filter, &extension);
    std::string path = m_document.GetPath();
    FileChoice choice;
    // A format whose file the project's own reader refuses is written only when the user says so;
    // otherwise the dialog comes back, with a format that reads back offered again.
    do {
        choice = AskForFile(this, FileDialogKind::SaveProject, DialogFilters(filter), path,
                            m_document.GetSaveAsFormat(), FromProjectText(extension));
        if (!choice.accepted) {
            return false;
        }
        path = choice.path;
    } while (!m_document.ConfirmSaveFormat(static_cast<uint8_t>(choice.filterIndex), m_prompts));
    if (!SaveProject(choice.path, static_cast<uint8_t>(choice.filterIndex))) {
        return false;
    }
    UpdateTitle(choice.path);
    PutOnTopOfRecentFiles(choice.path);
    return true;
}

void EditorWindow::OpenCommand()
{
    if (GetKeyboard() == nullptr) {
        return;
    }
    const FileChoice choice = AskForFile(this, FileDialogKind::OpenProject,
                                         DialogFilters(GetOpenFileFilter()), std::string(), 0, QString());
    if (choice.accepted && OpenProject(choice.path)) {
        m_document.SetReadOnly(choice.readOnly);
    }
}

void EditorWindow::Convert(uint8_t item)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    std::string warning;
    if (keyboard->GetConversionWarning(item, &warning) &&
        m_prompts.Ask(warning, IDS_TITLE_QUESTION, PromptButtons::YesNo) != PromptAnswer::Yes) {
        return;
    }
    bool changed = false;
    std::unique_ptr<Keyboard> converted(keyboard->Convert(item, &changed));
    if (converted != nullptr) {
        if (!CloseProject()) {
            return;
        }
        // The converted project is not what the file holds: it stays an unsaved change.
        m_document.ReplaceKeyboard(std::move(converted));
    } else if (!changed) {
        return;
    }
    // The new type's own file format: a plain Save must write a file its type can read again.
    m_document.SetFileFormat(0);
    // Keys were renumbered or dropped: their entries are made anew, the free functions stay.
    m_functionList.RemoveKeyEntries();
    RefreshView();
}

void EditorWindow::ShowHelp()
{
    if (m_capturing) {
        return;
    }
    const QString guide = FindUserGuide();
    if (!guide.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
    }
}

void EditorWindow::ShowAbout()
{
    QMessageBox::about(this, Text(IDS_ABOUT_CAPTION),
                       Text(IDS_PROGRAM_NAME) + QLatin1Char('\n') + Text(IDS_VERSION_LABEL) +
                           QLatin1Char(' ') + QStringLiteral(ZQ_VERSION_TEXT));
}

void EditorWindow::ToggleSetting(uint16_t command)
{
    switch (command) {
    case CmdFastEdit:
        m_settings.m_fastEdit = !m_settings.m_fastEdit;
        break;
    case CmdDefaultApply:
        m_settings.m_defaultApply = !m_settings.m_defaultApply;
        break;
    case CmdEscEnd:
        m_settings.m_escEndApplication = !m_settings.m_escEndApplication;
        break;
    case CmdConfirmDelete:
        m_settings.m_confirmDelete = !m_settings.m_confirmDelete;
        break;
    case CmdConfirmReplace:
        m_settings.m_confirmReplace = !m_settings.m_confirmReplace;
        break;
    case CmdUseDefaultKeyb:
        m_settings.ToggleUseDefaultKeyb();
        break;
    case CmdUseLastKeyb:
        m_settings.ToggleUseLastKeyb();
        break;
    case CmdVerifyAfterProgramming:
        m_settings.m_verifyAfterProgramming = !m_settings.m_verifyAfterProgramming;
        break;
    case CmdBackupBeforeProgramming:
        m_settings.m_backupBeforeProgramming = !m_settings.m_backupBeforeProgramming;
        break;
    default:
        return;
    }
    UpdateCheckMarks();
}

void EditorWindow::UpdateCheckMarks()
{
    const std::pair<uint16_t, bool> marks[] = {
        {CmdDefaultApply, m_settings.m_defaultApply},
        {CmdFastEdit, m_settings.m_fastEdit},
        {CmdEscEnd, m_settings.m_escEndApplication},
        {CmdConfirmReplace, m_settings.m_confirmReplace},
        {CmdConfirmDelete, m_settings.m_confirmDelete},
        {CmdUseDefaultKeyb, m_settings.m_useDefaultKeyb},
        {CmdUseLastKeyb, m_settings.m_useLastKeyb},
        {CmdVerifyAfterProgramming, m_settings.m_verifyAfterProgramming},
        {CmdBackupBeforeProgramming, m_settings.m_backupBeforeProgramming}};
    for (const auto& [command, on] : marks) {
        if (QAction* action = GetAction(command)) {
            action->setChecked(on);
        }
    }
}

void EditorWindow::PutOnTopOfRecentFiles(const std::string& path)
{
    RecentFiles files = Settings::LoadRecentFiles(m_store);
    size_t at = 0;
    while (at < files.size() - 1 && files[at] != path) {
        ++at;
    }
    for (; at > 0; --at) {
        files[at] = files[at - 1];
    }
    files[0] = path;
    Settings::SaveRecentFiles(m_store, files);
    UpdateRecentFilesMenu();
}

std::unique_ptr<QMenu> EditorWindow::BuildKeyMenu(GridPoint key)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("popUp"));
    Keyboard* keyboard = GetKeyboard();
    KeyCell* cell = nullptr;
    if (keyboard == nullptr || !keyboard->GetCell(key, &cell)) {
        return menu;
    }
    const bool entrySelected = m_panel->GetFunctionList()->currentIndex() >= 0;
    const KeyMenuState state = GetKeyMenuState(*keyboard, key, m_clipCodes, entrySelected);
    auto add = [this, &state](QMenu* to, uint16_t command, uint32_t textId) {
        QAction* action = to->addAction(MenuText(textId));
        action->setObjectName(CommandName(command));
        action->setData(command);
        action->setEnabled(state.IsEnabled(command));
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    };
    add(menu.get(), CmdProgramKey, IDS_CTX_PROGRAM_KEY);
    menu->addSeparator();
    add(menu.get(), CmdCopy, IDS_CTX_COPY);
    add(menu.get(), CmdCut, IDS_CTX_CUT);
    add(menu.get(), CmdPaste, IDS_CTX_PASTE);
    add(menu.get(), CmdSwap, IDS_CTX_SWAP);
    add(menu.get(), CmdPasteFromList, IDS_CTX_PASTE_FROM_LIST);
    menu->addSeparator();
    add(menu.get(), CmdSingle, IDS_CTX_SINGLE);
    QMenu* doubles = menu->addMenu(Text(IDS_CTX_DOUBLE));
    doubles->setObjectName(QStringLiteral("popupDouble"));
    add(doubles, CmdDoubleRight, IDS_CTX_TO_RIGHT);
    add(doubles, CmdDoubleLeft, IDS_CTX_TO_LEFT);
    add(doubles, CmdDoubleDown, IDS_CTX_TO_DOWN);
    add(doubles, CmdDoubleUp, IDS_CTX_TO_UP);
    doubles->setEnabled(!state.doublePopupGrayed);
    QMenu* quad = menu->addMenu(Text(IDS_CTX_QUAD));
    quad->setEnabled(!state.quadPopupGrayed);
    if (state.showCornerQuad) {
        quad->setObjectName(QStringLiteral("popupQuadCorners"));
        add(quad, CmdQuadRightDown, IDS_CTX_TO_RIGHT_DOWN);
        add(quad, CmdQuadRightUp, IDS_CTX_TO_RIGHT_UP);
        add(quad, CmdQuadLeftDown, IDS_CTX_TO_LEFT_DOWN);
        add(quad, CmdQuadLeftUp, IDS_CTX_TO_LEFT_UP);
    } else {
        quad->setObjectName(QStringLiteral("popupQuadFromDouble"));
        add(quad, CmdQuadRight, IDS_CTX_TO_RIGHT);
        add(quad, CmdQuadLeft, IDS_CTX_TO_LEFT);
        add(quad, CmdQuadDown, IDS_CTX_TO_DOWN);
        add(quad, CmdQuadUp, IDS_CTX_TO_UP);
    }
    menu->addSeparator();
    add(menu.get(), CmdClearKey, IDS_CTX_CLEAR_KEY);
    add(menu.get(), CmdClearAll, IDS_CTX_CLEAR_ALL);
    return menu;
}

void EditorWindow::OnKeyMenu(GridPoint cell, const QPoint& globalPosition)
{
    m_picture->setFocus(Qt::PopupFocusReason);
    if (!SelectKeyAt(cell)) {
        return;
    }
    std::unique_ptr<QMenu> menu = BuildKeyMenu(m_currentKey);
    if (!menu->isEmpty()) {
        menu->exec(globalPosition);
    }
}
