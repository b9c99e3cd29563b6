// Legend sheets and the layout report as they come out: sizes read back from the written PDF, SVG
// and PNG files, the list of names too long for their slip, and the report's text.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/EditorCommands.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "ui/LayoutReportDocument.h"
#include "ui/LegendPrinting.h"
#include "ui/LegendsDialog.h"
#include "ui/ReportDialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QImageReader>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

// A shop's project: single keys, a double and a quad, and a name no slip holds.
std::unique_ptr<Keyboard> ShopProject()
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200Three);
    keyboard->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1);
    keyboard->SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(2, 1), 1);
    keyboard->SetKeyTexts("Hot|chocolate", "M1,S+,K0x0B", MakeGridPoint(3, 1), 1);
    keyboard->SetKeyTexts("Iced coffee", "M1,S+,K0x0C", MakeGridPoint(4, 1), 1);
    keyboard->SetKeyTexts("Total", "M1,S+,K0x28", MakeGridPoint(1, 3), 1);
    keyboard->ChangeShape(MakeGridPoint(1, 3), ShapeRight, 1);
    keyboard->SetKeyTexts("Cash", "M1,S+,K0x58", MakeGridPoint(4, 3), 1);
    keyboard->ChangeShape(MakeGridPoint(4, 3), ShapeBelow | ShapeRight | ShapeRightBelow, 1);
    keyboard->SetKeyTexts("Supercalifragilisticexpialidocious", "M1,S+,K0x08", MakeGridPoint(1, 2), 1);
    keyboard->SetKeyTexts("Lemonade", "M1,S+,K0x0F", MakeGridPoint(2, 2), 2);
    return keyboard;
}

LegendJob JobOf(Keyboard& keyboard, LegendKeys keys = LegendKeys::CurrentLayout)
{
    LegendJob job;
    job.items = CollectLegendItems(keyboard, keys, 1, {});
    job.projectName = QStringLiteral("shop.zqp");
    return job;
}

// The page box of a PDF's first page, in points.
QSizeF PdfPageBox(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QSizeF();
    }
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// Where dark runs cross a row of pixels: the centre of each run.
QList<double> DarkRunCentres(const QImage& image, int y, int from, int to, int threshold)
{
    QList<double> centres;
    int start = -1;
    for (int x = from; x <= to; ++x) {
        const bool dark = x < to && qGray(image.pixel(x, y)) < threshold;
        if (dark && start < 0) {
            start = x;
        } else if (!dark && start >= 0) {
            centres.append((start + x - 1) / 2.0);
            start = -1;
        }
    }
    return centres;
}

QString PdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class LegendPrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void pdfPagesAreThePaperInPoints();
    void svgIsInMillimetresWithTheSlipsAsRectangles();
    void pngCellsMeasureTheirMillimetresAt600Dpi();
    void theDialogListsNamesThatDoNotFit();
    void printLegendsThroughTheMenuWritesTheChosenFile();
    void theReportHoldsEveryKeyLine();
    void theReportDialogCarriesTheNotes();

private:
    QString File(const char* name) const { return m_folder.filePath(QLatin1String(name)); }
    QTemporaryDir m_folder;
};

void LegendPrintingTest::pdfPagesAreThePaperInPoints()
{
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    LegendJob job = JobOf(*keyboard);
    const std::pair<PageSetup, QSizeF> papers[] = {
        {A4Page(), QSizeF(595.3, 841.9)},
        {LetterPage(), QSizeF(612, 792)},
        {PageSetup{100, 150, 5, false}, QSizeF(283.5, 425.2)},
    };
    for (const auto& [page, points] : papers) {
        job.page = page;
        QString failed;
        QVERIFY(ExportLegends(job, File("sheet.pdf"), failed));
        const QSizeF box = PdfPageBox(File("sheet.pdf"));
        QVERIFY2(qAbs(box.width() - points.width()) <= 1 && qAbs(box.height() - points.height()) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
    }
    // A folder that is not there: a failure, not a file that seems written.
    QString failed;
    QVERIFY(!ExportLegends(job, File("none/sheet.pdf"), failed));
}

void LegendPrintingTest::svgIsInMillimetresWithTheSlipsAsRectangles()
{
    if (!CanExportSvg()) {
        QSKIP("this build has no SVG export");
    }
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    LegendJob job = JobOf(*keyboard);
    QString failed;
    QVERIFY(ExportLegends(job, File("sheet.svg"), failed));
    QFile file(File("sheet.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    QVERIFY(svg.contains(QStringLiteral("width=\"210mm\" height=\"297mm\"")));
    const QRegularExpressionMatch viewBox =
        QRegularExpression(QStringLiteral(R"re(viewBox="0 0 ([\d.]+) ([\d.]+)")re")).match(svg);
    QVERIFY(viewBox.hasMatch());
    const double unitsPerMm = viewBox.captured(1).toDouble() / 210.0;
    QMap<QString, int> sizes; // "w x h" in mm -> count
    QRegularExpressionMatchIterator rects =
        QRegularExpression(QStringLiteral(R"re(<rect [^>]*width="([\d.]+)" height="([\d.]+)")re"))
            .globalMatch(svg);
    while (rects.hasNext()) {
        const QRegularExpressionMatch rect = rects.next();
        sizes[QStringLiteral("%1 x %2")
                  .arg(rect.captured(1).toDouble() / unitsPerMm, 0, 'f', 2)
                  .arg(rect.captured(2).toDouble() / unitsPerMm, 0, 'f', 2)] += 1;
    }
    // Five single keys, one double key and one quad key of this layout.
    QCOMPARE(sizes.value(QStringLiteral("14.00 x 14.00")), 5);
    QCOMPARE(sizes.value(QStringLiteral("33.05 x 14.00")), 1);
    QCOMPARE(sizes.value(QStringLiteral("33.05 x 33.05")), 1);
}

void LegendPrintingTest::pngCellsMeasureTheirMillimetresAt600Dpi()
{
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    LegendJob job = JobOf(*keyboard);
    QString failed;
    QVERIFY(ExportLegends(job, File("sheet.png"), failed));
    QImageReader reader(File("sheet.png"));
    reader.setAllocationLimit(0); // a page at 600 dpi is larger than Qt reads by default
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.width(), 4961); // 210 mm at 600 dpi
    QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 600);
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(image.copy(0, 0, 2600, 1400).save(QStringLiteral(ZQ_SCREENSHOT_DIR "/legend-sheet.png")));

    // A row half a millimetre below the first row's top edge crosses the cut lines and no text.
    const LegendSheet sheet = LayOutJob(job);
    const MmRect first = sheet.pages[0].legends[0].rect;
    const double dotsPerMm = 600 / 25.4;
    const int y = qRound((first.y + 0.5) * dotsPerMm);
    const QList<double> lines = DarkRunCentres(image, y, qRound((first.x - 1) * dotsPerMm),
                                               qRound((first.x + 5 * 14 + 1) * dotsPerMm), 230);
    QVERIFY2(lines.size() >= 6, qPrintable(QString::number(lines.size())));
    for (int i = 1; i < 6; ++i) {
        const double spacing = lines[i] - lines[i - 1];
        QVERIFY2(qAbs(spacing - 331) <= 1, qPrintable(QStringLiteral("cell %1: %2 px").arg(i).arg(spacing)));
    }
}

void LegendPrintingTest::theDialogListsNamesThatDoNotFit()
{
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    QStringList listed;
    QString summary;
    int allLayouts = 0;
    HookGuard<LegendsDialog> guard([&](LegendsDialog& dialog) {
        for (int i = 0; i < dialog.GetUnfittingList()->count(); ++i) {
            listed.append(dialog.GetUnfittingList()->item(i)->text());
        }
        summary = dialog.GetSummary();
        dialog.findChild<QComboBox*>(QStringLiteral("legendKeys"))->setCurrentIndex(1);
        allLayouts = static_cast<int>(dialog.GetJob().items.size());
        // A wider slip holds the long name at the smallest size.
        dialog.findChild<QComboBox*>(QStringLiteral("insertPreset"))->setCurrentIndex(6);
        dialog.findChild<QDoubleSpinBox*>(QStringLiteral("insertWidth"))->setValue(70);
        dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pitch"))->setValue(75);
        QCOMPARE(dialog.GetUnfittingList()->count(), 0);
    });
    LegendsDialog dialog(nullptr, *keyboard, MakeGridPoint(1, 1), QStringLiteral("shop.zqp"));
    dialog.Run();
    // Wine's fonts are wider: more names may be listed there, the long one always.
    if (!IsUnderWine()) {
        QCOMPARE(listed.size(), 1);
    }
    QVERIFY2(!listed.filter(QStringLiteral("Supercalifragilisticexpialidocious")).isEmpty(),
             qPrintable(listed.join(QLatin1Char('\n'))));
    QCOMPARE(summary, QStringLiteral("Legends: 7, pages: 1"));
    QCOMPARE(allLayouts, 8);
}

void LegendPrintingTest::printLegendsThroughTheMenuWritesTheChosenFile()
{
    TestWindow test(kTypeZq2200Three);
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Coffee", "M1,S+,K0x06", 1, 1, 1));
    ScriptedFileDialogs files;
    files.answer = {true, File("menu").toStdString(), 1, false}; // no extension: the filter's
    bool ran = false;
    int previewPages = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<LegendsDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        dialog->findChild<QComboBox*>(QStringLiteral("legendMode"))->setCurrentIndex(1);
        QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
        dialog->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/legends-dialog.png"));
        // The preview, itself modal, shows the sheet's page and is closed again.
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (preview != nullptr) {
                previewPages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                preview->reject();
            }
        });
        dialog->findChild<QPushButton*>(QStringLiteral("preview"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("export"))->click();
        ran = true;
        dialog->reject();
    });
    QVERIFY(Trigger(test.window->GetAction(CmdPrintLegends)));
    QVERIFY(ran);
    QCOMPARE(previewPages, 1);
    QCOMPARE(files.kind, FileDialogKind::ExportSheet);
    QVERIFY(QFileInfo(File("menu.pdf")).size() > 0);
    // The window keeps its narrow width with the new File items (wine's fonts are wider).
    QVERIFY(IsUnderWine() || test.window->minimumSizeHint().width() <= 800);
}

void LegendPrintingTest::theReportHoldsEveryKeyLine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QSKIP("pdftotext (poppler-utils) is not installed");
    }
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    const ReportFacts facts{QStringLiteral("shop.zqp"), QString(),
                            QDateTime(QDate(2026, 12, 8), QTime(9, 30))};
    QVERIFY(WriteLayoutReportPdf(*keyboard, facts, File("report.pdf")));
    const QString text = PdfText(File("report.pdf"));
    QVERIFY(!text.isEmpty());
    // One line a key: number, name, type, shape and the codes' names together. A "|" name is kept
    // as typed.
    const struct
    {
        int number;
        const char* name;
        const char* shape;
        const char* codes;
    } keys[] = {
        {1, "Coffee", "single", "C"},
        {2, "Tea", "single", "T"},
        {3, "Hot|chocolate", "single", "H"},
        {4, "Iced coffee", "single", "I"},
        {6, "Supercalifragilisticexpialidocious", "single", "E"},
        {11, "Total", "double, wide", "Enter"},
        {14, "Cash", "quad", "NumPad_Enter"},
    };
    for (const auto& key : keys) {
        const QRegularExpression line(QStringLiteral(R"((^|\n)\s*%1\s+%2\s+Key\s+%3\s+%4\s*\n)")
                                          .arg(key.number)
                                          .arg(QRegularExpression::escape(QLatin1String(key.name)),
                                               QRegularExpression::escape(QLatin1String(key.shape)),
                                               QRegularExpression::escape(QLatin1String(key.codes))));
        if (!line.match(text).hasMatch()) {
            qWarning().noquote() << text;
        }
        QVERIFY2(line.match(text).hasMatch(), key.name);
    }
    QVERIFY(text.contains(QStringLiteral("Lemonade")));
    QVERIFY(text.contains(QStringLiteral("2026-12-08 09:30")));
    QVERIFY(text.contains(ShortSignature(*keyboard)));
    QVERIFY(text.contains(QStringLiteral("Typematic rate")));
    QVERIFY(!text.contains(QStringLiteral("Mode"))); // no key of this keyboard has one
}

void LegendPrintingTest::theReportDialogCarriesTheNotes()
{
    std::unique_ptr<Keyboard> keyboard = ShopProject();
    bool written = false;
    HookGuard<ReportDialog> guard([&](ReportDialog& dialog) {
        dialog.GetNotes()->setPlainText(QStringLiteral("Till 3, front counter"));
        written = dialog.ExportTo(File("notes.pdf"));
    });
    ReportDialog dialog(nullptr, *keyboard, QString());
    dialog.Run();
    QVERIFY(written);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QSKIP("pdftotext (poppler-utils) is not installed");
    }
    const QString text = PdfText(File("notes.pdf"));
    QVERIFY(text.contains(QStringLiteral("Till 3, front counter")));
    QVERIFY(text.contains(QStringLiteral("not saved")));
}

ZQ_UI_TEST(LegendPrintingTest)
#include "LegendPrintingTest.moc"
