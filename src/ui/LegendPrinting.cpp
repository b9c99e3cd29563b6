#include "ui/LegendPrinting.h"

#include "lang/StringIds.h"
#include "ui/QtTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#ifdef ZQ_HAVE_SVG
#include <QSvgGenerator>
#endif

#include <optional>

namespace {

// The PDF's own grid: fine enough that no length is rounded visibly.
constexpr int kPdfDpi = 1200;
// SVG units of a tenth of a millimetre: the page's sizes come out whole.
constexpr int kSvgDpi = 254;
constexpr double kOutlineMm = 0.1;
constexpr double kMarkMm = 0.15;
constexpr double kCaptionPoints = 8.0;

QFont SizedFont(QFont font, double points)
{
    font.setPointSizeF(points);
    return font;
}

QPageSize JobPageSize(const PageSetup& page)
{
    return QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
}

QString CaptionOf(const LegendJob& job, const LegendSheet& sheet, int page)
{
    QString project = job.projectName;
    const uint8_t layout = sheet.pages[static_cast<size_t>(page)].layout;
    const auto name = job.layouts.find(layout);
    if (layout != 0 && name != job.layouts.end()) {
        project += QStringLiteral(" \u2013 ") + name->second;
    }
    return Text(IDS_LEGENDS_PAGE_CAPTION)
        .replace(QStringLiteral("%n"), project)
        .replace(QStringLiteral("%s"), QString::number(page + 1))
        .replace(QStringLiteral("%t"), QString::number(sheet.pages.size()));
}

void PaintRuler(QPainter& painter, const MmRect& ruler, double dotsPerMm)
{
    const auto at = [dotsPerMm](double mm) { return mm * dotsPerMm; };
    painter.setPen(QPen(Qt::black, at(kMarkMm), Qt::SolidLine, Qt::FlatCap));
    const double base = ruler.y + ruler.height * 0.5;
    painter.drawLine(QPointF(at(ruler.x), at(base)), QPointF(at(ruler.x + kRulerLength), at(base)));
    for (int mm = 0; mm <= static_cast<int>(kRulerLength); ++mm) {
        const double length = mm % 10 == 0 ? 3.0 : (mm % 5 == 0 ? 2.0 : 1.0);
        painter.drawLine(QPointF(at(ruler.x + mm), at(base)), QPointF(at(ruler.x + mm), at(base - length)));
    }
    painter.setFont(SizedFont(LegendFont(), kCaptionPoints));
    painter.drawText(QRectF(at(ruler.x), at(base + 0.5), at(kRulerLength), at(ruler.height * 0.5)),
                     Qt::AlignHCenter | Qt::AlignTop, Text(IDS_LEGENDS_RULER_LABEL));
}

void PaintLegendText(QPainter& painter, const LegendJob& job, const LegendItem& item, const MmRect& rect,
                     double dotsPerMm)
{
    const QtTextMeasure measure(LegendFont(), painter.device());
    const double width = rect.width - 2 * kLegendPadding;
    const double height = rect.height - 2 * kLegendPadding;
    const LegendTextFit fit = FitLegendText(item.text, width, height, measure, job.rules);
    const QFont font = SizedFont(LegendFont(), fit.points);
    const double lineHeight = measure.LineHeight(fit.points);
    const double scale = fit.condensed ? job.rules.condensedScale : 1.0;
    const QPointF centre((rect.x + rect.width / 2) * dotsPerMm, (rect.y + rect.height / 2) * dotsPerMm);
    painter.save();
    painter.setClipRect(
        QRectF(rect.x * dotsPerMm, rect.y * dotsPerMm, rect.width * dotsPerMm, rect.height * dotsPerMm));
    painter.translate(centre);
    painter.scale(scale, 1.0);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double top = -static_cast<double>(fit.lines.size()) * lineHeight / 2;
    for (size_t i = 0; i < fit.lines.size(); ++i) {
        const QRectF line(-width / scale / 2 * dotsPerMm,
                          (top + static_cast<double>(i) * lineHeight) * dotsPerMm, width / scale * dotsPerMm,
                          lineHeight * dotsPerMm);
        painter.drawText(line, Qt::AlignCenter | Qt::TextDontClip, QString::fromStdString(fit.lines[i]));
    }
    painter.restore();
}

} // namespace

bool CanExportSvg()
{
#ifdef ZQ_HAVE_SVG
    return true;
#else
    return false;
#endif
}

QFont LegendFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QtTextMeasure::QtTextMeasure(const QFont& font, const QPaintDevice* device) : m_font(font), m_device(device)
{
}

const QFontMetricsF& QtTextMeasure::MetricsAt(double points) const
{
    auto found = m_metrics.find(points);
    if (found == m_metrics.end()) {
        found = m_metrics.emplace(points, QFontMetricsF(SizedFont(m_font, points), m_device)).first;
    }
    return found->second;
}

double QtTextMeasure::Width(const std::string& text, double points) const
{
    return MetricsAt(points).horizontalAdvance(QString::fromStdString(text)) * 25.4 / m_device->logicalDpiX();
}

double QtTextMeasure::LineHeight(double points) const
{
    return MetricsAt(points).height() * 25.4 / m_device->logicalDpiY();
}

LegendSheet LayOutJob(const LegendJob& job)
{
    return LayOutLegends(job.items, job.geometry, job.page, job.mode);
}

std::vector<size_t> FindUnfittingItems(const LegendJob& job)
{
    QImage reference(1, 1, QImage::Format_Grayscale8);
    reference.setDotsPerMeterX(qRound(kPngDpi / 0.0254));
    reference.setDotsPerMeterY(qRound(kPngDpi / 0.0254));
    return FindUnfittingLegends(job.items, job.geometry, QtTextMeasure(LegendFont(), &reference), job.rules);
}

void PaintLegendPage(QPainter& painter, const LegendJob& job, const LegendSheet& sheet, int page,
                     double dotsPerMm)
{
    const LegendPage& content = sheet.pages[static_cast<size_t>(page)];
    const auto at = [dotsPerMm](double mm) { return mm * dotsPerMm; };
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setFont(SizedFont(LegendFont(), kCaptionPoints));
    painter.drawText(QRectF(at(job.page.margin), at(job.page.margin),
                            at(job.page.width - 2 * job.page.margin), at(kCaptionHeight)),
                     Qt::AlignLeft | Qt::AlignTop, CaptionOf(job, sheet, page));
    // A light outline shows each slip's edge without marking the cap where a cut strays.
    painter.setPen(QPen(QColor(160, 160, 160), at(kOutlineMm)));
    painter.setBrush(Qt::NoBrush);
    for (const PlacedLegend& legend : content.legends) {
        painter.drawRect(
            QRectF(at(legend.rect.x), at(legend.rect.y), at(legend.rect.width), at(legend.rect.height)));
    }
    for (const PlacedLegend& legend : content.legends) {
        PaintLegendText(painter, job, job.items[legend.item], legend.rect, dotsPerMm);
    }
    painter.setPen(QPen(Qt::black, at(kMarkMm), Qt::SolidLine, Qt::FlatCap));
    for (const MmLine& mark : content.cropMarks) {
        painter.drawLine(QPointF(at(mark.x1), at(mark.y1)), QPointF(at(mark.x2), at(mark.y2)));
    }
    if (content.ruler) {
        PaintRuler(painter, *content.ruler, dotsPerMm);
    }
}

bool PrintLegends(QPrinter& printer, const LegendJob& job)
{
    const LegendSheet sheet = LayOutJob(job);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const double dotsPerMm = printer.resolution() / 25.4;
    // The painter starts at the printable area's corner unless the printer prints the full page.
    const QPointF shift = printer.fullPage()
                              ? QPointF()
                              : -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft();
    for (int page = 0; page < static_cast<int>(sheet.pages.size()); ++page) {
        if (page > 0 && !printer.newPage()) {
            return false;
        }
        painter.save();
        painter.translate(shift);
        PaintLegendPage(painter, job, sheet, page, dotsPerMm);
        painter.restore();
    }
    return painter.end();
}

QStringList PageFileNames(const QString& path, int pages)
{
    QStringList names{path};
    const QFileInfo info(path);
    const QString stem = path.left(path.size() - info.suffix().size() - 1);
    for (int page = 2; page <= pages; ++page) {
        names.append(QStringLiteral("%1-%2.%3").arg(stem).arg(page).arg(info.suffix()));
    }
    return names;
}

namespace {

bool ExportPdf(const LegendJob& job, const LegendSheet& sheet, const QString& path)
{
    // A file left from before must not pass for the new one.
    QFile::remove(path);
    QPdfWriter writer(path);
    writer.setResolution(kPdfDpi);
    writer.setPageSize(JobPageSize(job.page));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("ZQ programmer"));
    writer.setTitle(job.projectName);
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    for (int page = 0; page < static_cast<int>(sheet.pages.size()); ++page) {
        if (page > 0 && !writer.newPage()) {
            return false;
        }
        PaintLegendPage(painter, job, sheet, page, kPdfDpi / 25.4);
    }
    // QPdfWriter reports a file it could not open only by painting nothing into it.
    return painter.end() && QFileInfo(path).size() > 0;
}

bool ExportPng(const LegendJob& job, const LegendSheet& sheet, const QStringList& names, QString& failed)
{
    const double dotsPerMm = kPngDpi / 25.4;
    const QSize size(qRound(job.page.width * dotsPerMm), qRound(job.page.height * dotsPerMm));
    for (int page = 0; page < names.size(); ++page) {
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull()) {
            failed = names[page];
            return false;
        }
        image.setDotsPerMeterX(qRound(kPngDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kPngDpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintLegendPage(painter, job, sheet, page, dotsPerMm);
        painter.end();
        // Black on white: grey levels keep the edges smooth at a quarter of the size.
        if (!image.convertToFormat(QImage::Format_Grayscale8).save(names[page], "PNG")) {
            failed = names[page];
            return false;
        }
    }
    return true;
}

#ifdef ZQ_HAVE_SVG
bool ExportSvg(const LegendJob& job, const LegendSheet& sheet, const QStringList& names, QString& failed)
{
    const double dotsPerMm = kSvgDpi / 25.4;
    const QSize size(qRound(job.page.width * dotsPerMm), qRound(job.page.height * dotsPerMm));
    for (int page = 0; page < names.size(); ++page) {
        QSvgGenerator generator;
        generator.setFileName(names[page]);
        generator.setResolution(kSvgDpi);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(job.projectName);
        QPainter painter;
        if (!painter.begin(&generator)) {
            failed = names[page];
            return false;
        }
        PaintLegendPage(painter, job, sheet, page, dotsPerMm);
        if (!painter.end() || QFileInfo(names[page]).size() == 0) {
            failed = names[page];
            return false;
        }
    }
    return true;
}
#endif

} // namespace

bool ExportLegends(const LegendJob& job, const QString& path, QString& failed)
{
    const LegendSheet sheet = LayOutJob(job);
    const QStringList names = PageFileNames(path, static_cast<int>(sheet.pages.size()));
    const QString suffix = QFileInfo(path).suffix().toLower();
    failed = path;
    if (suffix == QLatin1String("pdf")) {
        return ExportPdf(job, sheet, path);
    }
    if (suffix == QLatin1String("png")) {
        return ExportPng(job, sheet, names, failed);
    }
#ifdef ZQ_HAVE_SVG
    if (suffix == QLatin1String("svg")) {
        return ExportSvg(job, sheet, names, failed);
    }
#endif
    return false;
}
