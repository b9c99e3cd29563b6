// The editor under a real X server with real key events (xdotool through XTEST): what a user does
// around a capture, with dialogs and other windows taking the focus in between. Skipped on any
// other platform.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/EditorCommands.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyPanel.h"
#include "ui/KeyTestWindow.h"
#include "ui/NumberEdit.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

// What a window manager does when a dialog or another program lets go of the focus; Xvfb has none.
void ActivateAgain(QWidget& window)
{
    window.activateWindow();
    QTRY_VERIFY(window.isActiveWindow());
}

// xdotool's arguments that type keys one by one.
QStringList Keys(const QStringList& keys)
{
    return QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys;
}

// Runs xdotool and keeps the window's event loop turning while it types.
void Xdotool(const QStringList& arguments)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("xdotool"), arguments);
    QVERIFY(process.waitForStarted(5000));
    QTimer::singleShot(30000, &process, &QProcess::kill);
    loop.exec();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void TypeKeys(const QStringList& keys)
{
    Xdotool(Keys(keys));
}

// Answers every modal dialog that takes the focus while it lives with xdotool's commands, and
// notes their texts. Armed before the command that opens one: the dialog's own event loop turns
// while the command runs. On a busy machine a key can reach a dialog before it has the keyboard,
// or while the keys that opened it are still held: the answer waits for the modifiers to come up,
// is given again while the dialog stays, and a dialog still open after a while is closed and
// noted, so that a lost key fails the test instead of hanging it.
class DialogAnswerer
{
public:
    // prepare: what the user would do with the mouse, before the keys (typing a path in a file
    // dialog would raise its completer, which takes the Enter).
    explicit DialogAnswerer(QStringList xdotool, std::function<void(QWidget&)> prepare = {})
        : m_xdotool(std::move(xdotool)), m_prepare(std::move(prepare))
    {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start();
    }
    ~DialogAnswerer()
    {
        if (!m_stuck.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("dialog not answered: ") + m_stuck), __FILE__, __LINE__);
        }
    }
    const QStringList& Texts() const { return m_texts; }

private:
    static constexpr int kRetryMs = 3000;
    static constexpr int kGiveUpMs = 30000;

    void Poll()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            return;
        }
        if (dialog != m_answered) {
            m_answered = dialog;
            m_since.start();
            m_tries = 0;
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            m_texts.append(box != nullptr ? box->text() : dialog->windowTitle());
            if (m_prepare) {
                m_prepare(*dialog);
            }
        }
        if (m_since.elapsed() > kGiveUpMs) {
            m_stuck = m_texts.last();
            dialog->close();
            return;
        }
        if (!dialog->isActiveWindow()) {
            // What a window manager would do; Xvfb has none.
            if (m_since.elapsed() > kRetryMs) {
                dialog->activateWindow();
            }
            return;
        }
        if (QGuiApplication::queryKeyboardModifiers() != Qt::NoModifier ||
            m_since.elapsed() < m_tries * kRetryMs) {
            return;
        }
        if (m_tries > 0) {
            qInfo("answering \"%s\" again", qPrintable(m_texts.last()));
        }
        ++m_tries;
        QProcess::startDetached(QStringLiteral("xdotool"), m_xdotool);
    }

    QStringList m_xdotool;
    std::function<void(QWidget&)> m_prepare;
    QTimer m_poll;
    QPointer<QWidget> m_answered;
    QElapsedTimer m_since;
    int m_tries = 0;
    QStringList m_texts;
    QString m_stuck;
};

// Real mouse clicks at a point of a widget, its middle by default.
void Click(const QWidget* widget, int count = 1, QPoint at = QPoint(-1, -1))
{
    const QPoint global = widget->mapToGlobal(at.x() < 0 ? widget->rect().center() : at);
    // A pointer already there gives the new widget no enter event: come from one pixel away.
    Xdotool({QStringLiteral("mousemove"), QString::number(global.x() + 1), QString::number(global.y())});
    Xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
    QTRY_VERIFY(widget->underMouse());
    Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
}

// The first layout on show, its picture with the focus.
void ShowFirstLayout(const TestWindow& test)
{
    test.ShowLayout(1);
    QTRY_VERIFY(test.Picture()->hasFocus());
}

// Enter on the picture's key: its codes are captured from here on.
void StartCapture(const EditorWindow& window)
{
    TypeKeys({QStringLiteral("Return")});
    QTRY_VERIFY(window.IsCapturing());
}

QString CodesOfKey(const EditorWindow& window, GridPoint key)
{
    std::string name;
    std::string codes;
    window.GetKeyboard()->GetKeyTexts(&name, &codes, key, 1);
    return QString::fromStdString(codes);
}

std::string EditCodes(const EditorWindow& window)
{
    const KeyCell* cell = window.GetEditSession().GetEditCell();
    return cell != nullptr ? cell->FormatCodesText(0) : std::string("(no edit)");
}

} // namespace

class RealKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void keysHeldAcrossDialogsAreNotRepeats_data();
    void keysHeldAcrossDialogsAreNotRepeats();
    void stepButtonsEndTheEditOfTheKeyLeft_data();
    void stepButtonsEndTheEditOfTheKeyLeft();
    void renameThenStepKeepsTheNewNameInTheList();
    void keyPressedInTheClearQuestionAsksOnce();
    void tabWalksPastTheCodeFields();
    void undoAndRedoActOnTheProjectFromAnyField();
    void openDialogLeavesNoCapturingFieldFocused();
    void typingTestMarksTheKeysTyped();
};

void RealKeysTest::init()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        QSKIP("needs a real X server (xvfb-run)");
    }
}

void RealKeysTest::keysHeldAcrossDialogsAreNotRepeats_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Save As then Escape")
        << "save-as" << false << QStringList{"a", "shift+b"} << "K0x04,K0xE1,K0x05,K0xF1";
    QTest::newRow("About closed with Enter") << "about" << true << QStringList{"c", "d"} << "K0x06,K0x07";
    QTest::newRow("Alt released in another window")
        << "alt-elsewhere" << false << QStringList{"alt+x"} << "K0xE2,K0x1B,K0xF2";
}

void RealKeysTest::keysHeldAcrossDialogsAreNotRepeats()
{
    QFETCH(QString, before);
    QFETCH(bool, doubleClick);
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    ShowFirstLayout(test);

    if (before == QLatin1String("save-as")) {
        const DialogAnswerer cancel(Keys({QStringLiteral("Escape")}));
        TypeKeys({QStringLiteral("ctrl+shift+s")});
    } else if (before == QLatin1String("about")) {
        const DialogAnswerer close(Keys({QStringLiteral("Return")}));
        TypeKeys({QStringLiteral("alt+h"), QStringLiteral("a")});
    } else {
        // Alt goes down here and comes up while another program has the focus.
        QWidget other;
        other.setWindowTitle(QStringLiteral("another program"));
        Xdotool({QStringLiteral("keydown"), QStringLiteral("alt")});
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        Xdotool({QStringLiteral("keyup"), QStringLiteral("alt")});
        other.close();
    }
    ActivateAgain(window);

    const GridPoint key = MakeGridPoint(1, 1);
    if (doubleClick) {
        Click(test.Picture(), 2, test.Picture()->CellCentre(key));
    } else {
        StartCapture(window);
    }
    QTRY_VERIFY(window.IsCapturing());
    TypeKeys(keys);
    QTRY_VERIFY(QString::fromStdString(EditCodes(window)).endsWith(expected.section(QLatin1Char(','), -1)));
    Click(window.GetPanel()->GetApply());
    QTRY_COMPARE(CodesOfKey(window, key), "M1,S+," + expected);
}

void RealKeysTest::stepButtonsEndTheEditOfTheKeyLeft_data()
{
    QTest::addColumn<bool>("empty");
    QTest::newRow("codes typed") << false;
    QTest::newRow("codes removed, clear refused") << true;
}

void RealKeysTest::stepButtonsEndTheEditOfTheKeyLeft()
{
    QFETCH(bool, empty);
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    const GridPoint first = MakeGridPoint(1, 1);
    const GridPoint second = MakeGridPoint(2, 1);
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Tea", "M1,S+,K0x17", first, 1));
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Milk", "M1,S+,K0x10", second, 1));
    window.FillFunctionListFromAllKeys();
    ShowFirstLayout(test);
    StartCapture(window);
    if (empty) {
        Click(window.GetPanel()->GetDeleteLastCode());
        QTRY_COMPARE(window.GetEditSession().GetEditCell()->GetCodeCount(), 0);
    } else {
        TypeKeys({QStringLiteral("a")});
        QTRY_VERIFY(QString::fromStdString(EditCodes(window)).endsWith(QLatin1String("K0x04")));
    }
    const DialogAnswerer refuse(Keys({QStringLiteral("Escape")}));
    Click(window.GetPanel()->GetNextKey());
    QTRY_COMPARE(window.GetCurrentKey(), second);
    QVERIFY(!window.GetEditSession().IsEditing());
    QCOMPARE(refuse.Texts(), empty ? QStringList{QStringLiteral("Clear key Tea?")} : QStringList());
    // Typed from field 1, the new code replaces the old.
    QCOMPARE(CodesOfKey(window, first),
             empty ? QStringLiteral("M1,S+,K0x17") : QStringLiteral("M1,S+,K0x04"));
    QCOMPARE(CodesOfKey(window, second), QStringLiteral("M1,S+,K0x10"));
    const FunctionList& list = window.GetFunctionList();
    QCOMPARE(list.GetCount(), 2);
    for (uint16_t i = 1; i <= list.GetCount(); ++i) {
        const FunctionEntry& entry = *list.GetEntry(i);
        QCOMPARE(entry.keyNumber, entry.name == "Tea" ? 1 : 2);
    }
}

void RealKeysTest::renameThenStepKeepsTheNewNameInTheList()
{
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(2, 1), 1));
    test.ShowLayout(1);
    window.FillFunctionListFromAllKeys();
    Click(test.Picture(), 1, test.Picture()->CellCentre(MakeGridPoint(2, 1)));
    Click(window.GetPanel()->GetKeyName());
    TypeKeys({QStringLiteral("ctrl+a"), QStringLiteral("C"), QStringLiteral("o"), QStringLiteral("f")});
    Click(window.GetPanel()->GetPreviousKey());
    QTRY_COMPARE(window.GetCurrentKey(), MakeGridPoint(1, 1));
    QComboBox* list = window.GetPanel()->GetFunctionList();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->itemText(0), QStringLiteral("Cof *"));
}

void RealKeysTest::keyPressedInTheClearQuestionAsksOnce()
{
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(1, 1), 1));
    ShowFirstLayout(test);
    StartCapture(window);
    Click(window.GetPanel()->GetDeleteLastCode());
    // A key typed into the question first, then No.
    const DialogAnswerer refuse(Keys({QStringLiteral("x"), QStringLiteral("Escape")}));
    Click(window.GetPanel()->GetApply());
    QTRY_VERIFY(!window.GetEditSession().IsEditing());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(refuse.Texts(), QStringList{QStringLiteral("Clear key Tea?")});
    QCOMPARE(CodesOfKey(window, MakeGridPoint(1, 1)), QStringLiteral("M1,S+,K0x17"));
}

void RealKeysTest::tabWalksPastTheCodeFields()
{
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1));
    ShowFirstLayout(test);
    for (int i = 0; i < 30; ++i) {
        TypeKeys({QStringLiteral("Tab")});
        QVERIFY2(window.GetPanel()->CodeFieldIndex(QApplication::focusWidget()) == 0,
                 qPrintable(QStringLiteral("Tab %1 entered a code field").arg(i + 1)));
        QVERIFY(!window.GetEditSession().IsEditing());
    }
    QCOMPARE(CodesOfKey(window, MakeGridPoint(1, 1)), QStringLiteral("M1,S+,K0x06"));
}

void RealKeysTest::undoAndRedoActOnTheProjectFromAnyField()
{
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    Keyboard& keyboard = *window.GetKeyboard();
    const std::string empty = keyboard.GetContentSignature();
    // Three changes: a key, an option, every key cleared again.
    ShowFirstLayout(test);
    StartCapture(window);
    TypeKeys({QStringLiteral("a")});
    Click(window.GetPanel()->GetApply());
    QTRY_COMPARE(CodesOfKey(window, MakeGridPoint(1, 1)), "M1,S+,K0x04");
    test.ShowLayout(0);
    Click(window.GetConfigurationPage()->GetRfidDigits());
    TypeKeys({QStringLiteral("ctrl+a"), QStringLiteral("5"), QStringLiteral("Tab")});
    QTRY_COMPARE(window.GetKeyboard()->GetRfidDigits(), 5);
    {
        const DialogAnswerer yes(Keys({QStringLiteral("Return")}));
        QTimer::singleShot(0, &window, [&window] { window.GetAction(CmdClearAll)->trigger(); });
        QTRY_COMPARE(yes.Texts().size(), 1);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }
    ActivateAgain(window);
    const std::string last = window.GetKeyboard()->GetContentSignature();
    QVERIFY(last != empty);
    for (int i = 0; i < 6; ++i) {
        TypeKeys({QStringLiteral("ctrl+z")});
    }
    QCOMPARE(window.GetKeyboard()->GetContentSignature(), empty);
    for (int i = 0; i < 6; ++i) {
        TypeKeys({QStringLiteral("ctrl+y")});
    }
    QCOMPARE(window.GetKeyboard()->GetContentSignature(), last);
    // Typed into a text field, the keys still undo the project.
    Click(window.GetConfigurationPage()->GetRfidDigits());
    TypeKeys({QStringLiteral("ctrl+z")});
    QVERIFY(window.GetKeyboard()->GetContentSignature() != last);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()) == nullptr ||
            QApplication::focusWidget() == window.GetConfigurationPage()->GetRfidDigits());
}

void RealKeysTest::openDialogLeavesNoCapturingFieldFocused()
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("till.zqp"));
    {
        TestWindow saved(kTypeZq2200One);
        QVERIFY(saved.window->SaveProject(path.toStdString(), 0));
    }
    TestWindow test(kTypeZq2200One);
    EditorWindow& window = *test.window;
    ShowFirstLayout(test);
    {
        const DialogAnswerer open(Keys({QStringLiteral("Return")}), [&path](QWidget& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        });
        TypeKeys({QStringLiteral("ctrl+o")});
        QCOMPARE(open.Texts().size(), 1);
    }
    ActivateAgain(window);
    QTRY_COMPARE(QString::fromStdString(window.GetDocument().GetPath()), path);
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    const std::string opened = window.GetKeyboard()->GetContentSignature();
    TypeKeys({QStringLiteral("ctrl+Tab")});
    QTRY_COMPARE(window.GetTabs()->currentIndex(), 1);
    QCOMPARE(window.GetKeyboard()->GetContentSignature(), opened);
}

ZQ_UI_TEST(RealKeysTest)
#include "RealKeysTest.moc"

void RealKeysTest::typingTestMarksTheKeysTyped()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Shift A", "M1,S+,K0xE1,K0x04", MakeGridPoint(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17,K0x08,K0x04", MakeGridPoint(3, 1), 1));
    ShowFirstLayout(test);
    QVERIFY(Trigger(test.window->GetAction(CmdTestKeys)));
    KeyTestWindow* keyTest = test.window->GetKeyTest();
    QVERIFY(keyTest != nullptr);
    QTRY_VERIFY(keyTest->isActiveWindow());

    // A person's keys, well apart; then the three codes of one key as a keyboard sends them.
    Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("400"), QStringLiteral("c"),
             QStringLiteral("shift+a"), QStringLiteral("z"), QStringLiteral("Escape")});
    Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("t"),
             QStringLiteral("e"), QStringLiteral("a")});
    QTRY_COMPARE(keyTest->GetCount()->text(), QStringLiteral("3 of 3 keys tested"));
    QTRY_COMPARE(keyTest->GetBursts()->count(), 2);
    QCOMPARE(keyTest->GetBursts()->item(0)->text(), QStringLiteral("No key of this layout sends: Z (Y)"));
    QVERIFY(keyTest->isVisible());
    QVERIFY(!test.window->IsCapturing());
    keyTest->close();
}
