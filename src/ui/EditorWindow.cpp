#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "device/MessagePump.h"
#include "device/UsbVendorId.h"
#include "editor/ContextMenuRules.h"
#include "editor/EditorCommands.h"
#include "editor/WindowTitle.h"
#include "files/ProjectOpen.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyCaptureFilter.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"
#include "ui/NumberEdit.h"
#include "ui/QtTexts.h"
#include "ui/SelectKeyboardDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>
#include <utility>

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

// Holds the panel in the scroll area without passing on its height-for-width: the area would ask
// for it at every turn, and each answer lays out the panel's wrapped notes again.
class PanelHolder : public QWidget
{
public:
    explicit PanelHolder(QWidget* panel)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(panel);
    }
    bool hasHeightForWidth() const override { return false; }
    int heightForWidth(int /*width*/) const override { return -1; }
};

// The key panel where the screen is too low for it: it scrolls up and down, never across, and
// asks for its full height while there is room. When it would scroll (the key fields shown, the
// window's first layout), the window is told, so that it grows where the screen allows.
class PanelScroller : public QScrollArea
{
public:
    PanelScroller(QWidget* panel, QWidget* parent, std::function<void()> grown)
        : QScrollArea(parent), m_grown(std::move(grown))
    {
        // Resizable first: a fixed widget would be sized to its hint at once, a layout for nothing.
        setWidgetResizable(true);
        setWidget(new PanelHolder(panel));
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        // Tab goes through the panel's own fields, and the area scrolls to the one it reaches.
        setFocusPolicy(Qt::NoFocus);
        widget()->installEventFilter(this);
    }
    // Room for the scroll bar too: the panel keeps its width when the bar shows.
    QSize sizeHint() const override { return widget()->sizeHint() + QSize(ScrollBarWidth(), 0); }
    QSize minimumSizeHint() const override
    {
        return QSize(widget()->minimumSizeHint().width() + ScrollBarWidth(), kLeastPanelHeight);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Before the window shows, its own first layout asks for everything anyway.
        if (watched == widget() && event->type() == QEvent::LayoutRequest && isVisible()) {
            updateGeometry();
            if (widget()->sizeHint().height() > viewport()->height()) {
                m_grown();
            }
        }
        return QScrollArea::eventFilter(watched, event);
    }

private:
    static constexpr int kLeastPanelHeight = 120;
    int ScrollBarWidth() const { return verticalScrollBar()->sizeHint().width(); }

    std::function<void()> m_grown;
};

} // namespace

EditorWindow::EditorWindow(Settings& settings, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_store(store), m_prompts(this)
{
    setObjectName(QStringLiteral("EditorWindow"));
    setAcceptDrops(true);
    // ZQ_VENDOR_ID, else the setting "VendorID", else the keyboards' own.
    m_document.SetVendorId(LoadVendorIdSetting(store));
    BuildWindow();
    BuildMenus();
    m_captureFilter = new KeyCaptureFilter(this);
    // Long keyboard commands keep the window painting.
    SetPumpMessagesHook([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 500); });
    UpdateCheckMarks();
    UpdateTitle("");
}

EditorWindow::~EditorWindow()
{
    // Deleting the widgets below moves the focus and ends edits (the key name field's
    // editingFinished); the project is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
    SetPumpMessagesHook(nullptr);
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
    // A long key name or hint takes the room there is; it never widens the window.
    m_status[2]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    m_pages->addWidget(m_configurationPage);
    m_pages->addWidget(m_picture);
    m_panel = new KeyPanel(central);

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(m_tabs);
    left->addWidget(m_pages, 1);
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left, 1);
    layout->addWidget(new PanelScroller(m_panel, central,
                                        [this] {
                                            if (isVisible()) {
                                                FitToContents();
                                            }
                                        }),
                      0);
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
    connect(m_panel->GetKeyCodes(), &QPushButton::clicked, this, [this] { RunCommand(CmdKeyCodes); });
    connect(m_panel->GetTakeOtherKey(), &QPushButton::clicked, this, [this] { RunCommand(CmdTakeOtherKey); });
    connect(m_panel->GetCloseComparison(), &QPushButton::clicked, this,
            [this] { RunCommand(CmdCloseComparison); });
    m_picture->SetComparison(&m_comparison);
    connect(m_panel->GetFunctionList(), &QComboBox::currentIndexChanged, this,
            &EditorWindow::UpdateCommandStates);
    ConnectPanel();
}

// The file and what was wrong with it follow the message, as zqtool prints them.
void EditorWindow::ShowOpenFailure(const std::string& path, const OpenedProject& opened)
{
    const std::string why = DescribeOpenFailure(opened);
    m_prompts.ShowMessage(LoadText(GetOutcomeTextId(opened.outcome)) + "\n\n" + path +
                              (why.empty() ? "" : ": " + why),
                          IDS_TITLE_ERROR, MessageIcon::Error);
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
    SetPanelMode(PanelMode::Picture);
    SetPanelMode(PanelMode::ConfigurationTab);
    return created;
}

bool EditorWindow::CreateProject(uint8_t typeId)
{
    if (!CloseProject()) {
        return false;
    }
    m_clipboard.Clear();
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
    std::string typeName;
    m_status[0]->setText(GetKeyboardTypeName(typeId, &typeName) ? FromProjectText(typeName)
                                                                : QStringLiteral("---"));
    m_functionList.Empty();
    RebuildFunctionList();
    UpdateConversionMenu();
    m_settings.SetLastKeybID(typeId);
    FitToContents();
    // The title too (the document has no path now): its unsaved mark compares the first step with
    // the saved signature, with no third signature of a large project taken for it.
    ResetHistory();
    return created;
}

bool EditorWindow::OpenProject(const std::string& path)
{
    uint8_t format = 0;
    OpenedProject opened = OpenProjectFile(path, &format);
    if (opened.keyboard == nullptr) {
        ShowOpenFailure(path, opened);
        return false;
    }
    // The save question may just write this very file: then load what it holds after. Without
    // changes to save nothing is written, and what was read stands.
    const bool mayWrite = m_document.HasUnsavedChanges();
    if (!CloseProject()) {
        return false;
    }
    if (mayWrite) {
        opened = OpenProjectFile(path, &format);
    }
    if (opened.keyboard == nullptr) {
        ShowOpenFailure(path, opened);
        return false;
    }
    m_clipboard.Clear();
    m_document.Adopt(std::move(opened.keyboard), path, format);
    if (opened.outcome == OpenOutcome::DecodingErrors) {
        // What was read stays open; saving it writes only that.
        m_prompts.ShowMessage(LoadText(IDS_MSG_DECODING_ERRORS), IDS_TITLE_ERROR, MessageIcon::Error);
    }
    m_currentKey = MakeGridPoint(1, 1);
    GetKeyboard()->SetCurrentPosition(m_currentKey);
    m_functionList.Empty();
    RefreshView();
    PutOnTopOfRecentFiles(path);
    // The title too, with the path the document was given.
    ResetHistory();
    return true;
}

void EditorWindow::RefreshView()
{
    Keyboard* keyboard = GetKeyboard();
    m_picture->SetKeyboard(keyboard);
    m_configurationPage->SetKeyboard(keyboard);
    RebuildTabs();
    SetPanelMode(PanelMode::Picture);
    SetPanelMode(PanelMode::ConfigurationTab);
    FillFunctionListFromAllKeys();
    m_status[0]->setText(keyboard != nullptr ? FromProjectText(keyboard->GetTypeName()) : QString());
    if (keyboard != nullptr) {
        m_settings.SetLastKeybID(keyboard->GetTypeId());
    }
    UpdateConversionMenu();
    UpdateKeyTest(true);
    FitToContents();
}

bool EditorWindow::CloseProject()
{
    if (!AskSaveChanges()) {
        return false;
    }
    // The comparison was with this project: another one starts without it.
    EndComparison();
    EnableKeyPanel(false);
    m_edit.Discard();
    UpdateCapture();
    m_picture->SetKeyboard(nullptr);
    m_configurationPage->SetKeyboard(nullptr);
    m_document.Close();
    UpdateKeyTest(true);
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
    RefreshTitle();
}

void EditorWindow::RefreshTitle()
{
    setWindowTitle(FromProjectText(MakeWindowTitle(m_document.GetPath(), m_document.IsReadOnly())));
    // The undo step just taken holds the project's signature: a large project's costs a
    // millisecond to make again.
    setWindowModified(m_snapshot.text.empty() ? m_document.HasUnsavedChanges()
                                              : !m_document.IsSavedSignature(m_snapshot.signature));
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
        OnHovered(std::nullopt);
        SetPanelMode(PanelMode::Picture);
        DrawAllKeys();
        SelectKeyAt(m_currentKey);
        if (m_keyTest != nullptr) {
            m_keyTest->ShowLayout(static_cast<uint8_t>(index));
        }
        return;
    }
    // The tab bar, before the picture is hidden: the focus would move on to the first option,
    // an affix field that captures typing at once. Also while a dialog has the focus: the window
    // gets it back when the dialog closes.
    if (isVisible()) {
        m_tabs->setFocus(Qt::TabFocusReason);
    }
    m_pages->setCurrentIndex(0);
    EnableKeyPanel(false);
    UpdateKeyCodes(nullptr);
    m_codesEditable = false;
    SetPanelMode(PanelMode::ConfigurationTab);
    // Where the keys are is not obvious on the first start, which shows this tab.
    m_status[1]->clear();
    m_status[2]->setText(keyboard != nullptr && m_tabs->count() > 1 ? Text(IDS_STATUS_PICK_LAYOUT)
                                                                    : QString());
    ShowComparisonInPanel();
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
    m_picture->RefreshSelection();
    KeyCell* cell = nullptr;
    if (keyboard->GetCell(m_currentKey, &cell)) {
        ShowKeyInPanel(m_edit.IsEditing() ? m_edit.GetEditCell() : cell, 0);
        ShowComparisonInPanel();
        const QString name = FromProjectText(cell->GetName());
        m_picture->setAccessibleName(name.isEmpty() ? QString::number(cell->GetKeyNumber()) : name);
    }
    // The key shortcuts act on the key now selected.
    UpdateCommandStates();
}

bool EditorWindow::SelectKeyAt(GridPoint point)
{
    CommitPendingEdit();
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
    SwitchPanel(PanelMode::Picture);
    const uint8_t bits = ModifierBitsOf(modifiers, m_captureFilter->GetModifierState());
    if (bits == 0) {
        SelectKeyAt(cell);
        return;
    }
    const uint8_t change = GetCtrlClickChange(*keyboard, m_currentKey, cell);
    if (IsCtrlOnly(bits) && change != 0) {
        ApplyShapeChange(change);
        NoteChange();
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
        SwitchPanel(PanelMode::KeyField);
    }
}

void EditorWindow::OnMove(int dx, int dy)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    CommitPendingEdit();
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
    // The buttons take no focus, so nothing else ends the edit of the key being left.
    CommitPendingEdit();
    if (forward) {
        keyboard->MoveToNextKey();
    } else {
        keyboard->MoveToPreviousKey();
    }
    m_suppressHighlight = false;
    RefreshCurrentKey();
    NoteChange();
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
    QStringList lines;
    for (const std::string& line : m_functionList.Rebuild()) {
        lines.append(FromProjectText(line));
    }
    // All at once: each item added alone is a change of the list the box answers on its own.
    combo->addItems(lines);
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
        SwitchPanel(PanelMode::Picture);
        SelectKeyAt(MakeGridPoint(column, row));
        return;
    }
    // A free function is shown on its own: no key of the picture holds it.
    m_suppressHighlight = true;
    m_codesEditable = false;
    std::unique_ptr<KeyCell> scratch;
    if (keyboard->BeginEditCell(0, 0, &scratch, 0)) {
        m_functionList.ApplyEntry(static_cast<uint16_t>(comboIndex + 1), *scratch);
        ShowKeyInPanel(scratch.get(), 0);
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

bool EditorWindow::ExitStep()
{
    CommitPendingEdit();
    return CloseProject();
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (!m_deviceBusy && ExitStep()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void EditorWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // The comparison ends first: a second Escape may end the program.
        if (m_comparison.IsActive()) {
            RunCommand(CmdCloseComparison);
        } else if (m_settings.m_escEndApplication) {
            close();
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void EditorWindow::FitToContents()
{
    // Never larger than the screen's free area (the panel scrolls and the picture shrinks instead),
    // and never smaller than it is: the frame known once shown would shrink it for nothing.
    QSize wanted = sizeHint();
    if (const QScreen* shown = screen()) {
        const QSize frame = frameGeometry().size() - geometry().size();
        wanted = wanted.boundedTo(shown->availableGeometry().size() - frame);
    }
    wanted = wanted.expandedTo(size()).expandedTo(minimumSizeHint());
    if (wanted != size()) {
        resize(wanted);
    }
}

void EditorWindow::ResetHistory()
{
    m_history.Clear();
    m_snapshot = ProjectSnapshot();
    NoteChange();
}

void EditorWindow::NoteChange()
{
    RecordChange();
    RefreshComparison();
    UpdateCommandStates();
    RefreshTitle();
    UpdateKeyTest(false);
}

void EditorWindow::RecordChange()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    if (m_snapshot.text.empty() || keyboard->GetContentSignature() != m_snapshot.signature) {
        std::optional<ProjectSnapshot> now = TakeSnapshot(*keyboard);
        if (!now) {
            return;
        }
        if (!m_snapshot.text.empty()) {
            m_history.Record(std::move(m_snapshot));
        }
        m_snapshot = std::move(*now);
    }
    m_snapshot.key = m_currentKey;
    m_snapshot.tab = m_tabs->currentIndex();
}

void EditorWindow::StepHistory(bool undo)
{
    // Rebuilding the view moves the focus; it must not end up in a text field, which would then
    // take the next Ctrl+Z for its own text.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    NoteChange();
    std::optional<ProjectSnapshot> target = undo ? m_history.Undo(m_snapshot) : m_history.Redo(m_snapshot);
    if (!target) {
        return;
    }
    std::unique_ptr<Keyboard> restored = RestoreSnapshot(*target);
    if (restored == nullptr) {
        return;
    }
    m_edit.Discard();
    m_document.ReplaceKeyboard(std::move(restored));
    m_snapshot = std::move(*target);
    // What the file text cannot hold (the mode of an empty ZQ-1100 key) is gone from the restored
    // project: its own signature is the step's, or the next action would see a change that wipes
    // the redo steps and leaves the older undo steps unreachable.
    m_snapshot.signature = GetKeyboard()->GetContentSignature();
    m_functionList.Empty();
    RefreshView();
    const GridPoint key = m_snapshot.key != 0 ? m_snapshot.key : MakeGridPoint(1, 1);
    GetKeyboard()->SetCurrentPosition(key);
    m_currentKey = key;
    m_tabs->setCurrentIndex(m_snapshot.tab < m_tabs->count() ? m_snapshot.tab : 0);
    SelectKeyAt(key);
    if (focus != nullptr && focus->isVisible() && focus->isEnabled() && m_panel->CodeFieldIndex(focus) == 0 &&
        m_configurationPage->AffixFieldOf(focus) == 0) {
        focus->setFocus(Qt::OtherFocusReason);
    } else if (QApplication::focusWidget() != nullptr) {
        (IsLayoutTab() ? static_cast<QWidget*>(m_picture) : m_tabs)->setFocus(Qt::OtherFocusReason);
    }
    RefreshComparison();
    UpdateCommandStates();
    RefreshTitle();
}

void EditorWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void EditorWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    CommitPendingEdit();
    if (OpenProject(QFile::encodeName(urls.first().toLocalFile()).toStdString())) {
        m_document.SetReadOnly(false);
    }
    NoteChange();
}
