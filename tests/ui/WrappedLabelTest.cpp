// The wrapped label that keeps its heights answers as a plain wrapped label does, whatever changed.
#include "UiTestMain.h"

#include "ui/WrappedLabel.h"

#include <QLabel>

#include <functional>

class WrappedLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void heightsFollowEveryChangeOfTheLayout();
};

void WrappedLabelTest::heightsFollowEveryChangeOfTheLayout()
{
    const QString text =
        QStringLiteral("Capturing keys: every key you press goes into the key. Hold Enter to apply.");
    QLabel plain(text);
    plain.setWordWrap(true);
    WrappedLabel kept(text, nullptr);
    QFont larger = plain.font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    const std::pair<const char*, std::function<void(QLabel&)>> changes[] = {
        {"nothing", [](QLabel&) {}},
        {"text", [](QLabel& label) { label.setText(QStringLiteral("A shorter note.")); }},
        {"longer text", [&](QLabel& label) { label.setText(text + QLatin1Char(' ') + text); }},
        {"font", [&](QLabel& label) { label.setFont(larger); }},
        {"margin", [](QLabel& label) { label.setMargin(12); }},
        {"indent", [](QLabel& label) { label.setIndent(30); }},
        {"contents margins", [](QLabel& label) { label.setContentsMargins(5, 20, 40, 3); }},
        {"rich text",
         [](QLabel& label) {
             label.setTextFormat(Qt::RichText);
             label.setText(QStringLiteral("<b>Bold</b> words wrap otherwise than plain ones do"));
         }},
    };
    for (const auto& [what, change] : changes) {
        change(plain);
        change(kept);
        // Twice each: the second answer comes from what was kept.
        for (int round = 0; round < 2; ++round) {
            for (const int width : {60, 140, 300, 800}) {
                QVERIFY2(
                    kept.heightForWidth(width) == plain.heightForWidth(width),
                    qPrintable(QStringLiteral("after %1, at width %2").arg(QLatin1String(what)).arg(width)));
            }
        }
    }
}

ZQ_UI_TEST(WrappedLabelTest)
#include "WrappedLabelTest.moc"
