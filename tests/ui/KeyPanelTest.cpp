// The key panel driven by key events as X11 delivers them (X keycodes in the native scan code):
// capturing codes, held keys, the edit buttons, key flags and the configuration page.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/EditorCommands.h"
#include "editor/NativeKeyTable.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyCaptureFilter.h"
#include "ui/KeyCodesDialog.h"
#include "ui/KeyPanel.h"
#include "ui/NumberEdit.h"
#include "ui/ScanCodeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

// Linux evdev key codes; X11 adds 8.
enum Evdev : uint32_t {
    EvEscape = 1,
    EvBackspace = 14,
    EvTab = 15,
    EvEnter = 28,
    EvLeftCtrl = 29,
    EvA = 30,
    EvLeftShift = 42,
    EvC = 46,
    EvB = 48,
    EvLeftAlt = 56,
    EvF5 = 63,
    EvPrintScreen = 99,
    EvRightAlt = 100,
    EvRight = 106,
    EvPause = 119,
    EvLeftMeta = 125,
};

Qt::Key QtKeyOf(uint32_t evdev)
{
    switch (evdev) {
    case EvEscape:
        return Qt::Key_Escape;
    case EvBackspace:
        return Qt::Key_Backspace;
    case EvTab:
        return Qt::Key_Tab;
    case EvEnter:
        return Qt::Key_Return;
    case EvLeftCtrl:
        return Qt::Key_Control;
    case EvA:
        return Qt::Key_A;
    case EvLeftShift:
        return Qt::Key_Shift;
    case EvC:
        return Qt::Key_C;
    case EvB:
        return Qt::Key_B;
    case EvLeftAlt:
        return Qt::Key_Alt;
    case EvF5:
        return Qt::Key_F5;
    case EvPrintScreen:
        return Qt::Key_Print;
    case EvRightAlt:
        return Qt::Key_AltGr;
    case EvRight:
        return Qt::Key_Right;
    case EvPause:
        return Qt::Key_Pause;
    case EvLeftMeta:
        return Qt::Key_Meta;
    default:
        return Qt::Key_unknown;
    }
}

// Key events sent as the platform would, through the application-wide filter.
class Keys
{
public:
    explicit Keys(const TestWindow& test) : m_test(test) {}

    void Press(uint32_t evdev, bool markedRepeat = false) { Send(QEvent::KeyPress, evdev, markedRepeat); }
    void Release(uint32_t evdev, bool markedRepeat = false) { Send(QEvent::KeyRelease, evdev, markedRepeat); }
    void Tap(uint32_t evdev)
    {
        Press(evdev);
        Release(evdev);
        Settle();
    }
    // X11's auto-repeat as it arrives unmarked: release and press with one time stamp. Windows
    // repeats the press alone.
    void Hold(uint32_t evdev, int repeats)
    {
        Press(evdev);
        for (int i = 0; i < repeats; ++i) {
#ifndef Q_OS_WIN
            Send(QEvent::KeyRelease, evdev, false, 0);
#endif
            Send(QEvent::KeyPress, evdev, false, 0);
        }
        Release(evdev);
        Settle();
    }
    void Settle() const
    {
        m_test.window->GetCaptureFilter()->FlushPendingRelease();
    }
    void Advance(uint64_t milliseconds)
    {
        m_time += milliseconds;
    }

private:
    void Send(QEvent::Type type, uint32_t evdev, bool markedRepeat, uint64_t step = 20)
    {
        m_time += step;
        QWidget* target =
            QWidget::keyboardGrabber() != nullptr ? QWidget::keyboardGrabber() : QApplication::focusWidget();
        QVERIFY(target != nullptr);
#ifdef Q_OS_WIN
        // Windows hands every key to the capture hook first: what it keeps never reaches Qt.
        NativeKey native;
        QVERIFY(NativeKeyTable::FindByEvdevCode(evdev, &native));
        KeyHookEvent hook;
        hook.virtualKey = native.virtualKey;
        hook.scanCode = native.GetScanCode();
        hook.extended = native.IsExtended();
        hook.released = type == QEvent::KeyRelease;
        hook.focusInProcess = true;
        if (m_test.window->GetCaptureFilter()->OnHookEvent(hook, m_time)) {
            return;
        }
        const quint32 nativeScanCode = native.set1Code;
#else
        const quint32 nativeScanCode = evdev + 8;
#endif
        QKeyEvent event(type, QtKeyOf(evdev), Qt::NoModifier, nativeScanCode, 0, 0, QString(), markedRepeat);
        event.setTimestamp(m_time);
        QApplication::sendEvent(target, &event);
    }

    const TestWindow& m_test;
    uint64_t m_time = 1000;
};

std::string CodesOf(Keyboard& keyboard, GridPoint key)
{
    std::string name;
    std::string codes;
    keyboard.GetKeyTexts(&name, &codes, key, 1);
    return codes;
}

// The palette's entries the search leaves, by their caption; disabled ones with their reason.
QStringList ShownEntries(const KeyCodesDialog& palette)
{
    QStringList shown;
    for (QTreeWidgetItemIterator it(palette.GetList(), QTreeWidgetItemIterator::NotHidden); *it != nullptr;
         ++it) {
        if (palette.EntryOf(*it) != nullptr) {
            shown << ((*it)->isDisabled() ? (*it)->text(0) + " / " + (*it)->text(2) : (*it)->text(0));
        }
    }
    return shown;
}

QTreeWidgetItem* ShownEntry(const KeyCodesDialog& palette, int index)
{
    for (QTreeWidgetItemIterator it(palette.GetList(), QTreeWidgetItemIterator::NotHidden); *it != nullptr;
         ++it) {
        if (palette.EntryOf(*it) != nullptr && index-- == 0) {
            return *it;
        }
    }
    return nullptr;
}

void Search(const KeyCodesDialog& palette, const QString& text)
{
    palette.GetSearch()->clear();
    QTest::keyClicks(palette.GetSearch(), text);
}

// Starts capture into the selected key of layout 1 as a user does: Enter on the picture.
void StartCapture(const TestWindow& test, GridPoint key)
{
    test.ShowLayout(1);
    test.Click(key);
    QTest::keyClick(test.Picture(), Qt::Key_Return);
    QVERIFY(test.window->IsCapturing());
}

} // namespace

class KeyPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void capturesLettersShiftAndExtendedKeys();
    void capturesPauseAndPrintScreen();
    void altGrIsOneKeyNotCtrlAndAlt();
    void heldEnterEndsAtApplyHeldEscapeCancels();
    void heldBackspaceRemovesTheLastCode();
    void sixteenthCodeMovesToApply();
    void capturesModifierKeysIntoAModifierKey();
    void defaultApplyDecidesWhenAnotherKeyIsClicked();
    void keyTypeChangeClearsTheKeyAndKeepsItsName();
    void affixCaptureInBothStyles();
    void configurationControlsReachTheSavedFile();
    void fastEditStartsAtOnceOtherwiseEnterTwice();
    void scanCodeDialogShowsTheRecordBytes();
    void onlyTheFieldsAKeyHoldsAreOpen();
    void paletteAddsCodesNoPcKeyboardTypes();
    void paletteAddsToThePendingEditOfAZq1100Key();
};

void KeyPanelTest::capturesLettersShiftAndExtendedKeys()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 2));
    // Starting the capture moves nothing and leaves the window's size alone.
    const KeyPanel& panel = *test.window->GetPanel();
    const auto placeOf = [&test](const QWidget* widget) {
        return QRect(widget->mapTo(test.window.get(), QPoint()), widget->size());
    };
    const QSize windowSize = test.window->size();
    const QRect apply = placeOf(panel.GetApply());
    const QRect field = placeOf(panel.GetCodeField(1));
    StartCapture(test, MakeGridPoint(2, 2));
    QCOMPARE(test.window->size(), windowSize);
    QCOMPARE(placeOf(panel.GetApply()), apply);
    QCOMPARE(placeOf(panel.GetCodeField(1)), field);
    QVERIFY(test.window->GetPanel()->GetCodeField(1)->hasFocus());
    QVERIFY(test.window->GetPanel()->GetCaptureNote()->isVisible());
    keys.Tap(EvA);
    keys.Press(EvLeftShift);
    keys.Tap(EvB);
    keys.Release(EvLeftShift);
    keys.Settle();
    keys.Tap(EvRight);
    const QStringList shown{" A ", "Left_shift", " B ", "Release_Left_shift", "Right", ""};
    for (int i = 1; i <= shown.size(); ++i) {
        QCOMPARE(test.window->GetPanel()->GetCodeField(i)->text(), shown[i - 1]);
    }

    QVERIFY(test.window->GetPanel()->GetCodeField(6)->hasFocus());
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(test.window->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/capturing.png")));
    test.window->GetPanel()->GetApply()->click();
    QVERIFY(!test.window->IsCapturing());
    // HID usages: A, Left Shift, B, the release of Left Shift, Right arrow.
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(2, 2)),
             "M1,S+,K0x04,K0xE1,K0x05,K0xF1,K0x4F");
    QVERIFY(test.Picture()->hasFocus());
}

void KeyPanelTest::capturesPauseAndPrintScreen()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvPause);
    keys.Tap(EvPrintScreen);
    keys.Tap(EvF5);
    test.window->GetPanel()->GetApply()->click();
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)), "M1,S+,K0x48,K0x46,K0x3E");
}

void KeyPanelTest::altGrIsOneKeyNotCtrlAndAlt()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    // X11 sends AltGr as right Alt alone.
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvRightAlt);
    test.window->GetPanel()->GetApply()->click();
    const std::string altGr = CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1));
    QCOMPARE(altGr, "M1,S+,K0xE6,K0xF6");
    // Windows puts a left Ctrl in front of it, which capture undoes.
    StartCapture(test, MakeGridPoint(2, 1));
    keys.Press(EvLeftCtrl);
    keys.Press(EvRightAlt);
    keys.Release(EvLeftCtrl);
    keys.Release(EvRightAlt);
    keys.Settle();
    test.window->GetPanel()->GetApply()->click();
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(2, 1)), altGr);
    // A real left Ctrl, pressed well before, stays.
    StartCapture(test, MakeGridPoint(3, 1));
    keys.Press(EvLeftCtrl);
    keys.Advance(200);
    keys.Tap(EvRightAlt);
    keys.Release(EvLeftCtrl);
    keys.Settle();
    test.window->GetPanel()->GetApply()->click();
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(3, 1)), "M1,S+,K0xE0,K0xE6,K0xF6,K0xF0");
}

void KeyPanelTest::heldEnterEndsAtApplyHeldEscapeCancels()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvA);
    keys.Hold(EvEnter, 5);
    KeyPanel* panel = test.window->GetPanel();
    QVERIFY(panel->GetApply()->hasFocus());
    QCOMPARE(panel->GetCodeField(2)->text(), QString());
    // Enter pressed again on Apply applies.
    keys.Tap(EvEnter);
    QVERIFY(!test.window->GetEditSession().IsEditing());
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)), "M1,S+,K0x04");

    // A held Escape throws the new codes away.
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvB);
    keys.Hold(EvEscape, 5);
    QVERIFY(!test.window->GetEditSession().IsEditing());
    QVERIFY(!test.window->IsCapturing());
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)), "M1,S+,K0x04");
#ifndef Q_OS_WIN
    // Auto-repeat that Qt marks works as well.
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Press(EvEnter);
    for (int i = 0; i < 5; ++i) {
        keys.Release(EvEnter, true);
        keys.Press(EvEnter, true);
    }
    QVERIFY(panel->GetApply()->hasFocus());
#endif
}

void KeyPanelTest::heldBackspaceRemovesTheLastCode()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvA);
    keys.Tap(EvB);
    keys.Hold(EvBackspace, 5);
    test.window->GetPanel()->GetApply()->click();
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)), "M1,S+,K0x04");
}

void KeyPanelTest::sixteenthCodeMovesToApply()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    StartCapture(test, MakeGridPoint(1, 1));
    for (int i = 0; i < 15; ++i) {
        keys.Tap(i % 2 == 0 ? EvA : EvB);
    }
    QVERIFY(test.window->GetPanel()->GetCodeField(16)->hasFocus());
    keys.Press(EvC);
    QVERIFY(!test.window->GetPanel()->GetApply()->hasFocus());
    keys.Release(EvC);
    keys.Settle();
    QVERIFY(test.window->GetPanel()->GetApply()->hasFocus());
    QCOMPARE(test.window->GetPanel()->GetCodeField(16)->text(), QStringLiteral(" C "));
}

void KeyPanelTest::capturesModifierKeysIntoAModifierKey()
{
    TestWindow test(kTypeZq2200One);
    Keys keys(test);
    test.ShowLayout(1);
    test.Click(MakeGridPoint(4, 4));
    QComboBox* type = test.window->GetPanel()->GetKeyType();
    QCOMPARE(type->count(), 2);
    type->setCurrentIndex(1);
    emit type->activated(1);
    QCOMPARE(test.window->GetKeyboard()->GetKeyImageIndex(4, 4), uint8_t(0));
    StartCapture(test, MakeGridPoint(4, 4));
    keys.Press(EvLeftCtrl);
    keys.Press(EvLeftShift);
    keys.Press(EvA);
    // The letter is refused aloud: a note and a beep, not silence.
    QCOMPARE(test.window->statusBar()->currentMessage(),
             QStringLiteral("This key does not take the key just pressed (see its key type)."));
    keys.Release(EvA);
    keys.Release(EvLeftShift);
    keys.Release(EvLeftCtrl);
    keys.Settle();
    test.window->GetPanel()->GetApply()->click();
    // Only the modifiers stay in a modifier key.
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(4, 4)), "M2,S-,K0xE0,K0xE1");
    QCOMPARE(test.window->GetKeyboard()->GetKeyImageIndex(4, 4), uint8_t(3));
}

void KeyPanelTest::defaultApplyDecidesWhenAnotherKeyIsClicked()
{
    for (bool defaultApply : {true, false}) {
        TestWindow test(kTypeZq2200One);
        test.settings.m_defaultApply = defaultApply;
        Keys keys(test);
        StartCapture(test, MakeGridPoint(1, 1));
        keys.Tap(EvA);
        test.Click(MakeGridPoint(3, 3));
        QVERIFY(!test.window->IsCapturing());
        QCOMPARE(test.window->GetCurrentKey(), MakeGridPoint(3, 3));
        QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)),
                 defaultApply ? "M1,S+,K0x04" : "");
    }
}

void KeyPanelTest::keyTypeChangeClearsTheKeyAndKeepsItsName()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(2, 2), 1));
    test.window->FillFunctionListFromAllKeys();
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 2));
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    QComboBox* type = test.window->GetPanel()->GetKeyType();
    emit type->activated(1);
    QCOMPARE(CodesOf(keyboard, MakeGridPoint(2, 2)), "M1,S+,K0x06");
    emit type->activated(1);
    QCOMPARE(prompts.shown, (std::vector<std::string>{"Clear key Coffee?", "Clear key Coffee?"}));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Coffee"));
    QCOMPARE(type->currentIndex(), 1);
    // The key's former programming stays in the function list as an entry of no key.
    QCOMPARE(test.window->GetPanel()->GetFunctionList()->count(), 1);
    QCOMPARE(test.window->GetPanel()->GetFunctionList()->itemText(0), QStringLiteral("Coffee"));
}

void KeyPanelTest::affixCaptureInBothStyles()
{
    {
        // Code sequences: the prefix captures in fast edit as soon as its field has the focus.
        TestWindow test(kTypeZq2200One);
        Keys keys(test);
        ConfigurationPage* page = test.window->GetConfigurationPage();
        page->GetAffixKeys(true)->setFocus();
        keys.Press(EvLeftShift);
        keys.Tap(EvA);
        keys.Release(EvLeftShift);
        keys.Settle();
        QCOMPARE(page->GetAffixKeys(true)->text(), QStringLiteral(" A "));
        QCOMPARE(page->GetAffixModifiers(true)->text(), QStringLiteral("Left_shift"));
        page->GetAffixClear(true)->click();
        QCOMPARE(page->GetAffixKeys(true)->text(), QString());
        // Without fast edit, Enter arms the suffix capture first.
        test.settings.m_fastEdit = false;
        page->GetAffixKeys(false)->setFocus();
        keys.Tap(EvB);
        QCOMPARE(page->GetAffixKeys(false)->text(), QString());
        keys.Tap(EvEnter);
        keys.Tap(EvB);
        QCOMPARE(page->GetAffixKeys(false)->text(), QStringLiteral(" B "));
    }
    // A code byte and an extended flag, typed into the ZQ-1100's fields.
    TestWindow test(kTypeZq1100V2Single);
    ConfigurationPage* page = test.window->GetConfigurationPage();
    QVERIFY(!page->GetAffixKeys(true)->isVisible());
    page->GetAffixCode(true)->setFocus();
    page->GetAffixCode(true)->selectAll();
    QTest::keyClicks(page->GetAffixCode(true), QStringLiteral("28"));
    page->GetAffixExtended(false)->click();
    page->GetKeyBeep()->click();
    QCOMPARE(test.window->GetKeyboard()->GetAffixKeyCode(true), uint8_t(28));
    QVERIFY(test.window->GetKeyboard()->GetKeyBeep());
    QVERIFY(test.window->GetKeyboard()->GetAffixExtended(false));
}

void KeyPanelTest::configurationControlsReachTheSavedFile()
{
    TestWindow test(kTypeZq2200One);
    ConfigurationPage* page = test.window->GetConfigurationPage();
    page->GetRfidDigits()->setFocus();
    page->GetRfidDigits()->selectAll();
    QTest::keyClicks(page->GetRfidDigits(), QStringLiteral("5"));
    page->GetNumericOnly()->click();
    // The USB keyboards have no settable key beep.
    QVERIFY(!page->GetKeyBeep()->isEnabled());
    page->GetTypematic()->click();
    page->GetKeyPause()->setFocus();
    page->GetKeyPause()->selectAll();
    QTest::keyClicks(page->GetKeyPause(), QStringLiteral("7"));
    page->GetTypematicRate()->setValue(20);
    page->GetTypematicDelay()->setValue(1);
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("options.zqp")).toStdString();
    QVERIFY(test.window->SaveProject(path, 0));
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.value(1), QByteArray("RFID=5,T,P=7,R=20,D=1,KP0x0000,KS0x0000,LC1\r"));
}

void KeyPanelTest::fastEditStartsAtOnceOtherwiseEnterTwice()
{
    TestWindow test(kTypeZq2200One);
    test.ShowLayout(1);
    QTest::mouseDClick(test.Picture(), Qt::LeftButton, {}, test.Picture()->CellCentre(MakeGridPoint(3, 3)));
    QVERIFY(test.window->GetPanel()->GetCodeField(1)->hasFocus());
    QVERIFY(test.window->GetEditSession().IsEditing());
    test.window->GetPanel()->GetCancel()->click();
    QVERIFY(!test.window->GetEditSession().IsEditing());

    test.settings.m_fastEdit = false;
    Keys keys(test);
    test.Click(MakeGridPoint(4, 4));
    keys.Tap(EvEnter);
    QVERIFY(test.window->GetPanel()->GetKeyName()->hasFocus());
    // From the name, Enter goes to the code fields and shows the hint; Enter again starts.
    keys.Tap(EvEnter);
    QVERIFY(test.window->GetPanel()->GetHint()->isVisible());
    QVERIFY(!test.window->GetEditSession().IsEditing());
    keys.Tap(EvEnter);
    QVERIFY(test.window->IsCapturing());
    QVERIFY(!test.window->GetPanel()->GetHint()->isVisible());
}

void KeyPanelTest::scanCodeDialogShowsTheRecordBytes()
{
    // A ZQ-1100 v1 key holds seven codes: bytes 1 to 7 of its eight-byte record.
    TestWindow test(7);
    Keyboard& keyboard = *test.window->GetKeyboard();
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 1));
    QVERIFY(test.window->GetPanel()->GetEditCodes()->isVisible());
    QList<bool> enabled;
    const HookGuard<ScanCodeDialog> hook([&enabled](ScanCodeDialog& dialog) {
        for (int i = 1; i <= ScanCodeDialog::kFields; ++i) {
            enabled.append(dialog.GetField(i)->isEnabled());
        }
        dialog.GetField(1)->SetIntegerValue(0x1C);
        dialog.GetField(2)->SetIntegerValue(0xF0);
        dialog.GetField(3)->SetIntegerValue(0x1C);
        dialog.accept();
    });
    test.window->GetPanel()->GetEditCodes()->click();
    QCOMPARE(enabled.count(true), 7);
    QVERIFY(enabled[6] && !enabled[7]);
    KeyCell* cell = nullptr;
    QVERIFY(keyboard.GetCell(2, 1, 1, &cell));
    QCOMPARE(cell->GetCodeCount(), uint8_t(3));
    QCOMPARE(cell->GetCode(1), uint32_t(0x1C));
    QCOMPARE(test.window->GetPanel()->GetCodeField(1)->text(), QStringLiteral(" A "));
}

void KeyPanelTest::onlyTheFieldsAKeyHoldsAreOpen()
{
    // Two layouts a side: 8 codes a key.
    TestWindow test(kTypeZq3300DoubleTwo);
    test.ShowLayout(1);
    test.Click(MakeGridPoint(1, 1));
    const KeyPanel& panel = *test.window->GetPanel();
    for (int i = 1; i <= KeyPanel::kCodeFields; ++i) {
        QCOMPARE(panel.GetCodeField(i)->isEnabled(), i <= 8);
    }
    // A caption longer than its field is whole in the tool tip.
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Ctrl", "M1,S+,K0xE0,K0xF0", MakeGridPoint(1, 1), 1));
    test.window->RefreshCurrentKey();
    QCOMPARE(panel.GetCodeField(2)->toolTip(), QStringLiteral("Release_Left_Control"));
}

void KeyPanelTest::paletteAddsCodesNoPcKeyboardTypes()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    const GridPoint key = MakeGridPoint(2, 2);
    test.ShowLayout(1);
    test.Click(key);
    QVERIFY(Trigger(test.window->GetAction(CmdKeyCodes)));
    KeyCodesDialog* palette = test.window->GetKeyCodes();
    QVERIFY(palette != nullptr && palette->isVisible());
    QTRY_VERIFY(palette->GetSearch()->hasFocus());

    Search(*palette, QStringLiteral("f13"));
    QCOMPARE(ShownEntries(*palette), QStringList{QStringLiteral("F13")});
    QCOMPARE(palette->GetList()->topLevelItem(1)->text(0), QStringLiteral("Function keys (1)"));
    QTest::keyClick(palette->GetSearch(), Qt::Key_Return);
    QCOMPARE(CodesOf(keyboard, key), std::string("M1,S+,K0x68"));

    // The system control page's Power cannot be kept by the keyboard; the keyboard page's can.
    Search(*palette, QStringLiteral("POWER"));
    QCOMPARE(ShownEntries(*palette),
             (QStringList{QStringLiteral("Power / The keyboard cannot store this code."),
                          QStringLiteral("Power")}));
    QTreeWidgetItem* power = ShownEntry(*palette, 1);
    QTreeWidget* list = palette->GetList();
    // A double click as the platform delivers it: the press first, on the same item.
    const QPoint centre = list->visualItemRect(power).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(CodesOf(keyboard, key), std::string("M1,S+,K0x68,K0x66"));
    QCOMPARE(test.window->GetPanel()->GetCodeField(2)->text(), QStringLiteral("Power"));
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(palette->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/key-codes.png")));

    // Each addition is a step of its own (undo replaces the project).
    QVERIFY(Trigger(test.window->GetAction(CmdUndo)));
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), key), std::string("M1,S+,K0x68"));
}

void KeyPanelTest::paletteAddsToThePendingEditOfAZq1100Key()
{
    TestWindow test(kTypeZq1100V2Single);
    Keys keys(test);
    QVERIFY(Trigger(test.window->GetAction(CmdKeyCodes)));
    KeyCodesDialog* palette = test.window->GetKeyCodes();
    // Nothing to add to on the configuration tab.
    Search(*palette, QStringLiteral("pause"));
    QCOMPARE(ShownEntries(*palette),
             QStringList{QStringLiteral("Pause / Choose a key on a layout tab first.")});
    Search(*palette, QStringLiteral("f13"));
    QVERIFY(ShownEntries(*palette).isEmpty());

    test.window->activateWindow();
    StartCapture(test, MakeGridPoint(1, 1));
    keys.Tap(EvA);
    // The palette takes the focus; the edit stays pending.
    palette->activateWindow();
    Search(*palette, QStringLiteral("pause"));
    QVERIFY(test.window->GetEditSession().IsEditing());
    QCOMPARE(ShownEntries(*palette), QStringList{QStringLiteral("Pause")});
    QTest::keyClick(palette->GetSearch(), Qt::Key_Return);
    KeyPanel& panel = *test.window->GetPanel();
    QCOMPARE(panel.GetCodeField(1)->text(), QStringLiteral(" A "));
    QCOMPARE(panel.GetCodeField(4)->text(), QStringLiteral("Pause"));
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)), std::string());
    QVERIFY(test.window->GetEditSession().IsEditing());
    QTest::mouseClick(panel.GetApply(), Qt::LeftButton);
    QCOMPARE(CodesOf(*test.window->GetKeyboard(), MakeGridPoint(1, 1)).substr(0, 17),
             std::string("I28, 225, 20, 119"));
}

ZQ_UI_TEST(KeyPanelTest)
#include "KeyPanelTest.moc"
