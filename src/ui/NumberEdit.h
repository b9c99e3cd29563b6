// A whole-number entry field: refuses typed or pasted input that would make the text invalid,
// with a beep, drops leading zeros as they are typed and tidies the number on focus changes.
// Whenever it refuses input or puts a bound in place of the number, it names the allowed range in
// its window's status bar; the range is also its tooltip.
#pragma once

#include "editor/NumberRules.h"

#include <QLineEdit>

#include <cstdint>

class NumberEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumberEdit(QWidget* parent = nullptr);

    // Empties the field and answers false on a range the rules refuse.
    bool SetIntegerRange(int64_t minimum, int64_t maximum, uint8_t maxDigits, int decimals, bool showZero);
    int64_t GetIntegerValue() const;
    // Out of range or too many digits leaves the field empty and answers false.
    bool SetIntegerValue(int64_t value);
    bool IsZero() const { return GetIntegerValue() == 0; }
    const NumberRules& GetRules() const { return m_rules; }
    // "Enter a number from 1 to 13."
    QString GetRangeText() const;
    // How often input was refused; lets tests hear the beep without sound.
    int GetBeepCount() const { return m_beepCount; }

public slots:
    // Inserts the clipboard text over the selection when the result is a valid number.
    void Paste();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    NumberFieldState CurrentState() const;
    void ShowState(const NumberFieldState& state);
    void Select(int anchor, int caret);
    void InsertChecked(const QString& input);
    // Judges a change the line edit has already made, from the text and state before it.
    void CheckChange(const QString& savedText, const NumberFieldState& saved);
    void Refuse(const QString& savedText, const NumberFieldState& saved);
    void Normalise();
    void ShowRange();

    NumberRules m_rules;
    int m_beepCount = 0;
};
