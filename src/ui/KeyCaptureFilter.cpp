#include "ui/KeyCaptureFilter.h"

#include "editor/NativeKeyTable.h"
#include "editor/VirtualKeys.h"
#include "ui/EditorWindow.h"
#include "ui/HeldKeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

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

// The left and right modifier keys as the window's own key messages name them.
uint32_t WindowVirtualKey(uint8_t virtualKey)
{
    switch (virtualKey) {
    case VkLeftShift:
    case VkRightShift:
        return VkShift;
    case VkLeftControl:
    case VkRightControl:
        return VkControl;
    case VkLeftAlt:
    case VkRightAlt:
        return VkAlt;
    default:
        return virtualKey;
    }
}

} // namespace

KeyCaptureFilter::KeyCaptureFilter(EditorWindow* window) : QObject(window), m_window(window)
{
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
}

bool KeyCaptureFilter::IsFirstReceiver(const QObject* watched) const
{
    // A key event the receiver ignores travels on to its parents; it is the editor's once.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return watched == popup;
    }
    if (QWidget* grabber = QWidget::keyboardGrabber()) {
        return watched == grabber;
    }
    return watched == QApplication::focusWidget();
}

bool KeyCaptureFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && qobject_cast<QDialog*>(watched) != nullptr) {
        // A question asked while capturing (clearing an emptied key) must get the keys itself.
        m_window->ReleaseKeyboardGrab();
        return false;
    }
    if (m_replaying || !watched->isWidgetType() || !IsFirstReceiver(watched)) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
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
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
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

bool KeyCaptureFilter::Forward(const QKeyEvent& event, const QObject* receiver)
{
    NativeKey native;
    if (!FindNativeKey(event, &native)) {
        return false;
    }
    KeyHookEvent hookEvent;
    hookEvent.virtualKey = native.virtualKey;
    hookEvent.scanCode = native.GetScanCode();
    hookEvent.extended = native.IsExtended();
    hookEvent.released = event.type() == QEvent::KeyRelease;
    hookEvent.focusInProcess = true;
    const KeyHookResult result = m_state.ProcessKeyEvent(hookEvent);
    // Keys typed into a dialog or a menu only keep the key-down table right: the window's
    // pre-filter would act on its own controls behind the dialog (applying an edit twice).
    if (!IsInWindow(receiver)) {
        return false;
    }
    switch (result.action) {
    case KeyHookAction::Forward:
        return m_window->PreFilterKey(result.message, event.timestamp());
    case KeyHookAction::Drop:
        return true;
    case KeyHookAction::PassOn:
        break;
    }
    // What the hook passes on (modifier releases, Num Lock) still reaches the window as its own
    // key message, as the platform would deliver it.
    const uint32_t windowKey = WindowVirtualKey(native.virtualKey);
    const KeyMessage message = hookEvent.released
                                   ? MakeKeyUpMessage(windowKey, native.set1Code, KeyMessageKeyUp)
                                   : MakeKeyDownMessage(windowKey, native.set1Code, 0, KeyMessageKeyDown);
    return m_window->PreFilterKey(message, event.timestamp());
}
