// The editor window's menus and the commands behind them: files, the key clipboard, clearing,
// conversions, the configuration toggles and help.
#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "editor/ContextMenuRules.h"
#include "editor/ConversionQuestion.h"
#include "editor/DeviceCommandRunner.h"
#include "editor/EditorCommands.h"
#include "editor/KeyFinder.h"
#include "editor/WindowTitle.h"
#include "lang/BuiltinStrings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "lang/Translations.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/FileDialogs.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"
#include "ui/SelectKeyboardDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QUrl>

namespace {

QString CommandName(uint16_t command)
{
    return QStringLiteral("cmd%1").arg(command);
}

// The user guide installed with the program: beside it in a build, in the share folder of an
// installation.
// Beside the program (a build or the Windows folder), then where the package installs it.
QStringList UserGuidePlaces()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder + QStringLiteral("/guide/index.html"),
            QDir::cleanPath(folder + QStringLiteral("/../share/zq-programmer/guide/index.html"))};
}

QString FindUserGuide()
{
    for (const QString& candidate : UserGuidePlaces()) {
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

const std::vector<EditorWindow::CommandEntry>& EditorWindow::CommandTable()
{
    using W = EditorWindow;
    constexpr auto none = QKeySequence::UnknownKey;
    // Shortcuts: the platform's standard ones first, then the program's own (portable text).
    static const std::vector<CommandEntry> table = {
        {CmdNew, IDS_MENU_NEW, QKeySequence::New, nullptr, [](W& w) { w.NewProject(); }},
        {CmdOpen, IDS_MENU_OPEN, QKeySequence::Open, nullptr, [](W& w) { w.OpenCommand(); }},
        {CmdSave, IDS_MENU_SAVE, QKeySequence::Save, nullptr, [](W& w) { w.Save(); }},
        {CmdSaveAs, IDS_MENU_SAVE_AS, QKeySequence::SaveAs, "Ctrl+Shift+S", [](W& w) { w.SaveProjectAs(); }},
        {CmdPrintLegends, IDS_MENU_PRINT_LEGENDS, QKeySequence::Print, nullptr,
         [](W& w) { w.PrintLegendsCommand(); }},
        {CmdPrintReport, IDS_MENU_PRINT_REPORT, none, nullptr, [](W& w) { w.PrintReportCommand(); }},
        {CmdExit, IDS_MENU_EXIT, none, nullptr, [](W& w) { w.close(); }},
        {CmdCompareFile, IDS_MENU_COMPARE_FILE, none, nullptr, [](W& w) { w.CompareWithFileCommand(); }},
        {CmdCompareKeyboard, IDS_MENU_COMPARE_KEYBOARD, none, nullptr,
         [](W& w) { w.CompareWithKeyboardCommand(); }},
        {CmdCloseComparison, IDS_MENU_CLOSE_COMPARISON, none, nullptr, [](W& w) { w.EndComparison(); }},
        {CmdTakeOtherKey, IDS_MENU_TAKE_OTHER_KEY, none, nullptr, [](W& w) { w.TakeOtherKeyCommand(); }},
        {CmdUndo, IDS_MENU_UNDO, QKeySequence::Undo, nullptr, [](W& w) { w.StepHistory(true); }},
        {CmdRedo, IDS_MENU_REDO, QKeySequence::Redo, "Ctrl+Y; Ctrl+Shift+Z",
         [](W& w) { w.StepHistory(false); }},
        // The key clipboard works on the picture's key; in a text field the same keys edit text.
        {CmdCopy, IDS_CTX_COPY, QKeySequence::Copy, "Ctrl+C; Ctrl+Ins", [](W& w) { w.CopyKey(); }, true},
        {CmdCut, IDS_CTX_CUT, QKeySequence::Cut, "Ctrl+X; Shift+Del", [](W& w) { w.CutKey(); }, true},
        {CmdPaste, IDS_CTX_PASTE, QKeySequence::Paste, "Ctrl+V; Shift+Ins", [](W& w) { w.PasteKey(); }, true},
        {CmdSwap, IDS_CTX_SWAP, none, "Ctrl+K; Ctrl+Shift+Ins", [](W& w) { w.SwapKey(); }, true},
        {CmdPasteFromList, IDS_CTX_PASTE_FROM_LIST, none, nullptr, [](W& w) { w.PasteFromFunctionList(); },
         true},
        {CmdClearKey, IDS_CTX_CLEAR_KEY, none, "Del", [](W& w) { w.ClearKeyCommand(); }, true},
        {CmdProgramKey, IDS_CTX_PROGRAM_KEY, none, nullptr, [](W& w) { w.ProgramKeyCommand(); }},
        {CmdSingle, IDS_CTX_SINGLE, none, nullptr, [](W& w) { w.ApplyShapeChange(0); }},
        {CmdDoubleRight, IDS_CTX_TO_RIGHT, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeRight); }},
        {CmdDoubleLeft, IDS_CTX_TO_LEFT, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeLeft); }},
        {CmdDoubleDown, IDS_CTX_TO_DOWN, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeBelow); }},
        {CmdDoubleUp, IDS_CTX_TO_UP, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeAbove); }},
        {CmdQuadRight, IDS_CTX_TO_RIGHT, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeRight); }},
        {CmdQuadLeft, IDS_CTX_TO_LEFT, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeLeft); }},
        {CmdQuadDown, IDS_CTX_TO_DOWN, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeBelow); }},
        {CmdQuadUp, IDS_CTX_TO_UP, none, nullptr, [](W& w) { w.ApplyShapeChange(ShapeAbove); }},
        {CmdQuadRightDown, IDS_CTX_TO_RIGHT_DOWN, none, nullptr,
         [](W& w) { w.ApplyQuadCorner(ShapeBelow | ShapeRight | ShapeRightBelow); }},
        {CmdQuadRightUp, IDS_CTX_TO_RIGHT_UP, none, nullptr,
         [](W& w) { w.ApplyQuadCorner(ShapeAbove | ShapeRight | ShapeRightAbove); }},
        {CmdQuadLeftDown, IDS_CTX_TO_LEFT_DOWN, none, nullptr,
         [](W& w) { w.ApplyQuadCorner(ShapeBelow | ShapeLeft | ShapeLeftBelow); }},
        {CmdQuadLeftUp, IDS_CTX_TO_LEFT_UP, none, nullptr,
         [](W& w) { w.ApplyQuadCorner(ShapeAbove | ShapeLeft | ShapeLeftAbove); }},
        {CmdClearAll, IDS_MENU_CLEAR_ALL_KEYS, none, nullptr, [](W& w) { w.ClearAllCommand(); }},
        {CmdProgramming, IDS_MENU_PROGRAMMING, none, nullptr,
         [](W& w) { w.RunDeviceCommand(DeviceCommandKind::Program); }},
        {CmdDownload, IDS_MENU_DOWNLOAD, none, nullptr, [](W& w) { w.DownloadCommand(); }},
        {CmdUploadFirmware, IDS_MENU_UPLOAD_FIRMWARE, none, nullptr,
         [](W& w) { w.RunDeviceCommand(DeviceCommandKind::UploadFirmware); }},
        {CmdFirmwareVersion, IDS_MENU_FIRMWARE_VERSION, none, nullptr,
         [](W& w) { w.RunDeviceCommand(DeviceCommandKind::FirmwareVersion); }},
        {CmdOpenBackups, IDS_MENU_OPEN_BACKUPS, none, nullptr, [](W& w) { w.OpenBackupsCommand(); }},
        {CmdProgramAll, IDS_MENU_PROGRAM_ALL, none, nullptr, [](W& w) { w.ProgramAllCommand(); }},
        {CmdKeyCodes, IDS_MENU_KEY_CODES, none, nullptr, [](W& w) { w.ShowKeyCodes(); }},
        {CmdTestKeys, IDS_MENU_TEST_KEYS, none, nullptr, [](W& w) { w.ShowKeyTest(); }},
        // Ctrl+F is the picture's; F3 steps from anywhere, as in other programs' searches.
        {CmdFindKey, IDS_MENU_FIND_KEY, QKeySequence::Find, nullptr, [](W& w) { w.FindKeyCommand(); }, true},
        {CmdFindNext, IDS_MENU_FIND_NEXT, QKeySequence::FindNext, "F3", [](W& w) { w.StepFind(true); }},
        {CmdFindPrevious, IDS_MENU_FIND_PREVIOUS, QKeySequence::FindPrevious, "Shift+F3",
         [](W& w) { w.StepFind(false); }},
        {CmdFastEdit, IDS_MENU_FAST_EDIT, none, nullptr, nullptr, false, &Settings::m_fastEdit},
        {CmdDefaultApply, IDS_MENU_DEFAULT_APPLY, none, nullptr, nullptr, false, &Settings::m_defaultApply},
        {CmdEscEnd, IDS_MENU_ESC_END, none, nullptr, nullptr, false, &Settings::m_escEndApplication},
        {CmdConfirmDelete, IDS_MENU_CONFIRM_DELETE, none, nullptr, nullptr, false,
         &Settings::m_confirmDelete},
        {CmdConfirmReplace, IDS_MENU_CONFIRM_REPLACE, none, nullptr, nullptr, false,
         &Settings::m_confirmReplace},
        // The two start choices exclude each other: their toggles clear the partner.
        {CmdUseDefaultKeyb, IDS_MENU_USE_DEFAULT_KEYB, none, nullptr,
         [](W& w) { w.m_settings.ToggleUseDefaultKeyb(); }, false, &Settings::m_useDefaultKeyb},
        {CmdUseLastKeyb, IDS_MENU_USE_LAST_KEYB, none, nullptr,
         [](W& w) { w.m_settings.ToggleUseLastKeyb(); }, false, &Settings::m_useLastKeyb},
        {CmdVerifyAfterProgramming, IDS_MENU_VERIFY_AFTER_PROGRAMMING, none, nullptr, nullptr, false,
         &Settings::m_verifyAfterProgramming},
        {CmdBackupBeforeProgramming, IDS_MENU_BACKUP_BEFORE_PROGRAMMING, none, nullptr, nullptr, false,
         &Settings::m_backupBeforeProgramming},
        {CmdHelpContent, IDS_MENU_CONTENT, QKeySequence::HelpContents, "F1", [](W& w) { w.ShowHelp(); }},
        {CmdAbout, IDS_MENU_ABOUT, none, nullptr, [](W& w) { w.ShowAbout(); }},
    };
    return table;
}

const EditorWindow::CommandEntry* EditorWindow::FindCommand(uint16_t command)
{
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.id == command) {
            return &entry;
        }
    }
    return nullptr;
}

QAction* EditorWindow::NewCommandAction(uint16_t command, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setObjectName(CommandName(command));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    return action;
}

QAction* EditorWindow::InsertCommand(QMenu* menu, uint16_t command, const QString& text, QAction* before)
{
    QAction* action = NewCommandAction(command, text);
    menu->insertAction(before, action);
    return action;
}

void EditorWindow::CreateCommandActions()
{
    for (const CommandEntry& entry : CommandTable()) {
        QAction* action = NewCommandAction(entry.id, MenuText(entry.textId));
        QList<QKeySequence> keys = QKeySequence::keyBindings(entry.standardKey);
        for (const QKeySequence& key : QKeySequence::listFromString(QString::fromLatin1(entry.keys))) {
            if (!keys.contains(key)) {
                keys.append(key);
            }
        }
        action->setShortcuts(keys);
        action->setCheckable(entry.setting != nullptr);
        if (entry.onPicture) {
            action->setShortcutContext(Qt::WidgetShortcut);
            m_picture->addAction(action);
        }
        m_actions[entry.id] = action;
    }
    m_contextClearAll = NewCommandAction(CmdClearAll, MenuText(IDS_CTX_CLEAR_ALL));
}

void EditorWindow::AddCommands(QMenu* menu, std::initializer_list<uint16_t> commands)
{
    for (const uint16_t command : commands) {
        if (command == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(GetAction(command));
        }
    }
}

void EditorWindow::BuildMenus()
{
    CreateCommandActions();
    m_fileMenu = menuBar()->addMenu(Text(IDS_MENU_FILE));
    AddCommands(m_fileMenu, {CmdNew, CmdOpen, CmdSave, CmdSaveAs, 0, CmdCompareFile, CmdCloseComparison, 0,
                             CmdPrintLegends, CmdPrintReport, 0, CmdExit});
    QMenu* edit = menuBar()->addMenu(Text(IDS_MENU_EDIT));
    AddCommands(edit, {CmdUndo, CmdRedo, 0, CmdCopy, CmdCut, CmdPaste, CmdSwap, CmdPasteFromList, CmdClearKey,
                       CmdTakeOtherKey, 0, CmdFindKey, CmdFindNext, CmdFindPrevious, 0, CmdKeyCodes});
    connect(edit, &QMenu::aboutToShow, this, &EditorWindow::UpdateCommandStates);
    m_keyboardMenu = menuBar()->addMenu(Text(IDS_MENU_KEYBOARD));
    AddCommands(m_keyboardMenu,
                {CmdProgramming, CmdProgramAll, CmdDownload, CmdCompareKeyboard, CmdUploadFirmware,
                 CmdFirmwareVersion, CmdTestKeys, CmdOpenBackups, 0, CmdClearAll});
    QMenu* configuration = menuBar()->addMenu(Text(IDS_MENU_CONFIGURATION));
    AddCommands(configuration, {CmdFastEdit, CmdDefaultApply, CmdEscEnd, CmdConfirmDelete, CmdConfirmReplace,
                                CmdUseDefaultKeyb, CmdUseLastKeyb, 0, CmdVerifyAfterProgramming,
                                CmdBackupBeforeProgramming, 0});
    BuildLanguageMenu(*configuration->addMenu(Text(IDS_MENU_LANGUAGE)));
    QMenu* help = menuBar()->addMenu(Text(IDS_MENU_HELP));
    AddCommands(help, {CmdHelpContent, CmdAbout});

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

void EditorWindow::BuildLanguageMenu(QMenu& menu)
{
    menu.setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(&menu);
    const std::string chosen = Settings::LoadLanguage(m_store);
    const auto add = [&](const QString& text, const std::string& language) {
        QAction* action = menu.addAction(text);
        action->setCheckable(true);
        action->setChecked(language == chosen);
        action->setData(QString::fromStdString(language));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] {
            Settings::SaveLanguage(m_store, language);
            m_prompts.ShowMessage(LoadText(IDS_MSG_LANGUAGE_NEXT_START), IDS_PROGRAM_NAME,
                                  MessageIcon::Information);
        });
    };
    add(Text(IDS_LANGUAGE_DESKTOP), std::string());
    menu.addSeparator();
    std::vector<std::string> languages = ListTranslations(
        GetTranslationFolders(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()));
    languages.insert(languages.begin(), "en");
    for (const std::string& language : languages) {
        // Each language by its own name, as its speakers look for it; English without a country.
        QString name = language == "en" ? QStringLiteral("English")
                                        : QLocale(QString::fromStdString(language)).nativeLanguageName();
        name = name.isEmpty() ? QString::fromStdString(language) : name.left(1).toUpper() + name.mid(1);
        add(name + QStringLiteral(" (") + QString::fromStdString(language) + QLatin1Char(')'), language);
    }
}

void EditorWindow::UpdateRecentFilesMenu()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        m_actions.erase(static_cast<uint16_t>(action->data().toUInt()));
        delete action;
    }
    m_recentActions.clear();
    const RecentFiles files = Settings::LoadRecentFiles(m_store);
    if (files[0].empty()) {
        return;
    }
    // Right in front of Exit, whatever commands the menu holds above them.
    QAction* below = GetAction(CmdExit);
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].empty()) {
            continue;
        }
        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QFile::decodeName(files[i].c_str()));
        const auto command = static_cast<uint16_t>(CmdRecentFile1 + i);
        m_actions[command] = InsertCommand(m_fileMenu, command, text, below);
        m_recentActions.push_back(m_actions[command]);
    }
    m_recentActions.push_back(m_fileMenu->insertSeparator(below));
}

void EditorWindow::UpdateConversionMenu()
{
    Keyboard* keyboard = GetKeyboard();
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
    } else if (command >= CmdRecentFile1 && command < CmdRecentFile1 + kRecentFileCount) {
        const RecentFiles files = Settings::LoadRecentFiles(m_store);
        if (OpenProject(files[command - CmdRecentFile1])) {
            m_document.SetReadOnly(false);
        }
    } else if (const CommandEntry* entry = FindCommand(command)) {
        if (entry->run != nullptr) {
            entry->run(*this);
        } else if (entry->setting != nullptr) {
            m_settings.*entry->setting = !(m_settings.*entry->setting);
        }
        if (entry->setting != nullptr) {
            UpdateCheckMarks();
        }
    }
    NoteChange();
}

void EditorWindow::ProgramKeyCommand()
{
    m_panel->FocusCodeField(1);
    SwitchPanel(PanelMode::CapturingCodes);
}

void EditorWindow::ClearKeyCommand()
{
    KeyCell* cell = CurrentCell();
    if (cell != nullptr && cell->IsModified() && (!m_settings.m_confirmDelete || AskClear(false))) {
        ClearKeys(false);
    }
}

void EditorWindow::ClearAllCommand()
{
    if (AskClear(true)) {
        ClearKeys(true);
        // A cleared project is a new one: saving must not overwrite the file it came from.
        UpdateTitle("");
    }
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
        choice = AskForFileHere(FileDialogKind::SaveProject, DialogFilters(filter), path,
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
    const FileChoice choice = AskForFileHere(FileDialogKind::OpenProject, DialogFilters(GetOpenFileFilter()),
                                             std::string(), 0, QString());
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
    const std::string question = MakeConversionQuestion(*keyboard, item);
    if (!question.empty() &&
        m_prompts.Ask(question, IDS_TITLE_QUESTION, PromptButtons::YesNo) != PromptAnswer::Yes) {
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
    OpenGuide(FindUserGuide());
}

void EditorWindow::OpenGuide(const QString& guide)
{
    // Without a guide or a program to show it, the user is told where it is, or should be.
    if (guide.isEmpty()) {
        m_prompts.ShowMessage(LoadTextWithArgument(IDS_MSG_GUIDE_MISSING,
                                                   QFile::encodeName(UserGuidePlaces().last()).toStdString()),
                              IDS_TITLE_ERROR, MessageIcon::Error);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        m_prompts.ShowMessage(
            LoadTextWithArgument(IDS_MSG_GUIDE_NOT_SHOWN, QFile::encodeName(guide).toStdString()),
            IDS_TITLE_ERROR, MessageIcon::Error);
    }
}

void EditorWindow::ShowAbout()
{
    QMessageBox::about(this, Text(IDS_ABOUT_CAPTION),
                       Text(IDS_PROGRAM_NAME) + QLatin1Char('\n') + Text(IDS_VERSION_LABEL) +
                           QLatin1Char(' ') + QStringLiteral(ZQ_VERSION_TEXT));
}

void EditorWindow::UpdateCheckMarks()
{
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.setting != nullptr) {
            GetAction(entry.id)->setChecked(m_settings.*entry.setting);
        }
    }
}

KeyMenuState EditorWindow::UpdateCommandStates()
{
    Keyboard* keyboard = GetKeyboard();
    KeyCell* cell = CurrentCell();
    KeyMenuState state;
    if (cell != nullptr) {
        state = GetKeyMenuState(*keyboard, m_currentKey, m_clipboard.GetCodes(),
                                m_panel->GetFunctionList()->currentIndex() >= 0);
    }
    // The function list may change before the menus are built.
    if (m_actions.empty()) {
        return state;
    }
    // The key commands act on the current key: without one there is nothing for them to do.
    for (const uint16_t command :
         {CmdProgramKey,    CmdCopy,          CmdCut,         CmdPaste,        CmdSwap,
          CmdPasteFromList, CmdClearKey,      CmdSingle,      CmdDoubleRight,  CmdDoubleLeft,
          CmdDoubleDown,    CmdDoubleUp,      CmdQuadRight,   CmdQuadLeft,     CmdQuadDown,
          CmdQuadUp,        CmdQuadRightDown, CmdQuadRightUp, CmdQuadLeftDown, CmdQuadLeftUp}) {
        GetAction(command)->setEnabled(cell != nullptr && state.IsEnabled(command));
    }
    GetAction(CmdClearAll)->setEnabled(keyboard != nullptr);
    GetAction(CmdPrintLegends)->setEnabled(keyboard != nullptr);
    GetAction(CmdPrintReport)->setEnabled(keyboard != nullptr);
    GetAction(CmdKeyCodes)->setEnabled(keyboard != nullptr);
    GetAction(CmdTestKeys)->setEnabled(keyboard != nullptr);
    GetAction(CmdFindKey)->setEnabled(keyboard != nullptr);
    GetAction(CmdFindNext)->setEnabled(keyboard != nullptr && !m_findText.empty());
    GetAction(CmdFindPrevious)->setEnabled(keyboard != nullptr && !m_findText.empty());
    m_contextClearAll->setEnabled(keyboard != nullptr);
    const std::pair<uint16_t, DeviceCommandKind> devices[] = {
        {CmdProgramming, DeviceCommandKind::Program},
        {CmdDownload, DeviceCommandKind::Download},
        {CmdUploadFirmware, DeviceCommandKind::UploadFirmware},
        {CmdFirmwareVersion, DeviceCommandKind::FirmwareVersion}};
    for (const auto& [command, kind] : devices) {
        GetAction(command)->setEnabled(keyboard != nullptr && IsDeviceCommandAvailable(*keyboard, kind));
    }
    GetAction(CmdProgramAll)
        ->setEnabled(keyboard != nullptr && IsDeviceCommandAvailable(*keyboard, DeviceCommandKind::Program));
    GetAction(CmdCompareFile)->setEnabled(keyboard != nullptr);
    GetAction(CmdCompareKeyboard)
        ->setEnabled(keyboard != nullptr && IsDeviceCommandAvailable(*keyboard, DeviceCommandKind::Download));
    GetAction(CmdCloseComparison)->setEnabled(m_comparison.IsActive());
    GetAction(CmdTakeOtherKey)->setEnabled(CanTakeOtherKey());
    GetAction(CmdUndo)->setEnabled(m_history.CanUndo());
    GetAction(CmdRedo)->setEnabled(m_history.CanRedo());
    return state;
}

void EditorWindow::PutOnTopOfRecentFiles(const std::string& path)
{
    RecentFiles files = Settings::LoadRecentFiles(m_store);
    Settings::PutOnTop(files, path);
    Settings::SaveRecentFiles(m_store, files);
    UpdateRecentFilesMenu();
}

std::unique_ptr<QMenu> EditorWindow::BuildKeyMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("popUp"));
    const KeyMenuState state = UpdateCommandStates();
    if (CurrentCell() == nullptr) {
        return menu;
    }
    AddCommands(menu.get(), {CmdProgramKey, 0, CmdCopy, CmdCut, CmdPaste, CmdSwap, CmdPasteFromList});
    if (m_comparison.IsActive()) {
        AddCommands(menu.get(), {CmdTakeOtherKey});
    }
    AddCommands(menu.get(), {0, CmdSingle});
    QMenu* doubles = menu->addMenu(Text(IDS_CTX_DOUBLE));
    doubles->setObjectName(QStringLiteral("popupDouble"));
    AddCommands(doubles, {CmdDoubleRight, CmdDoubleLeft, CmdDoubleDown, CmdDoubleUp});
    doubles->setEnabled(!state.doublePopupGrayed);
    QMenu* quad = menu->addMenu(Text(IDS_CTX_QUAD));
    quad->setEnabled(!state.quadPopupGrayed);
    if (state.showCornerQuad) {
        quad->setObjectName(QStringLiteral("popupQuadCorners"));
        AddCommands(quad, {CmdQuadRightDown, CmdQuadRightUp, CmdQuadLeftDown, CmdQuadLeftUp});
    } else {
        quad->setObjectName(QStringLiteral("popupQuadFromDouble"));
        AddCommands(quad, {CmdQuadRight, CmdQuadLeft, CmdQuadDown, CmdQuadUp});
    }
    AddCommands(menu.get(), {0, CmdClearKey});
    menu->addAction(m_contextClearAll);
    return menu;
}

void EditorWindow::OnKeyMenu(GridPoint cell, const QPoint& globalPosition)
{
    m_picture->setFocus(Qt::PopupFocusReason);
    if (!SelectKeyAt(cell)) {
        return;
    }
    std::unique_ptr<QMenu> menu = BuildKeyMenu();
    if (!menu->isEmpty()) {
        menu->exec(globalPosition);
    }
}

void EditorWindow::FindKeyCommand()
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("findKey"));
    dialog.setWindowTitle(Text(IDS_FIND_KEY_CAPTION));
    dialog.setLabelText(Text(IDS_FIND_KEY_PROMPT));
    dialog.setTextValue(QString::fromStdString(m_findText));
    if (dialog.exec() != QDialog::Accepted || dialog.textValue().trimmed().isEmpty()) {
        return;
    }
    m_findText = dialog.textValue().toStdString();
    StepFind(true);
}

void EditorWindow::StepFind(bool forward)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || m_findText.empty()) {
        return;
    }
    const std::vector<FoundKey> found = FindKeys(*keyboard, m_findText);
    const int index =
        StepFoundKeys(found, FoundKey{static_cast<uint8_t>(m_tabs->currentIndex()), m_currentKey}, forward);
    if (index < 0) {
        statusBar()->showMessage(
            Text(IDS_FIND_NOT_FOUND).replace(QStringLiteral("%s"), QString::fromStdString(m_findText)),
            kStatusNoteMs);
        QApplication::beep();
        return;
    }
    const FoundKey& key = found[static_cast<size_t>(index)];
    m_tabs->setCurrentIndex(key.layout);
    SelectKeyAt(key.point);
    m_picture->setFocus(Qt::OtherFocusReason);
    KeyCell* cell = CurrentCell();
    statusBar()->showMessage(
        Text(IDS_FIND_MATCH)
            .replace(QStringLiteral("%s"), QString::number(index + 1))
            .replace(QStringLiteral("%t"), QString::number(found.size()))
            .replace(QStringLiteral("%n"), cell != nullptr ? FromProjectText(cell->GetName()) : QString()),
        kStatusNoteMs);
}
