#include "ui/HeldKeys.h"

#include "editor/NativeKeyTable.h"

#include <QGuiApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(ZQ_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>
// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>
#endif

std::bitset<256> QueryHeldVirtualKeys()
{
    std::bitset<256> held;
#ifdef Q_OS_WIN
    for (int key = 1; key < 256; ++key) {
        held[key] = (GetAsyncKeyState(key) & 0x8000) != 0;
    }
#elif defined(ZQ_HAVE_X11)
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return held;
    }
    char keymap[32] = {};
    XQueryKeymap(display, keymap);
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        NativeKey key;
        if ((keymap[keycode / 8] & (1 << (keycode % 8))) != 0 &&
            NativeKeyTable::FindByXkbKeycode(keycode, &key)) {
            held[key.virtualKey] = true;
        }
    }
#endif
    return held;
}
