// The panel right of the picture: the function list, "<<" and ">>", and the selected key's
// number, name, flags and sixteen code fields with the edit buttons.
#pragma once

#include <QWidget>

#include <array>

class KeyCell;
struct ComparisonTexts;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class KeyPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCodeFields = 16;
    static constexpr int kApplyFocus = 51;

    explicit KeyPanel(QWidget* parent);

    // Fills the key fields from a cell (none: only disables them). keyNumber 0 is a cell of no key.
    void ShowCell(const KeyCell* cell, uint16_t keyNumber, bool canEditScanCodes, bool showEditCodes);
    // Disables the key fields; disabling also empties them.
    void EnableKeyPanel(bool enable);
    // Between the picture's controls ("<<", ">>", the function list) and none on the
    // configuration tab.
    void ShowPictureControls(bool show);
    // The hint, the edit buttons and "EditCodes" as the panel mode wants them.
    void ShowEditState(bool hint, bool editButtons, bool editCodes);
    // Marks capture as on: every key pressed goes into the key.
    void ShowCapturing(bool on);
    void FocusKeyName();
    // 1 to 16: that code field; kHiddenCodeField (17): the hidden field; 51: Apply.
    void FocusCodeField(int index);
    // The code field index of a widget (1 to 16, kHiddenCodeField for the hidden field), 0 for others.
    int CodeFieldIndex(const QWidget* widget) const;
    bool IsEditButton(const QWidget* widget) const;
    bool IsKeyField(const QWidget* widget) const;

    // The comparison above the key: its summary, what differs beside the keys, the other side's
    // key and the commands on it. Null hides it.
    void ShowComparison(const ComparisonTexts* texts, bool canTake);

    QComboBox* GetFunctionList() const { return m_functionList; }
    QPushButton* GetPreviousKey() const { return m_previousKey; }
    QPushButton* GetNextKey() const { return m_nextKey; }
    QLineEdit* GetKeyNumber() const { return m_keyNumber; }
    QLineEdit* GetKeyName() const { return m_keyName; }
    QRadioButton* GetModeButton(int mode) const { return m_modes[mode - 1]; }
    QPushButton* GetSetModeForAll() const { return m_setModeForAll; }
    QComboBox* GetKeyType() const { return m_keyType; }
    QCheckBox* GetSimpleKey() const { return m_simpleKey; }
    QCheckBox* GetGroupKey() const { return m_groupKey; }
    QPushButton* GetSetSimpleForAll() const { return m_setSimpleForAll; }
    QLineEdit* GetCodeField(int index) const { return m_codes[index - 1]; }
    QLineEdit* GetHiddenField() const { return m_hiddenField; }
    QPushButton* GetApply() const { return m_apply; }
    QPushButton* GetDeleteLastCode() const { return m_deleteLast; }
    QPushButton* GetCancel() const { return m_cancel; }
    QPushButton* GetEditCodes() const { return m_editCodes; }
    // Opens the key code palette.
    QPushButton* GetKeyCodes() const { return m_keyCodes; }
    QLabel* GetHint() const { return m_hint; }
    QLabel* GetCaptureNote() const { return m_captureNote; }
    QGroupBox* GetCodesGroup() const { return m_codesGroup; }
    QGroupBox* GetCompareGroup() const { return m_compareGroup; }
    QLabel* GetCompareSummary() const { return m_compareSummary; }
    QLabel* GetCompareDetails() const { return m_compareDetails; }
    QLabel* GetOtherKey() const { return m_otherKey; }
    QPushButton* GetTakeOtherKey() const { return m_takeOtherKey; }
    QPushButton* GetCloseComparison() const { return m_closeComparison; }

private:
    QWidget* BuildKeyGroup();
    QWidget* BuildFlagsGroup();
    QWidget* BuildCodesGroup();
    QWidget* BuildCompareGroup();
    void EnableCodeFields();

    // The function list with its label and "<<" and ">>".
    QWidget* m_pictureControls = nullptr;
    QLabel* m_functionLabel = nullptr;
    QComboBox* m_functionList = nullptr;
    QPushButton* m_previousKey = nullptr;
    QPushButton* m_nextKey = nullptr;
    QLineEdit* m_keyNumber = nullptr;
    QLineEdit* m_keyName = nullptr;
    std::array<QRadioButton*, 3> m_modes{};
    QButtonGroup* m_modeGroup = nullptr;
    // The mode buttons with "Set mode for all keys": hidden together for keys without modes.
    QWidget* m_modesRow = nullptr;
    QPushButton* m_setModeForAll = nullptr;
    QLabel* m_keyTypeLabel = nullptr;
    QComboBox* m_keyType = nullptr;
    QCheckBox* m_simpleKey = nullptr;
    QCheckBox* m_groupKey = nullptr;
    QPushButton* m_setSimpleForAll = nullptr;
    QGroupBox* m_codesGroup = nullptr;
    std::array<QLineEdit*, kCodeFields> m_codes{};
    QLineEdit* m_hiddenField = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_deleteLast = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_editCodes = nullptr;
    QPushButton* m_keyCodes = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_captureNote = nullptr;
    QGroupBox* m_compareGroup = nullptr;
    QLabel* m_compareSummary = nullptr;
    QLabel* m_compareDetails = nullptr;
    QLabel* m_otherKey = nullptr;
    QLabel* m_compareLegend = nullptr;
    QPushButton* m_takeOtherKey = nullptr;
    QPushButton* m_closeComparison = nullptr;
    bool m_pictureShown = true;
    // The codes the shown key holds at most.
    int m_capacity = kCodeFields;
};
