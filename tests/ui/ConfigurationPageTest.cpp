// The configuration tab's number fields typed into like a user: after leaving a field it shows
// what the keyboard holds, and a value the keyboard cannot take names the allowed range.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/ConfigurationPage.h"
#include "ui/KeyPanel.h"
#include "ui/NumberEdit.h"

#include <QStatusBar>

#include <functional>

namespace {

enum class Field { RfidDigits, Prefix, Suffix, KeyPause };

NumberEdit* FieldOf(ConfigurationPage* page, Field field)
{
    switch (field) {
    case Field::RfidDigits:
        return page->GetRfidDigits();
    case Field::Prefix:
        return page->GetAffixCode(true);
    case Field::Suffix:
        return page->GetAffixCode(false);
    case Field::KeyPause:
        return page->GetKeyPause();
    }
    return nullptr;
}

int KeyboardValueOf(const Keyboard& keyboard, Field field)
{
    switch (field) {
    case Field::RfidDigits:
        return keyboard.GetRfidDigits();
    case Field::Prefix:
        return keyboard.GetAffixKeyCode(true);
    case Field::Suffix:
        return keyboard.GetAffixKeyCode(false);
    case Field::KeyPause:
        return keyboard.GetKeyPause();
    }
    return -1;
}

const QString kRfidRange = QStringLiteral("Enter a number from 1 to 13.");
const QString kByteRange = QStringLiteral("Enter a number from 0 to 255.");

} // namespace

Q_DECLARE_METATYPE(Field)

class ConfigurationPageTest : public QObject
{
    Q_OBJECT

private slots:
    void leftFieldShowsWhatTheKeyboardHolds_data();
    void leftFieldShowsWhatTheKeyboardHolds();
    void keyNumberIsShownNotTyped();
};

void ConfigurationPageTest::leftFieldShowsWhatTheKeyboardHolds_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("held");
    QTest::addColumn<QString>("message");

    // RFID digits: the keyboard takes 1 to 13, whatever the family.
    QTest::newRow("digits 99") << 6 << Field::RfidDigits << "99"
                               << "9" << 9 << kRfidRange;
    QTest::newRow("digits 14") << 6 << Field::RfidDigits << "14"
                               << "1" << 1 << kRfidRange;
    QTest::newRow("digits 0") << 6 << Field::RfidDigits << "0"
                              << "1" << 1 << kRfidRange;
    QTest::newRow("digits emptied") << 6 << Field::RfidDigits << ""
                                    << "1" << 1 << kRfidRange;
    QTest::newRow("digits 12") << 6 << Field::RfidDigits << "12"
                               << "12" << 12 << QString();
    QTest::newRow("legacy digits 20") << 9 << Field::RfidDigits << "20"
                                      << "2" << 2 << kRfidRange;
    // The code bytes and the pause take a whole byte; 0 shows as an empty field.
    QTest::newRow("pause 999") << 6 << Field::KeyPause << "999"
                               << "99" << 99 << kByteRange;
    QTest::newRow("pause 0") << 6 << Field::KeyPause << "0"
                             << "" << 0 << QString();
    QTest::newRow("pause 255") << 9 << Field::KeyPause << "255"
                               << "255" << 255 << QString();
    QTest::newRow("prefix 256") << 9 << Field::Prefix << "256"
                                << "25" << 25 << kByteRange;
    QTest::newRow("suffix 1x") << 9 << Field::Suffix << "1x"
                               << "1" << 1 << kByteRange;
}

void ConfigurationPageTest::leftFieldShowsWhatTheKeyboardHolds()
{
    QFETCH(int, type);
    QFETCH(Field, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, held);
    QFETCH(QString, message);

    TestWindow test(static_cast<uint8_t>(type));
    NumberEdit* edit = FieldOf(test.window->GetConfigurationPage(), field);
    QVERIFY(edit->isVisible());
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), shown);
    QCOMPARE(KeyboardValueOf(*test.window->GetKeyboard(), field), held);
    QCOMPARE(test.window->statusBar()->currentMessage(), message);
    QCOMPARE(edit->toolTip(), field == Field::RfidDigits ? kRfidRange : kByteRange);
}

void ConfigurationPageTest::keyNumberIsShownNotTyped()
{
    TestWindow test(kTypeZq2200One);
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 1));
    QLineEdit* number = test.window->GetPanel()->GetKeyNumber();
    const QString shown = number->text();
    QVERIFY(!shown.isEmpty());
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("99"));
    QTest::keyClick(number, Qt::Key_Tab);
    QCOMPARE(number->text(), shown);
    QCOMPARE(test.window->GetCurrentKey(), MakeGridPoint(2, 1));
}

ZQ_UI_TEST(ConfigurationPageTest)
#include "ConfigurationPageTest.moc"
