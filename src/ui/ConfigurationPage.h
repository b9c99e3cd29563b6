// The "Configuration" tab: the keyboard-wide options, each acting on the keyboard at once.
#pragma once

#include <QWidget>

class Keyboard;
class NumberEdit;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

class ConfigurationPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConfigurationPage(QWidget* parent);

    // The keyboard the controls act on; null disables them.
    void SetKeyboard(Keyboard* keyboard);
    // Fills every control from the keyboard.
    void ShowValues();
    // The long prefix and suffix texts again (after a capture or "Clear").
    void ShowAffixTexts();
    // 1: the prefix fields, 2: the suffix fields, 0: neither.
    int AffixFieldOf(const QWidget* widget) const;
    void ShowHint(bool show);
    bool IsHintVisible() const;
    void FocusClear(bool prefix);

signals:
    // A control changed the keyboard.
    void Changed();

public:
    NumberEdit* GetRfidDigits() const { return m_rfidDigits; }
    QCheckBox* GetNumericOnly() const { return m_numericOnly; }
    NumberEdit* GetAffixCode(bool prefix) const { return prefix ? m_prefixCode : m_suffixCode; }
    QCheckBox* GetAffixExtended(bool prefix) const { return prefix ? m_prefixExtended : m_suffixExtended; }
    QLineEdit* GetAffixModifiers(bool prefix) const { return prefix ? m_prefixModifiers : m_suffixModifiers; }
    QLineEdit* GetAffixKeys(bool prefix) const { return prefix ? m_prefixKeys : m_suffixKeys; }
    QPushButton* GetAffixClear(bool prefix) const { return prefix ? m_prefixClear : m_suffixClear; }
    QCheckBox* GetKeyBeep() const { return m_keyBeep; }
    QRadioButton* GetMakeBreak() const { return m_makeBreak; }
    QRadioButton* GetTypematic() const { return m_typematic; }
    NumberEdit* GetKeyPause() const { return m_keyPause; }
    QSlider* GetTypematicRate() const { return m_rate; }
    QSlider* GetTypematicDelay() const { return m_delay; }

private:
    QGroupBox* BuildRfidGroup();
    QGroupBox* BuildAffixGroup(bool prefix);
    QGroupBox* BuildKeysGroup();
    void Connect();
    void StepRfidDigits(int step);

    Keyboard* m_keyboard = nullptr;
    bool m_filling = false;
    NumberEdit* m_rfidDigits = nullptr;
    QToolButton* m_rfidUp = nullptr;
    QToolButton* m_rfidDown = nullptr;
    QCheckBox* m_numericOnly = nullptr;
    QLabel* m_affixLabels[4] = {};
    NumberEdit* m_prefixCode = nullptr;
    NumberEdit* m_suffixCode = nullptr;
    QCheckBox* m_prefixExtended = nullptr;
    QCheckBox* m_suffixExtended = nullptr;
    QLineEdit* m_prefixModifiers = nullptr;
    QLineEdit* m_prefixKeys = nullptr;
    QLineEdit* m_suffixModifiers = nullptr;
    QLineEdit* m_suffixKeys = nullptr;
    QPushButton* m_prefixClear = nullptr;
    QPushButton* m_suffixClear = nullptr;
    QLabel* m_hint = nullptr;
    QCheckBox* m_keyBeep = nullptr;
    QRadioButton* m_makeBreak = nullptr;
    QRadioButton* m_typematic = nullptr;
    NumberEdit* m_keyPause = nullptr;
    QSlider* m_rate = nullptr;
    QSlider* m_delay = nullptr;
};
