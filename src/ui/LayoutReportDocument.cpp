#include "ui/LayoutReportDocument.h"

#include "editor/LayoutReport.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "model/Keyboard.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace {

QString Html(const std::string& utf8)
{
    return QString::fromStdString(utf8).toHtmlEscaped();
}

QString Cell(const QString& text, const char* tag = "td")
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), text);
}

// The editor's own picture of a layout, in the light colours paper has whatever the desktop's theme.
QImage PictureOf(Keyboard& keyboard, uint8_t layout)
{
    const uint8_t current = keyboard.GetCurrentLayout();
    keyboard.SetCurrentLayout(layout);
    KeyboardView view(nullptr);
    view.setPalette(QApplication::style()->standardPalette());
    view.SetKeyboard(&keyboard);
    view.SetHighlightSuppressed(true);
    view.resize(view.sizeHint());
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    view.render(&image);
    view.SetKeyboard(nullptr);
    keyboard.SetCurrentLayout(current);
    return image;
}

QString FactsTable(Keyboard& keyboard, const ReportFacts& facts)
{
    const std::pair<uint32_t, QString> rows[] = {
        {IDS_REPORT_FILE, facts.fileName.isEmpty() ? Text(IDS_REPORT_NEW_PROJECT) : facts.fileName},
        {IDS_REPORT_KEYBOARD, FromProjectText(keyboard.GetTypeName())},
        {IDS_REPORT_SIGNATURE, ShortSignature(keyboard)},
        {IDS_REPORT_DATE, facts.date.toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
    };
    QString html = QStringLiteral("<table cellpadding='2'>");
    for (const auto& [label, value] : rows) {
        html += QStringLiteral("<tr>") + Cell(QStringLiteral("<b>%1</b>").arg(Text(label).toHtmlEscaped())) +
                Cell(value.toHtmlEscaped()) + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString OptionsTable(Keyboard& keyboard)
{
    QString html =
        QStringLiteral("<h3>%1</h3><table cellpadding='2'>").arg(Text(IDS_REPORT_OPTIONS).toHtmlEscaped());
    for (const auto& [label, value] : GetReportOptions(keyboard)) {
        html += QStringLiteral("<tr>") + Cell(Html(label)) + Cell(Html(value)) + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString KeyTable(const ReportLayout& layout)
{
    QString html = QStringLiteral(
        "<table border='1' cellspacing='0' cellpadding='3' width='100%' style='font-size: 8pt'><thead><tr>");
    // Names and shapes stay on one line (a name cut inside a word is hard to find again); codes wrap.
    // The USB keyboards' keys have no mode: the column only where a key has one.
    const bool modes = std::any_of(layout.keys.begin(), layout.keys.end(),
                                   [](const ReportKeyRow& key) { return !key.mode.empty(); });
    const std::pair<uint32_t, int> columns[] = {{IDS_REPORT_NUMBER, 9}, {IDS_REPORT_NAME, 32},
                                                {IDS_REPORT_MODE, 8},   {IDS_REPORT_KEY_TYPE, 11},
                                                {IDS_REPORT_SHAPE, 14}, {IDS_REPORT_CODES, modes ? 26 : 34}};
    for (const auto& [id, percent] : columns) {
        if (id == IDS_REPORT_MODE && !modes) {
            continue;
        }
        html += QStringLiteral("<th width='%1%' style='white-space: nowrap'>%2</th>")
                    .arg(percent)
                    .arg(Text(id).toHtmlEscaped());
    }
    html += QStringLiteral("</tr></thead>");
    for (const ReportKeyRow& key : layout.keys) {
        html += QStringLiteral("<tr>") + Cell(QString::number(key.number)) +
                QStringLiteral("<td style='white-space: nowrap'>%1</td>").arg(Html(key.name)) +
                (modes ? Cell(Html(key.mode)) : QString()) + Cell(Html(key.keyType)) +
                QStringLiteral("<td style='white-space: nowrap'>%1</td>").arg(Html(GetShapeName(key.shape))) +
                Cell(Html(key.codes)) + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString ShortSignature(Keyboard& keyboard)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromStdString(keyboard.GetContentSignature()), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(16));
}

std::unique_ptr<QTextDocument> BuildLayoutReport(Keyboard& keyboard, const ReportFacts& facts)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("Sans Serif"), 9);
    // No ligatures: "ff" stays two letters for whoever searches the PDF's text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    document->setDefaultFont(font);
    QString html = QStringLiteral("<h2>%1</h2>").arg(Text(IDS_REPORT_TITLE).toHtmlEscaped());
    html += FactsTable(keyboard, facts);
    if (!facts.notes.trimmed().isEmpty()) {
        html += QStringLiteral("<h3>%1</h3><p>%2</p>")
                    .arg(Text(IDS_REPORT_NOTES_HEADING).toHtmlEscaped(),
                         facts.notes.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    }
    html += OptionsTable(keyboard);
    for (const ReportLayout& layout : CollectReportLayouts(keyboard)) {
        html += QStringLiteral("<h3>%1</h3>").arg(Html(layout.name));
        if (layout.keys.empty()) {
            html += QStringLiteral("<p>%1</p>").arg(Text(IDS_REPORT_NO_KEYS).toHtmlEscaped());
            continue;
        }
        const QUrl picture(QStringLiteral("zq-layout-%1.png").arg(layout.layout));
        const QImage image = PictureOf(keyboard, layout.layout);
        document->addResource(QTextDocument::ImageResource, picture, image);
        // The picture at most a page wide; the document's width is set when it is printed.
        html += QStringLiteral("<p><img src='%1' width='%2'></p>")
                    .arg(picture.toString())
                    .arg(std::min(image.width(), 640));
        html += KeyTable(layout);
    }
    document->setHtml(html);
    return document;
}

namespace {

void PrintOn(QPagedPaintDevice& device, Keyboard& keyboard, const ReportFacts& facts)
{
    std::unique_ptr<QTextDocument> document = BuildLayoutReport(keyboard, facts);
    document->print(&device);
}

} // namespace

bool WriteLayoutReportPdf(Keyboard& keyboard, const ReportFacts& facts, const QString& path)
{
    // A file left from before must not pass for the new one.
    QFile::remove(path);
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("ZQ programmer"));
    writer.setTitle(Text(IDS_REPORT_TITLE));
    writer.setPageSize(QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                                     ? QPageSize::Letter
                                     : QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    PrintOn(writer, keyboard, facts);
    return QFileInfo(path).size() > 0;
}

void PrintLayoutReport(QPrinter& printer, Keyboard& keyboard, const ReportFacts& facts)
{
    PrintOn(printer, keyboard, facts);
}
