// Keyboard > Test keys...: key events through the capture filter into the test window, which
// marks the keys that sent them, lists what no key sends and follows the editor's layout tab.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "DarkPalette.h"
#include "editor/EditorCommands.h"
#include "editor/NativeKeyTable.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/KeyCaptureFilter.h"
#include "ui/KeyTestWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace {

// evdev codes
constexpr uint32_t EvA = 30;
constexpr uint32_t EvC = 46;
constexpr uint32_t EvM = 50;
constexpr uint32_t EvZ = 44;
constexpr uint32_t EvEnter = 28;
constexpr uint32_t EvEscape = 1;
constexpr uint32_t EvLeftShift = 42;

Qt::Key QtKeyOf(uint32_t evdev)
{
    switch (evdev) {
    case EvEscape:
        return Qt::Key_Escape;
    case EvEnter:
        return Qt::Key_Return;
    case EvLeftShift:
        return Qt::Key_Shift;
    default:
        return Qt::Key_A;
    }
}

// Key events as the platform delivers them: through the hook on Windows, else as Qt's events to
// the focus widget, where the application-wide filter sees them first.
class Typist
{
public:
    explicit Typist(const TestWindow& test) : m_test(test) {}

    void Tap(uint32_t evdev) { Type({evdev}, {}); }
    // Modifiers held around the keys.
    void Type(const std::vector<uint32_t>& keys, const std::vector<uint32_t>& modifiers)
    {
        for (const uint32_t modifier : modifiers) {
            Send(QEvent::KeyPress, modifier);
        }
        for (const uint32_t key : keys) {
            Send(QEvent::KeyPress, key);
            Send(QEvent::KeyRelease, key);
        }
        std::for_each(modifiers.rbegin(), modifiers.rend(),
                      [this](uint32_t modifier) { Send(QEvent::KeyRelease, modifier); });
        m_test.window->GetCaptureFilter()->FlushPendingRelease();
        // A person's pause before the next key.
        m_time += 1000;
    }

private:
    void Send(QEvent::Type type, uint32_t evdev)
    {
        m_time += 20;
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target != nullptr);
#ifdef Q_OS_WIN
        NativeKey native;
        QVERIFY(NativeKeyTable::FindByEvdevCode(evdev, &native));
        if (m_test.window->GetCaptureFilter()->OnHookEvent(
                MakeKeyHookEvent(native, type == QEvent::KeyRelease), m_time)) {
            return;
        }
        const quint32 nativeScanCode = native.set1Code;
#else
        const quint32 nativeScanCode = evdev + 8;
#endif
        QKeyEvent event(type, QtKeyOf(evdev), Qt::NoModifier, nativeScanCode, 0, 0);
        event.setTimestamp(m_time);
        QApplication::sendEvent(target, &event);
    }

    const TestWindow& m_test;
    uint64_t m_time = 1000;
};

KeyTestWindow* OpenKeyTest(const TestWindow& test)
{
    if (!Trigger(test.window->GetAction(CmdTestKeys))) {
        return nullptr;
    }
    KeyTestWindow* keyTest = test.window->GetKeyTest();
    // The widgets learn of the activation after the platform window.
    if (keyTest == nullptr || !QTest::qWaitFor([keyTest] { return keyTest->isActiveWindow(); })) {
        return nullptr;
    }
    return keyTest;
}

QStringList Bursts(const KeyTestWindow& keyTest)
{
    QStringList texts;
    for (int i = 0; i < keyTest.GetBursts()->count(); ++i) {
        texts << keyTest.GetBursts()->item(i)->text();
    }
    return texts;
}

} // namespace

class KeyTestWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void typedKeysAreMarkedAndCounted();
    void followsTheLayoutOnShow();
    void aNewProjectStartsAgain();
};

void KeyTestWindowTest::typedKeysAreMarkedAndCounted()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Shift A", "M1,S+,K0xE1,K0x04", MakeGridPoint(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Total", "M1,S+,K0x28", MakeGridPoint(3, 2), 1));
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(4, 1), 1));
    test.ShowLayout(1);
    KeyTestWindow* keyTest = OpenKeyTest(test);
    QVERIFY(keyTest != nullptr);
    QCOMPARE(keyTest->GetCount()->text(), "0 of 4 keys tested");

    Typist typist(test);
    typist.Tap(EvC);
    typist.Type({EvA}, {EvLeftShift});
    // Enter and Escape are keys under test: neither presses a button nor closes the window.
    typist.Tap(EvEnter);
    typist.Tap(EvEscape);
    typist.Tap(EvZ);
    QTRY_COMPARE(keyTest->GetCount()->text(), "3 of 4 keys tested");
    QTRY_COMPARE(Bursts(*keyTest),
                 QStringList({"No key of this layout sends: Esc", "No key of this layout sends: Z (Y)"}));
    QVERIFY(keyTest->isVisible());
    QVERIFY(keyTest->GetSession().IsKeyTested(MakeGridPoint(2, 1)));
    QVERIFY(!keyTest->GetSession().IsKeyTested(MakeGridPoint(1, 2)));
    // The editor saw none of it: no key was selected or edited.
    QCOMPARE(test.window->GetCurrentKey(), MakeGridPoint(1, 1));
    QVERIFY(!test.window->IsCapturing());

    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(keyTest->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/key-test.png")));
    const QPalette light = keyTest->palette();
    keyTest->setPalette(DarkPalette());
    QVERIFY(keyTest->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/key-test-dark.png")));
    keyTest->setPalette(light);

    QTest::mouseClick(keyTest->GetRestart(), Qt::LeftButton);
    QCOMPARE(keyTest->GetCount()->text(), "0 of 4 keys tested");
    QVERIFY(Bursts(*keyTest).isEmpty());
    QVERIFY(!keyTest->GetSession().IsKeyTested(MakeGridPoint(2, 1)));
}

void KeyTestWindowTest::followsTheLayoutOnShow()
{
    TestWindow test(kTypeZq2200Three);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Menu", "M1,S+,K0x10", MakeGridPoint(2, 1), 2));
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(3, 1), 2));
    test.ShowLayout(1);
    KeyTestWindow* keyTest = OpenKeyTest(test);
    QVERIFY(keyTest != nullptr);
    QCOMPARE(keyTest->GetLayouts()->count(), 3);
    QCOMPARE(keyTest->GetLayouts()->currentIndex(), 0);

    // The keyboard is on layout 2 while the editor shows layout 1.
    Typist typist(test);
    typist.Tap(EvM);
    const QString layout2 = QString::fromStdString(keyboard.GetLayoutName(2));
    QTRY_COMPARE(Bursts(*keyTest), QStringList({"Menu of layout \"" + layout2 +
                                                "\": the keyboard seems to be on that layout."}));
    QCOMPARE(keyTest->GetCount()->text(), "0 of 1 keys tested");

    test.ShowLayout(2);
    QCOMPARE(keyTest->GetLayouts()->currentIndex(), 1);
    QCOMPARE(keyTest->GetCount()->text(), "0 of 2 keys tested");
    keyTest->activateWindow();
    QTRY_VERIFY(keyTest->isActiveWindow());
    typist.Tap(EvM);
    QTRY_COMPARE(keyTest->GetCount()->text(), "1 of 2 keys tested");

    // Chosen in the test window, the layout shows in the editor too.
    keyTest->GetLayouts()->setCurrentIndex(0);
    emit keyTest->GetLayouts()->activated(0);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 1);
    QCOMPARE(keyTest->GetCount()->text(), "0 of 1 keys tested");
}

void KeyTestWindowTest::aNewProjectStartsAgain()
{
    TestWindow test(kTypeZq2200One);
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1));
    test.ShowLayout(1);
    KeyTestWindow* keyTest = OpenKeyTest(test);
    QVERIFY(keyTest != nullptr);
    Typist typist(test);
    typist.Tap(EvC);
    QTRY_COMPARE(keyTest->GetCount()->text(), "1 of 1 keys tested");

    // Programming another key in the editor counts at once, and so does its undo.
    ScriptedPrompts prompts;
    test.Click(MakeGridPoint(1, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdCopy)));
    test.Click(MakeGridPoint(2, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
    QTRY_VERIFY(keyTest->GetCount()->text().endsWith("of 2 keys tested"));
    QVERIFY(Trigger(test.window->GetAction(CmdUndo)));
    QTRY_VERIFY(keyTest->GetCount()->text().endsWith("of 1 keys tested"));
    QVERIFY(Trigger(test.window->GetAction(CmdRedo)));
    QTRY_VERIFY(keyTest->GetCount()->text().endsWith("of 2 keys tested"));

    prompts.answers = {PromptAnswer::No};
    QVERIFY(test.window->CreateProject(kTypeZq1100V2Single));
    QCOMPARE(keyTest->GetCount()->text(), "0 of 0 keys tested");
    QCOMPARE(keyTest->GetLayouts()->count(), 1);
    QVERIFY(!keyTest->GetLayouts()->isEnabled());
}

ZQ_UI_TEST(KeyTestWindowTest)
#include "KeyTestWindowTest.moc"
