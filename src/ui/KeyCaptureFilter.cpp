#include "ui/KeyCaptureFilter.h"

#include "editor/NativeKeyTable.h"
#include "ui/EditorWindow.h"
#include "ui/HeldKeys.h"
#include "ui/KeyTestWindow.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Longer than the gap between the two halves of an auto-repeat pair, short enough to be unnoticed.
constexpr int kPairWaitMs = 30;

bool FindNativeKey(const QKeyEvent& event, NativeKey* key)
{
#ifdef Q_OS_WIN
    const quint32 native = event.nativeScanCode();
    return NativeKeyTable::FindByWindowsScanCode(native & 0xFF, (native & 0x100) != 0, key);
#else
    return NativeKeyTable::FindByXkbKeycode(event.nativeScanCode(), key);
#endif
}

#ifdef Q_OS_WIN
// One hook a process, as the system calls every low-level hook for every key of the desktop.
HHOOK g_hook = nullptr;
KeyCaptureFilter* g_hookTarget = nullptr;

// Runs on the thread that installed it, between its messages: the editor is called directly.
LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM kind, LPARAM data)
{
    if (code == HC_ACTION && g_hookTarget != nullptr) {
        const auto& record = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        KeyHookEvent event;
        event.virtualKey = static_cast<uint8_t>(record.vkCode);
        event.scanCode = record.scanCode;
        event.extended = (record.flags & LLKHF_EXTENDED) != 0;
        event.released = kind == WM_KEYUP || kind == WM_SYSKEYUP;
        DWORD process = 0;
        if (HWND focus = GetFocus()) {
            GetWindowThreadProcessId(focus, &process);
        }
        event.focusInProcess = process == GetCurrentProcessId();
        if (g_hookTarget->OnHookEvent(event, record.time)) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, kind, data);
}
#endif

} // namespace

KeyCaptureFilter::KeyCaptureFilter(EditorWindow* window) : QObject(window), m_window(window)
{
#ifdef Q_OS_WIN
    // Only a hook sees the keys Windows keeps for itself (Alt+Tab, the Windows keys) and can
    // swallow them; without it the keys come as Qt's events.
    if (g_hook == nullptr) {
        g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleW(nullptr), 0);
    }
    if (g_hook != nullptr) {
        g_hookTarget = this;
    }
#endif
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kPairWaitMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &KeyCaptureFilter::FlushPendingRelease);
    // Keys released while a dialog or another program had the focus were never seen going up.
    // The platform's state only takes keys out of the table, never puts one in: a key pressed
    // just now whose event is still queued must not turn into a repeat.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
        FlushPendingRelease();
        m_state.ForgetReleasedKeys(QueryHeldVirtualKeys());
    });
    qApp->installEventFilter(this);
}

KeyCaptureFilter::~KeyCaptureFilter()
{
    qApp->removeEventFilter(this);
#ifdef Q_OS_WIN
    if (g_hookTarget == this) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_hookTarget = nullptr;
    }
#endif
}

bool KeyCaptureFilter::IsHookTarget() const
{
#ifdef Q_OS_WIN
    return g_hookTarget == this;
#else
    return false;
#endif
}

QObject* KeyCaptureFilter::GetFirstReceiver()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup;
    }
    if (QWidget* grabber = QWidget::keyboardGrabber()) {
        return grabber;
    }
    return QApplication::focusWidget();
}

bool KeyCaptureFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && qobject_cast<QDialog*>(watched) != nullptr) {
        // A question asked while capturing (clearing an emptied key) must get the keys itself.
        m_window->ReleaseKeyboardGrab();
        return false;
    }
    // A key event the receiver ignores travels on to its parents; it is the editor's once.
    if (m_replaying || !watched->isWidgetType() || watched != GetFirstReceiver()) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        if (m_keyTest != nullptr && m_keyTest->Owns(watched)) {
            event->accept();
            return true;
        }
        // While codes are captured no key may trigger a menu command or shortcut.
        if (m_window->IsCapturing() && IsInWindow(watched)) {
            event->accept();
            return true;
        }
        // Undo and redo act on the project wherever the focus is: a text field of the window
        // must not keep Ctrl+Z for its own text while Ctrl+Y reaches the project.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsInWindow(watched) && (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                                    key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))) {
            event->ignore();
            return true;
        }
        return false;
    }
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || IsHookTarget()) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        FlushPendingRelease();
        // A marked auto-repeat release says nothing: the key stays down.
        if (key->isAutoRepeat()) {
            return true;
        }
        m_pendingRelease.reset(key->clone());
        m_pendingReceiver = watched;
        m_flushTimer.start();
        return true;
    }
    if (m_pendingRelease != nullptr && m_pendingRelease->nativeScanCode() == key->nativeScanCode() &&
        m_pendingRelease->timestamp() == key->timestamp()) {
        // Half of an auto-repeat pair: the key never went up.
        m_pendingRelease.reset();
        m_flushTimer.stop();
    }
    FlushPendingRelease();
    return Forward(*key, watched);
}

void KeyCaptureFilter::FlushPendingRelease()
{
    m_flushTimer.stop();
    if (m_pendingRelease == nullptr) {
        return;
    }
    const std::unique_ptr<QKeyEvent> release = std::move(m_pendingRelease);
    if (Forward(*release, m_pendingReceiver) || m_pendingReceiver == nullptr) {
        return;
    }
    m_replaying = true;
    QCoreApplication::sendEvent(m_pendingReceiver, release.get());
    m_replaying = false;
}

bool KeyCaptureFilter::IsInWindow(const QObject* receiver) const
{
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    return widget != nullptr && widget->window() == m_window;
}

bool KeyCaptureFilter::OnHookEvent(const KeyHookEvent& event, uint64_t timeMs)
{
    return Decide(event, GetFirstReceiver(), timeMs);
}

bool KeyCaptureFilter::Forward(const QKeyEvent& event, const QObject* receiver)
{
    NativeKey native;
    if (!FindNativeKey(event, &native)) {
        return false;
    }
    return Decide(MakeKeyHookEvent(native, event.type() == QEvent::KeyRelease), receiver, event.timestamp());
}

bool KeyCaptureFilter::Decide(const KeyHookEvent& event, const QObject* receiver, uint64_t timeMs)
{
    const KeyHookResult result = m_state.ProcessKeyEvent(event);
    if (event.focusInProcess && m_keyTest != nullptr && m_keyTest->Owns(receiver)) {
        return m_keyTest->OnKeyEvent(event, timeMs);
    }
    // Keys typed into a dialog or a menu only keep the key-down table right: the window's
    // pre-filter would act on its own controls behind the dialog (applying an edit twice).
    if (!event.focusInProcess || !IsInWindow(receiver)) {
        return false;
    }
    switch (result.action) {
    case KeyHookAction::Forward:
        return m_window->PreFilterKey(result.message, timeMs);
    case KeyHookAction::Drop:
        return true;
    case KeyHookAction::PassOn:
        break;
    }
    return m_window->PreFilterKey(GetEditorMessage(event, result), timeMs);
}
