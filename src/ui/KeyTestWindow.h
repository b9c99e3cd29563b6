// Keyboard > Test keys...: a window the programmed keyboard types into. Each burst of keys marks
// the key that sends it on the picture, or is listed when no key of the layout on show does.
#pragma once

#include "editor/KeyTestSession.h"

#include <QDialog>
#include <QTimer>

class KeyboardView;
class Keyboard;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class KeyTestWindow : public QDialog
{
    Q_OBJECT

public:
    explicit KeyTestWindow(QWidget* parent);

    // The project to test; a new one starts again. Null tests nothing.
    void SetKeyboard(Keyboard* keyboard);
    Keyboard* GetKeyboard() const { return m_keyboard; }
    // The layout the editor shows, 1-based.
    void ShowLayout(uint8_t layout);
    // After the project changed: the count and the picture.
    void Refresh();
    void Restart();

    // Whether a key event for the receiver is the test's: then every key is.
    bool Owns(const QObject* receiver) const;
    // One key event of the capture filter; the test takes every key while it has the focus (the
    // programmed keyboard may send Escape, Enter or Alt+F4).
    bool OnKeyEvent(const KeyHookEvent& event, uint64_t timeMs);

    const KeyTestSession& GetSession() const { return m_session; }
    KeyboardView* GetPicture() const { return m_picture; }
    QLabel* GetCount() const { return m_count; }
    QListWidget* GetBursts() const { return m_bursts; }
    QPushButton* GetRestart() const { return m_restart; }
    QComboBox* GetLayouts() const { return m_layouts; }

signals:
    // The user chose another layout here: the editor shows it too.
    void LayoutChosen(int layout);

protected:
    bool event(QEvent* event) override;

private:
    void ShowBurst(const std::optional<BurstResult>& burst);
    void EndBurst();

    Keyboard* m_keyboard = nullptr;
    KeyTestSession m_session;
    KeyboardView* m_picture = nullptr;
    QComboBox* m_layouts = nullptr;
    QLabel* m_count = nullptr;
    QListWidget* m_bursts = nullptr;
    QPushButton* m_restart = nullptr;
    QTimer m_quiet;
};
