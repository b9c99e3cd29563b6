#include "editor/ExportArguments.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

const char* const kLegendsCommand = "--export-legends";
const char* const kReportCommand = "--export-report";

// A plain decimal number of millimetres, whatever the locale says a decimal point is.
bool ParseMm(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    return error == std::errc() && stop == end && value > 0 && value < 10000;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ParseLegendOption(const std::string& option, const std::string& value, ExportRequest& request)
{
    if (option == "--insert") {
        return ParseInsertSize(value, request.geometry.insertWidth, request.geometry.insertHeight);
    }
    if (option == "--pitch") {
        return ParseMm(value, request.geometry.pitch);
    }
    if (option == "--page") {
        const std::string name = Lower(value);
        request.paper = name == "a4" ? PaperName::A4 : PaperName::Letter;
        return name == "a4" || name == "letter";
    }
    if (option == "--mode") {
        request.mode = value == "keyboard" ? LegendSheetMode::Keyboard : LegendSheetMode::Packed;
        return value == "packed" || value == "keyboard";
    }
    if (option == "--layout") {
        if (value == "all") {
            request.layout = 0;
            return true;
        }
        unsigned number = 0;
        const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        request.layout = static_cast<uint8_t>(number);
        return error == std::errc() && stop == value.data() + value.size() && number >= 1 && number <= 255;
    }
    return false;
}

} // namespace

bool IsExportCommand(const std::string& first)
{
    return first == kLegendsCommand || first == kReportCommand;
}

std::optional<ExportFormat> FormatFromPath(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::nullopt;
    }
    const std::string extension = Lower(path.substr(dot));
    if (extension == ".pdf") {
        return ExportFormat::Pdf;
    }
    if (extension == ".svg") {
        return ExportFormat::Svg;
    }
    if (extension == ".png") {
        return ExportFormat::Png;
    }
    return std::nullopt;
}

bool ParseInsertSize(const std::string& text, double& width, double& height)
{
    // "x", "X" or the multiplication sign in UTF-8.
    static const std::string kTimes = "\xC3\x97";
    size_t split = text.find_first_of("xX");
    size_t length = 1;
    if (split == std::string::npos) {
        split = text.find(kTimes);
        length = kTimes.size();
    }
    if (split == std::string::npos) {
        return false;
    }
    double w = 0;
    double h = 0;
    if (!ParseMm(text.substr(0, split), w) || !ParseMm(text.substr(split + length), h)) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool ParseExportArguments(const std::vector<std::string>& arguments, ExportRequest& request,
                          std::string& wrong)
{
    if (arguments.empty() || !IsExportCommand(arguments[0])) {
        wrong = arguments.empty() ? std::string() : arguments[0];
        return false;
    }
    request = ExportRequest();
    request.kind = arguments[0] == kReportCommand ? ExportKind::Report : ExportKind::Legends;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument.size() > 1 && argument[0] == '-';
        if (!takesValue) {
            if (!request.project.empty()) {
                wrong = argument;
                return false;
            }
            request.project = argument;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            wrong = argument;
            return false;
        }
        const std::string& value = arguments[++i];
        bool ok = false;
        if (argument == "-o") {
            request.output = value;
            ok = true;
        } else if (request.kind == ExportKind::Report) {
            ok = argument == "--notes";
            request.notes = value;
        } else {
            ok = ParseLegendOption(argument, value, request);
        }
        if (!ok) {
            wrong = argument + " " + value;
            return false;
        }
    }
    if (request.project.empty() || request.output.empty()) {
        wrong = arguments[0];
        return false;
    }
    const std::optional<ExportFormat> format = FormatFromPath(request.output);
    if (!format || (request.kind == ExportKind::Report && *format != ExportFormat::Pdf)) {
        wrong = request.output;
        return false;
    }
    request.format = *format;
    return true;
}
