#include "ui/ExportCommand.h"

#include "editor/ExportArguments.h"
#include "files/ProjectOpen.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "ui/LayoutReportDocument.h"
#include "ui/LegendPrinting.h"
#include "ui/QtTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>

namespace {

constexpr int kUsage = 64;
constexpr int kNothingToPrint = 65;
constexpr int kNoInput = 66;
constexpr int kUnavailable = 69;
constexpr int kCannotWrite = 74;

void Say(const QString& text)
{
    std::fprintf(stderr, "zq-programmer: %s\n", text.toLocal8Bit().constData());
}

// Paths as the file layer takes them: UTF-8 on Windows, the file system's bytes elsewhere.
QString PathText(const std::string& path)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(path.c_str());
#endif
}

QString Filled(uint32_t id, const QString& argument)
{
    return Text(id).replace(QStringLiteral("%s"), argument);
}

PageSetup PageOf(PaperName paper)
{
    if (paper == PaperName::FromLocale) {
        paper = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? PaperName::Letter
                                                                                   : PaperName::A4;
    }
    return paper == PaperName::Letter ? LetterPage() : A4Page();
}

int ExportLegendSheet(const ExportRequest& request, Keyboard& keyboard)
{
    if (request.format == ExportFormat::Svg && !CanExportSvg()) {
        Say(Text(IDS_EXPORT_SVG_UNAVAILABLE));
        return kUnavailable;
    }
    if (request.layout > keyboard.GetLayoutCount()) {
        Say(Filled(IDS_EXPORT_BAD_LAYOUT, QString::number(request.layout)));
        return kUsage;
    }
    LegendJob job;
    job.geometry = request.geometry;
    job.page = PageOf(request.paper);
    job.mode = request.mode;
    job.projectName = QFileInfo(PathText(request.project)).fileName();
    for (uint8_t layout = 1; layout >= 1 && layout <= keyboard.GetLayoutCount(); ++layout) {
        job.layouts[layout] = FromProjectText(keyboard.GetLayoutName(layout));
    }
    if (!IsValidSheetSetup(job.geometry, job.page)) {
        Say(Text(IDS_LEGENDS_BAD_SETUP));
        return kUsage;
    }
    job.items =
        CollectLegendItems(keyboard, request.layout == 0 ? LegendKeys::AllLayouts : LegendKeys::CurrentLayout,
                           request.layout, {});
    if (job.items.empty()) {
        Say(Text(IDS_LEGENDS_NONE));
        return kNothingToPrint;
    }
    // Printed all the same, the names that do not fit are named so that they can be shortened.
    const std::vector<size_t> unfitting = FindUnfittingItems(job);
    if (!unfitting.empty()) {
        Say(Filled(IDS_LEGENDS_NOT_FITTING, QString::number(job.rules.smallestPoints)));
        for (const size_t item : unfitting) {
            std::fprintf(stderr, "  %u: %s\n", job.items[item].keyNumber, job.items[item].text.c_str());
        }
    }
    if (!LayOutJob(job).tooLarge.empty()) {
        Say(Text(IDS_LEGENDS_TOO_LARGE));
    }
    QString failed;
    if (!ExportLegends(job, PathText(request.output), failed)) {
        Say(Filled(IDS_MSG_EXPORT_FAILED, failed));
        return kCannotWrite;
    }
    return 0;
}

} // namespace

int RunExport(const ExportRequest& request)
{
    OpenedProject project = OpenProjectFile(request.project);
    if (project.keyboard == nullptr) {
        const std::string why = DescribeOpenFailure(project);
        Say(QString::fromStdString(LoadText(GetOutcomeTextId(project.outcome)) + " " + request.project +
                                   (why.empty() ? std::string() : ": " + why)));
        return kNoInput;
    }
    if (project.outcome == OpenOutcome::DecodingErrors) {
        Say(QString::fromStdString(LoadText(GetOutcomeTextId(project.outcome)) + " " + request.project));
    }
    if (request.kind == ExportKind::Legends) {
        return ExportLegendSheet(request, *project.keyboard);
    }
    ReportFacts facts;
    facts.fileName = QFileInfo(PathText(request.project)).fileName();
    facts.notes = QString::fromLocal8Bit(request.notes.c_str());
    facts.date = QDateTime::currentDateTime();
    if (!WriteLayoutReportPdf(*project.keyboard, facts, PathText(request.output))) {
        Say(Filled(IDS_MSG_EXPORT_FAILED, PathText(request.output)));
        return kCannotWrite;
    }
    return 0;
}
