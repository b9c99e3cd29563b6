// The numeric entry field under real key presses, pastes and focus changes.
#include "UiTestMain.h"

#include "ui/NumberEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// A 0..255 field and a second one to take the focus away.
struct Fields
{
    QWidget window;
    NumberEdit* field = new NumberEdit(&window);
    NumberEdit* other = new NumberEdit(&window);

    Fields()
    {
        QVERIFY(field->SetIntegerRange(0, 255, 3, 0, false));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        field->setFocus();
        QVERIFY(field->hasFocus());
    }
};

void Paste(NumberEdit* field, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class NumberEditTest : public QObject
{
    Q_OBJECT

private slots:
    void refusedKeysBeepAndNeverReachTheText();
    void leadingZerosGoWhileTheCaretStays();
    void pasteIsJudgedWholeAndRefusalRestoresTheSelection();
    void focusChangesGiveBoundsAndZeroRules();
};

void NumberEditTest::refusedKeysBeepAndNeverReachTheText()
{
    Fields fields;
    NumberEdit* field = fields.field;
    QSignalSpy changes(field, &QLineEdit::textChanged);
    QTest::keyClicks(field, QStringLiteral("256"));
    QCOMPARE(field->text(), QStringLiteral("25"));
    QCOMPARE(field->GetBeepCount(), 1);
    QTest::keyClicks(field, QStringLiteral("a-. "));
    QCOMPARE(field->text(), QStringLiteral("25"));
    QCOMPARE(field->cursorPosition(), 2);
    QCOMPARE(field->GetBeepCount(), 5);
    QTest::keyClicks(field, QStringLiteral("59"));
    QCOMPARE(field->text(), QStringLiteral("255"));
    QCOMPARE(field->GetBeepCount(), 6);
    // Whoever follows the field only ever sees the accepted texts.
    QCOMPARE(changes.count(), 3);
}

void NumberEditTest::leadingZerosGoWhileTheCaretStays()
{
    Fields fields;
    NumberEdit* field = fields.field;
    QTest::keyClicks(field, QStringLiteral("0042"));
    QCOMPARE(field->text(), QStringLiteral("42"));
    QCOMPARE(field->cursorPosition(), 2);
    QCOMPARE(field->GetBeepCount(), 0);

    // A deletion that leaves zeros in front loses them too.
    QVERIFY(field->SetIntegerValue(105));
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("5"));
    QCOMPARE(field->cursorPosition(), 0);
}

void NumberEditTest::pasteIsJudgedWholeAndRefusalRestoresTheSelection()
{
    Fields fields;
    NumberEdit* field = fields.field;
    Paste(field, QStringLiteral("12x"));
    QVERIFY(field->text().isEmpty());
    QCOMPARE(field->GetBeepCount(), 1);

    QVERIFY(field->SetIntegerValue(255));
    field->setSelection(3, -2); // "55" selected, the caret before them
    Paste(field, QStringLiteral("99"));
    QCOMPARE(field->text(), QStringLiteral("255"));
    QCOMPARE(field->selectedText(), QStringLiteral("55"));
    QCOMPARE(field->cursorPosition(), 1);
    QCOMPARE(field->GetBeepCount(), 2);
}

void NumberEditTest::focusChangesGiveBoundsAndZeroRules()
{
    Fields fields;
    NumberEdit* field = fields.field;
    fields.other->setFocus();
    field->setText(QStringLiteral("300"));
    field->setFocus();
    QCOMPARE(field->text(), QStringLiteral("255"));
    field->setText(QStringLiteral("0"));
    fields.other->setFocus();
    QVERIFY(field->text().isEmpty());

    QVERIFY(field->SetIntegerRange(0, 255, 3, 0, true));
    field->setFocus();
    fields.other->setFocus();
    QCOMPARE(field->text(), QStringLiteral("0"));
}

ZQ_UI_TEST(NumberEditTest)
#include "NumberEditTest.moc"
