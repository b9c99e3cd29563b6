// The editor's main window: menus, the layout tabs over the keyboard picture, the key panel and
// the status bar. Slots forward to the editor logic and refresh what changed.
#pragma once

#include "editor/ContextMenuRules.h"
#include "editor/DeviceCommandRunner.h"
#include "editor/EditorDocument.h"
#include "editor/FunctionList.h"
#include "editor/KeyClipboard.h"
#include "editor/KeyEditSession.h"
#include "editor/PanelMode.h"
#include "editor/ProjectComparison.h"
#include "editor/UndoHistory.h"
#include "model/GridPoint.h"
#include "ui/FileDialogs.h"
#include "ui/KeyCodesDialog.h"
#include "ui/KeyTestWindow.h"
#include "ui/MessageBox.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ConfigurationPage;
class KeyCell;
class Keyboard;
class KeyboardView;
struct KeyMessage;
class KeyCaptureFilter;
class KeyPanel;
struct OpenedProject;
class ProgressSink;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabBar;
class Settings;
class SettingsStore;

class EditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // How long a note in the status bar stays: long enough to be read.
    static constexpr int kStatusNoteMs = 5000;

    EditorWindow(Settings& settings, SettingsStore& store, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // Opens the project file when a path is given; otherwise, or when it cannot be opened, chooses
    // the start keyboard type (asking when the settings say so) and creates an empty project.
    // False when no project could be made.
    bool Initialise(const std::string& path = std::string());

    bool CreateProject(uint8_t typeId);
    // The file's type is recognised before the current project is closed; false when the file is
    // not opened (the message is shown) or the save question was cancelled.
    bool OpenProject(const std::string& path);
    bool CloseProject();
    bool AskSaveChanges();
    bool SaveProject(const std::string& path, uint8_t format);
    void UpdateTitle(const std::string& path);
    // Shows the guide in the desktop's browser; an empty path is a guide not found.
    void OpenGuide(const QString& guide);
    void RefreshCurrentKey();
    void DrawAllKeys();
    bool SelectKeyAt(GridPoint point);
    void ApplyShapeChange(uint8_t change);
    // The quad corner commands: only the shape changes.
    void ApplyQuadCorner(uint8_t corner);
    void RebuildFunctionList();
    // Adds every programmed key of the project to the function list.
    void FillFunctionListFromAllKeys();
    // Clears the current key, or every key of every layout.
    void ClearKeys(bool all);
    void ShowKeyInPanel(KeyCell* cell, int focusIndex);
    void EnableKeyPanel(bool on);
    void SetPanelMode(PanelMode mode);
    PanelMode DetectPanelMode();
    // Moves the focus where the mode needs it, then sets the mode.
    void SwitchPanel(PanelMode mode);
    // A pending edit is applied or discarded by the "DefaultApply" setting.
    void CommitPendingEdit();
    void ApplyEdit();
    void CancelEdit();
    void EndEdit();
    // A key message from the capture filter, before the focused control sees the key; true when
    // the editor consumed it.
    bool PreFilterKey(const KeyMessage& message, uint64_t timeMs);
    // Codes are being captured: every key goes into the key, none to the desktop.
    bool IsCapturing() const { return m_capturing; }
    // Until the capture next needs it: a dialog is about to take the keys.
    void ReleaseKeyboardGrab();
    const KeyEditSession& GetEditSession() const { return m_edit; }
    ConfigurationPage* GetConfigurationPage() const { return m_configurationPage; }
    // The key code palette once it has been opened, else null.
    KeyCodesDialog* GetKeyCodes() const { return m_keyCodes; }
    // A palette entry activated: into the edit pending, else into the current key at once.
    void AddKeyCodeFromPalette(const KeyCodeEntry& entry);
    KeyCaptureFilter* GetCaptureFilter() const { return m_captureFilter; }
    // The typing test once it has been opened, else null.
    KeyTestWindow* GetKeyTest() const { return m_keyTest; }

    // Every menu, context menu and accelerator command goes through here by its id.
    void RunCommand(uint16_t command);
    // The context menu of the current key, ready to show: the window's own actions, whose enabled
    // state the Edit menu shares.
    std::unique_ptr<QMenu> BuildKeyMenu();
    // Sets every command's enabled state from the current key, the key clipboard and the project;
    // answers the current key's context menu state.
    KeyMenuState UpdateCommandStates();

    Keyboard* GetKeyboard() const { return m_document.GetKeyboard(); }
    const EditorDocument& GetDocument() const { return m_document; }
    const FunctionList& GetFunctionList() const { return m_functionList; }
    const ProjectComparison& GetComparison() const { return m_comparison; }
    GridPoint GetCurrentKey() const { return m_currentKey; }
    KeyboardView* GetPicture() const { return m_picture; }
    QTabBar* GetTabs() const { return m_tabs; }
    KeyPanel* GetPanel() const { return m_panel; }
    QAction* GetAction(uint16_t command) const;
    QString GetStatusText(int part) const;
    // Where programming keeps what the keyboard held before: the user's data folder of the program.
    static QString GetBackupFolder();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A project file dropped on the window opens as by Open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A command of the menus: its text, shortcuts, and what it runs or which setting it toggles.
    struct CommandEntry
    {
        uint16_t id;
        uint32_t textId;
        QKeySequence::StandardKey standardKey;
        // The program's own shortcuts after the platform's standard ones, "Ctrl+K; Ctrl+Shift+Ins".
        const char* keys;
        void (*run)(EditorWindow&);
        // Its shortcuts act only while the picture has the focus.
        bool onPicture = false;
        // A checkable item showing this flag; without run, the command toggles it.
        bool Settings::*setting = nullptr;
    };
    static const std::vector<CommandEntry>& CommandTable();
    static const CommandEntry* FindCommand(uint16_t command);

    void BuildMenus();
    void CreateCommandActions();
    // The commands' actions in order; 0 adds a separator.
    void AddCommands(QMenu* menu, std::initializer_list<uint16_t> commands);
    // An action that runs the command.
    QAction* NewCommandAction(uint16_t command, const QString& text);
    // A command's action in a menu, in front of `before` (null: at the end).
    QAction* InsertCommand(QMenu* menu, uint16_t command, const QString& text, QAction* before);
    void BuildWindow();
    void RebuildTabs();
    void OnTabChanged(int index);
    void StepTab(int step);
    void OnKeyClicked(GridPoint cell, Qt::KeyboardModifiers modifiers);
    void OnKeyDoubleClicked(GridPoint cell, Qt::KeyboardModifiers modifiers);
    void OnKeyMenu(GridPoint cell, const QPoint& globalPosition);
    void OnMove(int dx, int dy);
    void OnEnter();
    void OnHovered(std::optional<GridPoint> cell);
    void OnFunctionChosen(int comboIndex);
    void StepKey(bool forward);
    void ConnectPanel();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void OnCodeFieldEntered(QWidget* old, int field);
    void OnKeyNameEdited(const QString& text);
    void OnKeyNameLeft();
    void OnModeClicked(int mode);
    void OnSetModeForAll();
    void OnSimpleKeyClicked(bool checked);
    void OnSetSimpleForAll();
    void OnKeyTypeChosen(int index);
    void OnEditCodes();
    void OnDeleteLastCode();
    void ShowKeyCodes();
    void ShowKeyTest();
    // The typing test after the project changed; replaced tells a new project.
    void UpdateKeyTest(bool replaced);
    // Asks for a name or code and selects the first key after the current one that matches.
    void FindKeyCommand();
    // The next or previous key that matches, across the layouts and round the end.
    void StepFind(bool forward);
    // The palette's entries as the key being edited, or else the current key, would take them.
    void UpdateKeyCodes(const KeyCell* cell);
    void OnAffixEntered(QWidget* field);
    bool PreFilterAffix(const KeyMessage& message, bool prefix);
    void CaptureCodes(const KeyMessage& message, uint64_t timeMs);
    void UpdateCapture();
    // The current key's cell, or null.
    KeyCell* CurrentCell();
    // Updates the current key's entry of the function list.
    void UpdateFunctionEntry();
    bool ExitStep();
    bool AskClear(bool all);
    bool Save();
    bool SaveProjectAs();
    void NewProject();
    void ShowAbout();
    void ProgramKeyCommand();
    void ClearKeyCommand();
    void ClearAllCommand();
    void UpdateCheckMarks();
    bool IsLayoutTab() const;
    void FitToContents();
    void UpdateRecentFilesMenu();
    void UpdateConversionMenu();
    void OpenCommand();
    void Convert(uint8_t item);
    void CopyKey();
    void CutKey();
    void PasteKey();
    void SwapKey();
    void PasteFromFunctionList();
    // The function list, the picture and the panel after keys changed.
    void ShowKeyChanges();
    void ShowHelp();
    // The four keyboard commands; false when nothing ran (no keyboard, not offered, cancelled).
    bool RunDeviceCommand(DeviceCommandKind kind);
    void DownloadCommand();
    // Shows the progress dialog while work talks to the keyboard, the window disabled, then the
    // message of a failure (after done, when given) and the summary of a success.
    DeviceCommandOutcome RunWithCommunication(const std::string& typeName,
                                              const std::function<DeviceCommandOutcome(ProgressSink*)>& work,
                                              const std::function<void()>& done = nullptr);
    void ShowOpenFailure(const std::string& path, const OpenedProject& opened);
    // Compare with file and with the keyboard: the project stays as it is, its keys are marked.
    void CompareWithFileCommand();
    void CompareWithKeyboardCommand();
    void StartComparison(std::unique_ptr<Keyboard> other, CompareSource source, const std::string& name);
    void EndComparison();
    void TakeOtherKeyCommand();
    // The marks and the panel after the project changed (or was replaced by an undo step).
    void RefreshComparison();
    void ShowComparisonInPanel();
    bool CanTakeOtherKey();
    // A file dialog in the folder of keyboard backups; the chosen one opens read-only.
    void OpenBackupsCommand();
    void ProgramAllCommand();
    // File > Print legends and Print layout report, on the project as it is.
    void PrintLegendsCommand();
    void PrintReportCommand();
    // Configuration > Language: the desktop's, English and each installed translation; the choice is
    // kept for the next start.
    void BuildLanguageMenu(QMenu& menu);
    // A project or firmware dialog. Without an initial path it starts in the project's folder
    // (firmware: the folder of the last firmware), else where the last of its kind was chosen;
    // the chosen file's folder is remembered.
    FileChoice AskForFileHere(FileDialogKind kind, const QStringList& filters, const std::string& initial,
                              int selectedFilter, const QString& defaultSuffix);
    // After every action: a changed project becomes one undo step; menus and title follow.
    void NoteChange();
    void RecordChange();
    // The title shows the file, whether it is read-only and whether it has unsaved changes.
    void RefreshTitle();
    void ResetHistory();
    void StepHistory(bool undo);
    // Tabs, lists, status and menus after the project was replaced.
    void RefreshView();
    void PutOnTopOfRecentFiles(const std::string& path);

    Settings& m_settings;
    SettingsStore& m_store;
    EditorDocument m_document;
    MessageBox m_prompts;
    GridPoint m_currentKey = 0;
    bool m_suppressHighlight = false;
    bool m_codesEditable = false;
    KeyClipboard m_clipboard;
    FunctionList m_functionList;
    KeyEditSession m_edit;
    UndoHistory m_history;
    ProjectComparison m_comparison;
    // The project as it is now, with the selection: the step recorded when it next changes.
    ProjectSnapshot m_snapshot;
    PanelMode m_panelMode = PanelMode::OtherControl;
    bool m_affixArmed = false;
    bool m_detecting = false;
    bool m_applying = false;
    bool m_capturing = false;
    // A keyboard command is running on the project: the window must not close under it.
    bool m_deviceBusy = false;
    bool m_focusHighlight = false;
    // The ZQ-1100's lack of read-back has been said in this session.
    bool m_legacyReadBackNoted = false;
    // The key whose hold ended a capture: its further repeats and its release belong to no one.
    uint32_t m_spentHeldKey = 0;
    QPointer<QWidget> m_grabber;

    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_pages = nullptr;
    ConfigurationPage* m_configurationPage = nullptr;
    KeyboardView* m_picture = nullptr;
    KeyPanel* m_panel = nullptr;
    KeyCaptureFilter* m_captureFilter = nullptr;
    QPointer<KeyCodesDialog> m_keyCodes;
    QPointer<KeyTestWindow> m_keyTest;
    // What Find key looked for last; F3 looks for it again.
    std::string m_findText;
    QLabel* m_status[3] = {};
    std::map<uint16_t, QAction*> m_actions;
    // The context menu names Clear All otherwise than the Keyboard menu does.
    QAction* m_contextClearAll = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_keyboardMenu = nullptr;
    std::vector<QAction*> m_recentActions;
    std::vector<QAction*> m_conversionActions;
};
