// The panel right of the picture: the function list, "<<" and ">>", and the selected key's
// fields.
#pragma once

#include <QWidget>

class KeyCell;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class KeyPanel : public QWidget
{
    Q_OBJECT

public:
    explicit KeyPanel(QWidget* parent);

    // Fills the key fields from a cell; the number is the key number shown.
    void ShowKeyInPanel(const KeyCell& cell, uint16_t keyNumber);
    // Disables and empties the key fields.
    void EnableKeyPanel(bool enable);
    void FocusKeyName();

    QComboBox* GetFunctionList() const { return m_functionList; }
    QPushButton* GetPreviousKey() const { return m_previousKey; }
    QPushButton* GetNextKey() const { return m_nextKey; }
    QLineEdit* GetKeyNumber() const { return m_keyNumber; }
    QLineEdit* GetKeyName() const { return m_keyName; }

private:
    QComboBox* m_functionList;
    QPushButton* m_previousKey;
    QPushButton* m_nextKey;
    QGroupBox* m_keyGroup;
    QLineEdit* m_keyNumber;
    QLineEdit* m_keyName;
};
