// The editor's command line for scripts: legend sheets and the layout report written to files
// without a window.
#pragma once

#include "editor/LegendSheet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ExportKind : uint8_t { Legends, Report };
enum class ExportFormat : uint8_t { Pdf, Svg, Png };

enum class PaperName : uint8_t { FromLocale, A4, Letter };

struct ExportRequest
{
    ExportKind kind = ExportKind::Legends;
    std::string project;
    std::string output;
    ExportFormat format = ExportFormat::Pdf;
    LegendGeometry geometry;
    PaperName paper = PaperName::FromLocale;
    LegendSheetMode mode = LegendSheetMode::Packed;
    uint8_t layout = 0; // 0: every layout
    std::string notes;
};

// The first argument names an export: the program then needs no display.
bool IsExportCommand(const std::string& first);
// By the file name's extension, in any letter case.
std::optional<ExportFormat> FormatFromPath(const std::string& path);
// "14x14", "14.5X12", "14×14" (mm).
bool ParseInsertSize(const std::string& text, double& width, double& height);
// The arguments after the program's name. False: `wrong` holds the argument at fault (the
// command itself when a required part is missing).
bool ParseExportArguments(const std::vector<std::string>& arguments, ExportRequest& request,
                          std::string& wrong);
