// Legend sheets painted: on a printer, into a PDF, SVG drawings and 600 dpi PNG images, every
// length from the sheet's millimetres so that a slip prints at its true size.
#pragma once

#include "editor/LegendSheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

class QPaintDevice;
class QPainter;
class QPrinter;

constexpr int kPngDpi = 600;

// The format choices of this build: SVG only where Qt Svg was there to build it.
bool CanExportSvg();

struct LegendJob
{
    std::vector<LegendItem> items;
    LegendGeometry geometry;
    PageSetup page;
    LegendSheetMode mode = LegendSheetMode::Packed;
    LegendFitRules rules;
    QString projectName;                // in each page's caption
    std::map<uint8_t, QString> layouts; // names of the layouts, for keyboard sheets' captions
};

// Measures with a font at a device's resolution, unhinted, so that widths scale with the size.
class QtTextMeasure : public TextMeasure
{
public:
    QtTextMeasure(const QFont& font, const QPaintDevice* device);
    double Width(const std::string& text, double points) const override;
    double LineHeight(double points) const override;

private:
    // The metrics of each size asked for, made once: fitting tries many sizes for every name.
    const QFontMetricsF& MetricsAt(double points) const;

    QFont m_font;
    const QPaintDevice* m_device;
    mutable std::map<double, QFontMetricsF> m_metrics;
};

// The face legends are set in.
QFont LegendFont();

LegendSheet LayOutJob(const LegendJob& job);
// Items whose names do not fit at the smallest size, measured as a 600 dpi image sets them.
std::vector<size_t> FindUnfittingItems(const LegendJob& job);

// One page on a painter whose device has dotsPerMm pixels to the millimetre, from the paper's
// top-left corner.
void PaintLegendPage(QPainter& painter, const LegendJob& job, const LegendSheet& sheet, int page,
                     double dotsPerMm);
// Every page on a printer set to the job's paper; false when the printer cannot be painted on.
bool PrintLegends(QPrinter& printer, const LegendJob& job);

// The files a sheet of several pages goes to: the path for the first page, "name-2.ext" and so
// on for the next.
QStringList PageFileNames(const QString& path, int pages);
// Writes the sheet in the format of the path's extension; false when a file could not be written
// (failed names the file).
bool ExportLegends(const LegendJob& job, const QString& path, QString& failed);
