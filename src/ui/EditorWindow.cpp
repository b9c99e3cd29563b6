#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "editor/ContextMenuRules.h"
#include "editor/EditorCommands.h"
#include "editor/WindowTitle.h"
#include "files/ProjectOpen.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyCaptureFilter.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"
#include "ui/SelectKeyboardDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr int kStatusTypeWidth = 200;
constexpr int kStatusNumberWidth = 80;
constexpr int kPicturePage = 1;

// The held modifiers of a mouse event, left and right told apart by the key-down table; a key
// the table still thinks down after its release went elsewhere does not count.
uint8_t ModifierBitsOf(Qt::KeyboardModifiers modifiers, uint8_t keysDown)
{
    const struct
    {
        Qt::KeyboardModifier modifier;
        uint8_t left;
        uint8_t right;
    } kinds[] = {{Qt::ShiftModifier, ModLeftShift, ModRightShift},
                 {Qt::ControlModifier, ModLeftCtrl, ModRightCtrl},
                 {Qt::AltModifier, ModLeftAlt, ModRightAlt},
                 {Qt::MetaModifier, ModLeftWindows, ModRightWindows}};
    uint8_t bits = 0;
    for (const auto& kind : kinds) {
        if (modifiers.testFlag(kind.modifier)) {
            const uint8_t known = keysDown & (kind.left | kind.right);
            bits |= known != 0 ? known : kind.left;
        }
    }
    return bits;
}

QString CommandName(uint16_t command)
{
    return QStringLiteral("cmd%1").arg(command);
}

// "Desc (*.zqp)|*.zqp|..." as the file dialog's filter lines.
QStringList DialogFilters(const std::string& filter)
{
    QStringList lines;
    const QStringList parts = FromProjectText(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            lines.append(parts[i]);
        }
    }
    return lines;
}

} // namespace

EditorWindow::EditorWindow(Settings& settings, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_store(store), m_prompts(this)
{
    setObjectName(QStringLiteral("EditorWindow"));
    BuildWindow();
    BuildMenus();
    m_captureFilter = new KeyCaptureFilter(this);
    UpdateCheckMarks();
    UpdateTitle("");
}

EditorWindow::~EditorWindow()
{
    // Closing the widget below moves the focus; the project is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
    if (m_grabber != nullptr) {
        m_grabber->releaseKeyboard();
    }
}

void EditorWindow::BuildWindow()
{
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("ctl1199"));
    for (int part = 0; part < 3; ++part) {
        m_status[part] = new QLabel(statusBar);
        m_status[part]->setObjectName(QStringLiteral("status%1").arg(part));
    }
    m_status[0]->setFixedWidth(kStatusTypeWidth);
    m_status[1]->setFixedWidth(kStatusNumberWidth);
    statusBar->addWidget(m_status[0]);
    statusBar->addWidget(m_status[1]);
    statusBar->addWidget(m_status[2], 1);
    setStatusBar(statusBar);

    auto* central = new QWidget(this);
    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("ctl1144"));
    m_tabs->setAccessibleName(Text(IDS_ACC_LAYOUT_TABS));
    m_tabs->setExpanding(false);
    m_tabs->setFocusPolicy(Qt::TabFocus);
    m_pages = new QStackedWidget(central);
    m_configurationPage = new ConfigurationPage(m_pages);
    m_picture = new KeyboardView(m_pages);
    m_picture->setAccessibleDescription(Text(IDS_ACC_KEYBOARD_PICTURE));
    auto* pictureBox = new QWidget(m_pages);
    auto* pictureLayout = new QVBoxLayout(pictureBox);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
    pictureLayout->addStretch();
    m_pages->addWidget(m_configurationPage);
    m_pages->addWidget(pictureBox);
    m_panel = new KeyPanel(central);

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(m_tabs);
    left->addWidget(m_pages, 1);
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left, 1);
    layout->addWidget(m_panel, 0);
    setCentralWidget(central);

    connect(m_tabs, &QTabBar::currentChanged, this, &EditorWindow::OnTabChanged);
    connect(m_picture, &KeyboardView::KeyClicked, this, &EditorWindow::OnKeyClicked);
    connect(m_picture, &KeyboardView::KeyDoubleClicked, this, &EditorWindow::OnKeyDoubleClicked);
    connect(m_picture, &KeyboardView::KeyMenuRequested, this, &EditorWindow::OnKeyMenu);
    connect(m_picture, &KeyboardView::MoveRequested, this, &EditorWindow::OnMove);
    connect(m_picture, &KeyboardView::EnterPressed, this, &EditorWindow::OnEnter);
    connect(m_picture, &KeyboardView::Hovered, this, &EditorWindow::OnHovered);
    connect(m_panel->GetPreviousKey(), &QPushButton::clicked, this, [this] { StepKey(false); });
    connect(m_panel->GetNextKey(), &QPushButton::clicked, this, [this] { StepKey(true); });
    connect(m_panel->GetFunctionList(), &QComboBox::activated, this, &EditorWindow::OnFunctionChosen);
    ConnectPanel();
}

QAction* EditorWindow::AddCommand(QMenu* menu, uint16_t command, uint32_t textId)
{
    auto* action = new QAction(Text(textId), this);
    action->setObjectName(CommandName(command));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    menu->addAction(action);
    m_actions[command] = action;
    return action;
}

void EditorWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(Text(IDS_MENU_FILE));
    AddCommand(file, CmdNew, IDS_MENU_NEW)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(file, CmdOpen, IDS_MENU_OPEN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(file, CmdSave, IDS_MENU_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(file, CmdSaveAs, IDS_MENU_SAVE_AS)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    AddCommand(file, CmdExit, IDS_MENU_EXIT);

    QMenu* keyboard = menuBar()->addMenu(Text(IDS_MENU_KEYBOARD));
    AddCommand(keyboard, CmdProgramming, IDS_MENU_PROGRAMMING);
    AddCommand(keyboard, CmdDownload, IDS_MENU_DOWNLOAD);
    AddCommand(keyboard, CmdUploadFirmware, IDS_MENU_UPLOAD_FIRMWARE);
    AddCommand(keyboard, CmdFirmwareVersion, IDS_MENU_FIRMWARE_VERSION);
    keyboard->addSeparator();
    AddCommand(keyboard, CmdClearAll, IDS_MENU_CLEAR_ALL_KEYS);

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

    QMenu* help = menuBar()->addMenu(Text(IDS_MENU_HELP));
    AddCommand(help, CmdHelpContent, IDS_MENU_CONTENT)->setShortcut(QKeySequence(Qt::Key_F1));
    AddCommand(help, CmdAbout, IDS_MENU_ABOUT);

    // The commands that arrive with the key panel, the clipboard and the device work.
    for (const uint16_t later :
         {CmdOpen, CmdProgramming, CmdDownload, CmdUploadFirmware, CmdFirmwareVersion, CmdHelpContent}) {
        m_actions[later]->setEnabled(false);
    }

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
}

QAction* EditorWindow::GetAction(uint16_t command) const
{
    const auto found = m_actions.find(command);
    return found != m_actions.end() ? found->second : nullptr;
}

QString EditorWindow::GetStatusText(int part) const
{
    return part >= 0 && part < 3 ? m_status[part]->text() : QString();
}

bool EditorWindow::Initialise(const std::string& path)
{
    if (!path.empty() && OpenProject(path)) {
        return true;
    }
    std::optional<uint8_t> type = m_settings.ChooseStartKeyboardType(GetKeyboardTypeCount());
    if (!type) {
        SelectKeyboardDialog dialog(this);
        const bool chosen = dialog.Run();
        // A cancelled choice starts with the first type, as an untouched list would give.
        type = m_settings.ApplyStartDialogChoice(chosen ? dialog.m_selectedType : 0,
                                                 chosen && dialog.m_useAsDefault);
        UpdateCheckMarks();
    }
    const bool created = CreateProject(*type);
    EnableKeyPanel(false);
    SetPanelMode(5);
    SetPanelMode(2);
    return created;
}

bool EditorWindow::CreateProject(uint8_t typeId)
{
    if (!CloseProject()) {
        return false;
    }
    m_clipName.clear();
    m_clipCodes.clear();
    const bool created = m_document.Create(typeId);
    m_picture->SetKeyboard(GetKeyboard());
    m_configurationPage->SetKeyboard(GetKeyboard());
    if (created) {
        // The layout tabs select this key when they are first shown.
        m_currentKey = MakeGridPoint(1, 1);
        GetKeyboard()->SetCurrentPosition(m_currentKey);
    }
    RebuildTabs();
    m_document.TakeSavedSignature();
    UpdateTitle("");
    std::string typeName;
    m_status[0]->setText(GetKeyboardTypeName(typeId, &typeName) ? FromProjectText(typeName)
                                                                : QStringLiteral("---"));
    m_functionList.Empty();
    RebuildFunctionList();
    m_settings.SetLastKeybID(typeId);
    FitToContents();
    return created;
}

bool EditorWindow::OpenProject(const std::string& path)
{
    uint8_t format = 0;
    OpenedProject opened = OpenProjectFile(path, &format);
    if (opened.keyboard == nullptr) {
        m_prompts.ShowMessage(LoadText(GetOutcomeTextId(opened.outcome)), IDS_TITLE_ERROR,
                              MessageIcon::Error);
        return false;
    }
    if (!CloseProject()) {
        return false;
    }
    m_clipName.clear();
    m_clipCodes.clear();
    m_document.Adopt(std::move(opened.keyboard), path, format);
    if (opened.outcome == OpenOutcome::DecodingErrors) {
        // What was read stays open; saving it writes only that.
        m_prompts.ShowMessage(LoadText(IDS_MSG_DECODING_ERRORS), IDS_TITLE_ERROR, MessageIcon::Error);
    }
    UpdateTitle(path);
    m_currentKey = MakeGridPoint(1, 1);
    GetKeyboard()->SetCurrentPosition(m_currentKey);
    m_functionList.Empty();
    RefreshView();
    PutOnTopOfRecentFiles(path);
    return true;
}

void EditorWindow::RefreshView()
{
    Keyboard* keyboard = GetKeyboard();
    m_picture->SetKeyboard(keyboard);
    m_configurationPage->SetKeyboard(keyboard);
    RebuildTabs();
    SetPanelMode(5);
    SetPanelMode(2);
    FillFunctionListFromAllKeys();
    m_status[0]->setText(keyboard != nullptr ? FromProjectText(keyboard->GetTypeName()) : QString());
    if (keyboard != nullptr) {
        m_settings.SetLastKeybID(keyboard->GetTypeId());
    }
    FitToContents();
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
}

bool EditorWindow::CloseProject()
{
    if (!AskSaveChanges()) {
        return false;
    }
    EnableKeyPanel(false);
    m_edit.Discard();
    UpdateCapture();
    m_picture->SetKeyboard(nullptr);
    m_configurationPage->SetKeyboard(nullptr);
    m_document.Close();
    return true;
}

bool EditorWindow::AskSaveChanges()
{
    if (GetKeyboard() == nullptr) {
        EnableKeyPanel(false);
        return true;
    }
    return m_document.AskSaveChanges(m_prompts, [this] { return Save(); });
}

bool EditorWindow::SaveProject(const std::string& path, uint8_t format)
{
    return m_document.Save(path, format, m_prompts);
}

void EditorWindow::UpdateTitle(const std::string& path)
{
    m_document.SetPath(path);
    setWindowTitle(FromProjectText(MakeWindowTitle(path)));
}

void EditorWindow::RebuildTabs()
{
    const QSignalBlocker blocker(m_tabs);
    while (m_tabs->count() > 0) {
        m_tabs->removeTab(0);
    }
    m_tabs->addTab(Text(IDS_CONFIGURATION_TAB));
    if (Keyboard* keyboard = GetKeyboard()) {
        for (uint8_t layout = 1; layout <= keyboard->GetLayoutCount(); ++layout) {
            m_tabs->addTab(FromProjectText(keyboard->GetLayoutName(layout)));
        }
    }
    m_tabs->setCurrentIndex(0);
    OnTabChanged(0);
}

bool EditorWindow::IsLayoutTab() const
{
    return m_tabs->currentIndex() > 0;
}

void EditorWindow::OnTabChanged(int index)
{
    CommitPendingEdit();
    Keyboard* keyboard = GetKeyboard();
    if (index > 0 && keyboard != nullptr && keyboard->SetCurrentLayout(static_cast<uint8_t>(index))) {
        m_pages->setCurrentIndex(kPicturePage);
        m_picture->setFocus(Qt::TabFocusReason);
        m_codesEditable = keyboard->IsValidPosition(m_currentKey) && keyboard->CurrentCellAcceptsCodes();
        SetPanelMode(5);
        DrawAllKeys();
        SelectKeyAt(m_currentKey);
        return;
    }
    m_pages->setCurrentIndex(0);
    EnableKeyPanel(false);
    m_codesEditable = false;
    SetPanelMode(2);
}

void EditorWindow::StepTab(int step)
{
    const int count = m_tabs->count();
    if (count > 0) {
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
    }
}

void EditorWindow::DrawAllKeys()
{
    m_picture->SetHighlightSuppressed(m_suppressHighlight);
    m_picture->update();
    if (Keyboard* keyboard = GetKeyboard()) {
        keyboard->GetCurrentPosition(&m_currentKey);
    }
}

void EditorWindow::RefreshCurrentKey()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsLayoutTab()) {
        return;
    }
    keyboard->GetCurrentPosition(&m_currentKey);
    m_focusHighlight = m_picture->hasFocus();
    m_picture->SetHighlightSuppressed(m_suppressHighlight);
    m_picture->update();
    KeyCell* cell = nullptr;
    if (keyboard->GetCell(m_currentKey, &cell)) {
        ShowKeyInPanel(m_edit.IsEditing() ? m_edit.GetEditCell() : cell, 0);
        const QString name = FromProjectText(cell->GetName());
        m_picture->setAccessibleName(name.isEmpty() ? QString::number(cell->GetKeyNumber()) : name);
    }
}

bool EditorWindow::SelectKeyAt(GridPoint point)
{
    m_suppressHighlight = false;
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsLayoutTab() || !keyboard->SetCurrentPosition(point)) {
        return false;
    }
    RefreshCurrentKey();
    return true;
}

void EditorWindow::OnKeyClicked(GridPoint cell, Qt::KeyboardModifiers modifiers)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    SwitchPanel(5);
    const uint8_t bits = ModifierBitsOf(modifiers, m_captureFilter->GetModifierState());
    if (bits == 0) {
        SelectKeyAt(cell);
        return;
    }
    const uint8_t change = GetCtrlClickChange(*keyboard, m_currentKey, cell);
    if (IsCtrlOnly(bits) && change != 0) {
        ApplyShapeChange(change);
    }
}

void EditorWindow::OnKeyDoubleClicked(GridPoint cell, Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::NoModifier) {
        return;
    }
    SelectKeyAt(cell);
    if (m_settings.m_fastEdit && m_codesEditable) {
        m_panel->FocusCodeField(1);
    } else {
        SwitchPanel(6);
    }
}

void EditorWindow::OnMove(int dx, int dy)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    if (dx < 0) {
        keyboard->MoveLeft();
    } else if (dx > 0) {
        keyboard->MoveRight();
    } else if (dy < 0) {
        keyboard->MoveUp();
    } else {
        keyboard->MoveDown();
    }
    m_suppressHighlight = false;
    RefreshCurrentKey();
}

void EditorWindow::OnEnter()
{
    RefreshCurrentKey();
    if (m_settings.m_fastEdit && m_codesEditable) {
        m_panel->FocusCodeField(1);
    } else {
        m_panel->FocusKeyName();
    }
}

void EditorWindow::StepKey(bool forward)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    if (forward) {
        keyboard->MoveToNextKey();
    } else {
        keyboard->MoveToPreviousKey();
    }
    m_suppressHighlight = false;
    RefreshCurrentKey();
}

void EditorWindow::OnHovered(std::optional<GridPoint> cell)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !cell) {
        m_status[2]->setText(Text(IDS_STATUS_NO_NAME));
        m_status[1]->setText(Text(IDS_STATUS_NO_NUMBER));
        return;
    }
    KeyCell* keyCell = nullptr;
    const std::string name = keyboard->GetCell(*cell, &keyCell) ? keyCell->GetName() : std::string("-*-*-");
    m_status[2]->setText(FromProjectText(LoadTextWithArgument(IDS_STATUS_NAME, name)));
    const uint16_t number = keyboard->GetCellIndex(*cell, keyboard->GetCurrentLayout());
    m_status[1]->setText(FromProjectText(ReplaceFirstNumber(LoadText(IDS_STATUS_NUMBER), number, "%d")));
}

void EditorWindow::ApplyShapeChange(uint8_t change)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    CommitPendingEdit();
    auto masterNumber = [keyboard, this] {
        KeyCell* cell = nullptr;
        return keyboard->GetCell(m_currentKey, &cell) ? cell->GetMaster()->GetKeyNumber() : uint16_t{0};
    };
    const uint16_t before = masterNumber();
    keyboard->ChangeShape(m_currentKey, change, keyboard->GetCurrentLayout());
    DrawAllKeys();
    RefreshCurrentKey();
    const uint16_t after = masterNumber();
    if (before != 0 && after != 0 && before != after) {
        m_functionList.Renumber(before, after);
    }
    RebuildFunctionList();
}

void EditorWindow::RebuildFunctionList()
{
    QComboBox* combo = m_panel->GetFunctionList();
    combo->clear();
    for (const std::string& line : m_functionList.Rebuild()) {
        combo->addItem(FromProjectText(line));
    }
    combo->setCurrentIndex(-1);
    combo->setEnabled(combo->count() > 0);
}

void EditorWindow::FillFunctionListFromAllKeys()
{
    if (Keyboard* keyboard = GetKeyboard()) {
        m_functionList.FillFromAllKeys(*keyboard);
    }
    RebuildFunctionList();
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

void EditorWindow::OnFunctionChosen(int comboIndex)
{
    Keyboard* keyboard = GetKeyboard();
    const FunctionEntry* entry = m_functionList.GetEntry(static_cast<uint16_t>(comboIndex + 1));
    if (keyboard == nullptr || entry == nullptr) {
        return;
    }
    CommitPendingEdit();
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    if (entry->keyNumber != 0 && keyboard->GetCellPosition(entry->keyNumber, &column, &row, &layout)) {
        m_tabs->setCurrentIndex(layout);
        SwitchPanel(5);
        SelectKeyAt(MakeGridPoint(column, row));
        return;
    }
    // A free function is shown on its own: no key of the picture holds it.
    m_suppressHighlight = true;
    m_codesEditable = false;
    KeyCell* scratch = nullptr;
    if (keyboard->BeginEditCell(0, 0, &scratch, 0) && scratch != nullptr) {
        const std::unique_ptr<KeyCell> owned(scratch);
        m_functionList.ApplyEntry(static_cast<uint16_t>(comboIndex + 1), *owned);
        ShowKeyInPanel(owned.get(), 0);
    }
    m_picture->SetHighlightSuppressed(true);
    m_currentKey = 0;
}

void EditorWindow::ApplyQuadCorner(uint8_t corner)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    CommitPendingEdit();
    keyboard->ChangeShape(m_currentKey, corner, keyboard->GetCurrentLayout());
    // The picture repaints from the model, so the new quad shows at once.
    RefreshCurrentKey();
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
        QAction* action = to->addAction(Text(textId));
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

void EditorWindow::RunCommand(uint16_t command)
{
    CommitPendingEdit();
    switch (command) {
    case CmdProgramKey:
        m_panel->FocusCodeField(1);
        SwitchPanel(8);
        break;
    case CmdNew:
        NewProject();
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
    case CmdAbout:
        ShowAbout();
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
        ToggleSetting(command);
        break;
    default:
        break;
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
    const QStringList filters = DialogFilters(filter);
    QFileDialog dialog(this, QString(), QFile::decodeName(m_document.GetPath().c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(FromProjectText(extension));
    const int format = m_document.GetFileFormat();
    if (format >= 1 && format <= filters.size()) {
        dialog.selectNameFilter(filters[format - 1]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const std::string path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    const auto chosenFormat = static_cast<uint8_t>(filters.indexOf(dialog.selectedNameFilter()) + 1);
    if (!SaveProject(path, chosenFormat)) {
        return false;
    }
    UpdateTitle(path);
    return true;
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
    default:
        return;
    }
    UpdateCheckMarks();
}

void EditorWindow::UpdateCheckMarks()
{
    const std::pair<uint16_t, bool> marks[] = {
        {CmdDefaultApply, m_settings.m_defaultApply},   {CmdFastEdit, m_settings.m_fastEdit},
        {CmdEscEnd, m_settings.m_escEndApplication},    {CmdConfirmReplace, m_settings.m_confirmReplace},
        {CmdConfirmDelete, m_settings.m_confirmDelete}, {CmdUseDefaultKeyb, m_settings.m_useDefaultKeyb},
        {CmdUseLastKeyb, m_settings.m_useLastKeyb}};
    for (const auto& [command, on] : marks) {
        if (QAction* action = GetAction(command)) {
            action->setChecked(on);
        }
    }
}

bool EditorWindow::ExitStep()
{
    CommitPendingEdit();
    return CloseProject();
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (ExitStep()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void EditorWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_settings.m_escEndApplication) {
            close();
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void EditorWindow::FitToContents()
{
    const QSize wanted = sizeHint().expandedTo(size());
    if (wanted != size()) {
        resize(wanted);
    }
}
