// Comparing the project with a file or the simulated keyboard: the marks on the picture, the panel's
// view of both sides, taking the other side's key as one undo step, and ending the comparison.
#include "DarkPalette.h"
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/ColourContrast.h"
#include "editor/EditorCommands.h"
#include "files/ProjectOpen.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "ui/KeyPanel.h"

#include "KeyCells.h"

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

Rgb ToRgb(const QColor& colour)
{
    return Rgb{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
               static_cast<uint8_t>(colour.blue())};
}

// The contrast of what is written in a part of the image: its commonest colour (the cap's fill)
// against the pixel that stands out most from it (the core of a stroke).
double InkContrast(const QImage& image, const QRect& part)
{
    std::map<QRgb, int> counts;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const auto commonest = std::max_element(counts.begin(), counts.end(),
                                            [](const auto& a, const auto& b) { return a.second < b.second; });
    const QColor fill = QColor::fromRgb(commonest->first);
    double best = 1.0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            best = std::max(best, ContrastRatio(ToRgb(image.pixelColor(x, y)), ToRgb(fill)));
        }
    }
    return best;
}

// Here: Tea the same, Coffee with another code, Cake alone, a double key Water; there: Juice
// alone, Water and Soda as two singles, fewer RFID digits and one layout less.
void FillOurs(Keyboard& keyboard)
{
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", At(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", At(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Cake", "M1,S+,K0x05", At(3, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Water", "M1,S+,K0x1A", At(1, 2), 1));
    QVERIFY(keyboard.ChangeShape(At(1, 2), ShapeRight, 1));
    QVERIFY(keyboard.SetKeyTexts("Later", "M1,S+,K0x08", At(1, 1), 3));
}

bool WriteTheirs(const std::string& path)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200Two);
    uint8_t format = 0;
    return keyboard->SetKeyTexts("Tea", "M1,S+,K0x17", At(1, 1), 1) &&
           keyboard->SetKeyTexts("Coffee", "M1,S+,K0x07", At(2, 1), 1) &&
           keyboard->SetKeyTexts("Juice", "M2,K0xE1", At(4, 1), 1) &&
           keyboard->SetKeyTexts("Water", "M1,S+,K0x1A", At(1, 2), 1) &&
           keyboard->SetKeyTexts("Soda", "M1,S+,K0x16", At(2, 2), 1) && keyboard->SetRfidDigits(5) &&
           SaveProjectFile(*keyboard, path, &format) == SaveOutcome::Saved;
}

} // namespace

class CompareTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.isValid()); }
    void marksFollowEditsAndEndCleanly();
    void takingTheOtherSidesKeyIsOneUndoStep();
    void theKeyboardIsReadAsReadingBackDoes();
    void theRealFileDialogOffersWhatOpenOffers();
    void marksReadWellInLightAndDarkThemes_data();
    void marksReadWellInLightAndDarkThemes();

private:
    std::string File(const char* name) const
    {
        return m_folder.filePath(QString::fromLatin1(name)).toStdString();
    }

    // This side of every test, opened from a file: nothing unsaved, no undo step yet.
    void OpenOurs(TestWindow& test)
    {
        std::unique_ptr<Keyboard> ours = CreateKeyboard(kTypeZq2200Three);
        FillOurs(*ours);
        QVERIFY(SaveProjectFile(*ours, File("ours.zqp")) == SaveOutcome::Saved);
        QVERIFY(test.window->OpenProject(File("ours.zqp")));
    }

    // Compares the window's project with the file through the File menu.
    void CompareWith(TestWindow& test, const std::string& path)
    {
        ScriptedFileDialogs dialogs;
        dialogs.answer = FileChoice{true, path, 1, false};
        QVERIFY(Trigger(test.window->GetAction(CmdCompareFile)));
        QCOMPARE(dialogs.kind, FileDialogKind::CompareProject);
    }

    CompareMark Mark(TestWindow& test, GridPoint key, uint8_t layout = 1)
    {
        return test.window->GetComparison().GetMark(*test.window->GetKeyboard(), key, layout);
    }

    QTemporaryDir m_folder;
};

void CompareTest::marksFollowEditsAndEndCleanly()
{
    TestWindow test(kTypeZq2200Three);
    OpenOurs(test);
    QVERIFY(WriteTheirs(File("theirs.zqp")));
    KeyPanel* panel = test.window->GetPanel();
    QVERIFY(!test.window->GetAction(CmdCloseComparison)->isEnabled());
    QVERIFY(!panel->GetCompareGroup()->isVisibleTo(test.window.get()));

    CompareWith(test, File("theirs.zqp"));
    // The marks are on the keys: the first layout is shown.
    QCOMPARE(test.window->GetTabs()->currentIndex(), 1);
    QCOMPARE(Mark(test, At(1, 1)), CompareMark::Same);
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Changed);
    QCOMPARE(Mark(test, At(3, 1)), CompareMark::OnlyHere);
    QCOMPARE(Mark(test, At(4, 1)), CompareMark::OnlyThere);
    QCOMPARE(Mark(test, At(2, 2)), CompareMark::Changed); // a double key against two singles
    QCOMPARE(Mark(test, At(1, 1), 3), CompareMark::OnlyHere);
    QVERIFY(panel->GetCompareGroup()->isVisibleTo(test.window.get()));
    QCOMPARE(panel->GetCompareGroup()->title(), QStringLiteral("Compared with theirs.zqp"));
    QCOMPARE(panel->GetCompareSummary()->text(), QStringLiteral("5 keys differ, 1 option"));
    QVERIFY(panel->GetCompareDetails()->text().contains(QStringLiteral("Digits count: 9 here, 5 there")));
    QVERIFY(panel->GetCompareDetails()->text().contains(QStringLiteral(": only here")));
    QCOMPARE(test.window->statusBar()->currentMessage(), QStringLiteral("5 keys differ, 1 option"));

    // Both sides of the selected key.
    test.Click(At(2, 1));
    QCOMPARE(panel->GetKeyName()->text(), QStringLiteral("Coffee"));
    const QString there = panel->GetOtherKey()->text();
    QVERIFY2(there.startsWith(QStringLiteral("\u2260 changed\nThere: ")), qPrintable(there));
    QVERIFY(there.contains(QStringLiteral("Name: Coffee")));
    QVERIFY(panel->GetTakeOtherKey()->isEnabled());
    test.Click(At(1, 1));
    QVERIFY(!panel->GetTakeOtherKey()->isEnabled());
    QVERIFY(!test.window->GetAction(CmdTakeOtherKey)->isEnabled());

    // An edit is compared again at once.
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes};
    test.Click(At(3, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdClearKey)));
    QCOMPARE(Mark(test, At(3, 1)), CompareMark::None);
    QCOMPARE(panel->GetCompareSummary()->text(), QStringLiteral("4 keys differ, 1 option"));

    // Escape ends it: no marks, no panel, nothing to take.
    QTest::keyClick(test.Picture(), Qt::Key_Escape);
    QVERIFY(!test.window->GetComparison().IsActive());
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::None);
    QVERIFY(!panel->GetCompareGroup()->isVisibleTo(test.window.get()));
    QVERIFY(!test.window->GetAction(CmdCloseComparison)->isEnabled());
    QVERIFY(test.window->isVisible());

    // A project of another family is refused with the reason; a new project ends a comparison.
    std::unique_ptr<Keyboard> legacy = CreateKeyboard(kTypeZq1100V2Single);
    QVERIFY(legacy->SetKeyTexts("Tea", "I28; 10", 2, 1, 1));
    QVERIFY(SaveProjectFile(*legacy, File("legacy.txt")) == SaveOutcome::Saved);
    CompareWith(test, File("legacy.txt"));
    QVERIFY(!test.window->GetComparison().IsActive());
    QCOMPARE(prompts.shown.back(), std::string("Only projects of one family can be compared: this one is a "
                                               "ZQ-2200 project, the other a ZQ-1100 one."));
    CompareWith(test, File("theirs.zqp"));
    QVERIFY(test.window->GetComparison().IsActive());
    prompts.answers = {PromptAnswer::No};
    QVERIFY(test.window->OpenProject(File("theirs.zqp")));
    QVERIFY(!test.window->GetComparison().IsActive());
    QVERIFY(!panel->GetCompareGroup()->isVisibleTo(test.window.get()));
}

void CompareTest::takingTheOtherSidesKeyIsOneUndoStep()
{
    TestWindow test(kTypeZq2200Three);
    OpenOurs(test);
    QVERIFY(WriteTheirs(File("theirs.zqp")));
    std::unique_ptr<Keyboard> theirs = OpenProjectFile(File("theirs.zqp")).keyboard;
    QVERIFY(theirs != nullptr);
    CompareWith(test, File("theirs.zqp"));
    QVERIFY(!test.window->GetDocument().HasUnsavedChanges());
    test.Click(At(2, 1));
    const std::string before = Codes(*test.window->GetKeyboard(), At(2, 1));

    // Through the panel's button, as a user would.
    QTest::mouseClick(test.window->GetPanel()->GetTakeOtherKey(), Qt::LeftButton);
    QCOMPARE(Codes(*test.window->GetKeyboard(), At(2, 1)), Codes(*theirs, At(2, 1)));
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Same);
    QVERIFY(test.window->GetDocument().HasUnsavedChanges());
    QVERIFY(test.ShownTitle().contains(QLatin1Char('*')));
    QVERIFY(!test.window->GetPanel()->GetTakeOtherKey()->isEnabled());

    // One step back is the key as it was, marked again; one forward takes it again.
    QVERIFY(Trigger(test.window->GetAction(CmdUndo)));
    QCOMPARE(Codes(*test.window->GetKeyboard(), At(2, 1)), before);
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Changed);
    QVERIFY(!test.window->GetDocument().HasUnsavedChanges());
    QVERIFY(!test.window->GetAction(CmdUndo)->isEnabled());
    QVERIFY(Trigger(test.window->GetAction(CmdRedo)));
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Same);

    // A key only there comes with its name, and joins the function list.
    test.Click(At(4, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdTakeOtherKey)));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Juice"));
    QVERIFY(test.window->GetFunctionList().FindByKeyNumber(
                test.window->GetKeyboard()->GetCellIndex(At(4, 1), 1)) != 0);
    QCOMPARE(test.window->GetPanel()->GetCompareSummary()->text(), QStringLiteral("3 keys differ, 1 option"));
}

void CompareTest::theKeyboardIsReadAsReadingBackDoes()
{
    Simulator simulator(m_folder.path(), {});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    test.settings.m_backupBeforeProgramming = false;
    ScriptedPrompts prompts;
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", At(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", At(2, 1), 1));
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QVERIFY(prompts.shown.empty());
    // Afterwards the project changes: a code, and a name the keyboard never held.
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Coffee", "M1,S+,K0x07", At(2, 1), 1));
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Green tea", "M1,S+,K0x17", At(1, 1), 1));
    test.window->RefreshCurrentKey();
    const std::string signature = test.window->GetKeyboard()->GetContentSignature();

    QVERIFY(Trigger(test.window->GetAction(CmdCompareKeyboard)));
    QVERIFY(prompts.shown.empty());
    QVERIFY(test.window->isEnabled());
    QVERIFY(test.window->GetComparison().IsActive());
    // Reading it changed nothing in the project.
    QCOMPARE(test.window->GetKeyboard()->GetContentSignature(), signature);
    KeyPanel* panel = test.window->GetPanel();
    QCOMPARE(panel->GetCompareGroup()->title(), QStringLiteral("Compared with the keyboard"));
    QCOMPARE(panel->GetCompareSummary()->text(), QStringLiteral("1 key differs"));
    QCOMPARE(Mark(test, At(1, 1)), CompareMark::Same);
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Changed);
    test.Click(At(2, 1));
    QVERIFY(!panel->GetOtherKey()->text().contains(QStringLiteral("Name:")));
    QVERIFY(Trigger(test.window->GetAction(CmdTakeOtherKey)));
    QCOMPARE(panel->GetCompareSummary()->text(), QStringLiteral("No differences"));
    QCOMPARE(panel->GetKeyName()->text(), QStringLiteral("Coffee"));
    QVERIFY(Trigger(test.window->GetAction(CmdCloseComparison)));
    QVERIFY(!test.window->GetComparison().IsActive());
}

void CompareTest::theRealFileDialogOffersWhatOpenOffers()
{
    TestWindow test(kTypeZq2200Three);
    OpenOurs(test);
    QVERIFY(WriteTheirs(File("theirs.zqp")));
    QStringList offered;
    bool answered = false;
    // Looks again from the event loop until the modal dialog is up, then answers it.
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            QTimer::singleShot(0, answer);
            return;
        }
        offered = dialog->nameFilters();
        dialog->setDirectory(m_folder.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("theirs.zqp"));
        answered = true;
        static_cast<QDialog*>(dialog)->accept();
        if (dialog->isVisible()) {
            dialog->reject();
        }
    };
    QTimer::singleShot(0, answer);
    QVERIFY(Trigger(test.window->GetAction(CmdCompareFile)));
    QVERIFY(answered);
    QCOMPARE(offered, DialogFilters(GetOpenFileFilter()));
    QVERIFY(test.window->GetComparison().IsActive());
    QCOMPARE(Mark(test, At(2, 1)), CompareMark::Changed);
}

void CompareTest::marksReadWellInLightAndDarkThemes_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

// What a shop sees: every kind of mark, the selected key's two sides, the options that differ.
void CompareTest::marksReadWellInLightAndDarkThemes()
{
    QFETCH(bool, dark);
    if (IsUnderWine()) {
        QSKIP("wine's fonts");
    }
    TestWindow test(kTypeZq2200Three);
    if (dark) {
        test.window->setPalette(DarkPalette());
    }
    FillOurs(*test.window->GetKeyboard());
    QVERIFY(WriteTheirs(File("theirs.zqp")));
    CompareWith(test, File("theirs.zqp"));
    test.Click(At(2, 1));
    QCoreApplication::processEvents();
    QVERIFY2(test.window->minimumSizeHint().width() <= 800,
             qPrintable(QString::number(test.window->minimumSizeHint().width())));
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(test.window->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/compare-%1.png")
                                         .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"))));
    KeyboardView* picture = test.Picture();
    const QImage image = picture->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int cell = picture->GetCellSize();
    std::vector<QColor> fills;
    for (const GridPoint key : {At(1, 1), At(2, 1), At(3, 1), At(4, 1)}) {
        const QRect area(picture->GetPictureOrigin() +
                             QPoint((GridColumn(key) - 1) * cell, (GridRow(key) - 1) * cell),
                         QSize(cell, cell));
        const QRect pixels = QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toRect();
        // The symbol in the upper right corner, the name below it.
        const QRect symbol(pixels.left() + pixels.width() / 2, pixels.top() + pixels.height() / 10,
                           pixels.width() * 4 / 10, pixels.height() * 3 / 10);
        const QRect name = pixels.adjusted(pixels.width() / 8, pixels.height() * 4 / 10, -pixels.width() / 8,
                                           -pixels.height() / 5);
        for (const QRect& part : {symbol, name}) {
            const double contrast = InkContrast(image, part);
            QVERIFY2(contrast >= kLeastTextContrast,
                     qPrintable(QStringLiteral("key %1: %2:1").arg(GridColumn(key)).arg(contrast)));
        }
        fills.push_back(
            image.pixelColor(pixels.left() + pixels.width() / 6, pixels.bottom() - pixels.height() / 4));
    }
    // Each kind of mark has its own colour too.
    for (size_t i = 0; i < fills.size(); ++i) {
        for (size_t j = i + 1; j < fills.size(); ++j) {
            QVERIFY2(fills[i] != fills[j], qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        }
    }
}

ZQ_UI_TEST(CompareTest)
#include "CompareTest.moc"
