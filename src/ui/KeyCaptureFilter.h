// Sees every key press and release of the application before any widget does, turns it into the
// key message the editor expects and swallows what the editor consumed.
#pragma once

#include "editor/KeyCaptureState.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class EditorWindow;
class KeyTestWindow;
class QKeyEvent;

class KeyCaptureFilter : public QObject
{
    Q_OBJECT

public:
    // Installed on the application for the window's lifetime.
    explicit KeyCaptureFilter(EditorWindow* window);
    ~KeyCaptureFilter() override;

    // Left and right modifier keys that are down.
    uint8_t GetModifierState() const { return m_state.GetModifierState(); }
    // Delivers a release held back to tell it from auto-repeat.
    void FlushPendingRelease();
    // One event of the low-level keyboard hook (Windows): true when the editor consumed it and the
    // event goes no further. Tests call it as the platform would.
    bool OnHookEvent(const KeyHookEvent& event, uint64_t timeMs);
    // The typing test's window: while it has the focus every key goes to it, from the hook too.
    void SetKeyTest(KeyTestWindow* window) { m_keyTest = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Who gets a key event first: a popup, the keyboard grabber or the focus widget.
    static QObject* GetFirstReceiver();
    bool IsInWindow(const QObject* receiver) const;
    // Whether the hook sees the keys: then Qt's key events are left alone.
    bool IsHookTarget() const;
    // The editor's answer for one key event sent to receiver: true when it is swallowed.
    bool Forward(const QKeyEvent& event, const QObject* receiver);
    bool Decide(const KeyHookEvent& event, const QObject* receiver, uint64_t timeMs);

    EditorWindow* m_window;
    QPointer<KeyTestWindow> m_keyTest;
    KeyCaptureState m_state;
    // X11 sends a held key as release/press pairs with one time stamp, not always marked as
    // auto-repeat: a release waits until the next key event shows what it was.
    std::unique_ptr<QKeyEvent> m_pendingRelease;
    QPointer<QObject> m_pendingReceiver;
    QTimer m_flushTimer;
    bool m_replaying = false;
};
