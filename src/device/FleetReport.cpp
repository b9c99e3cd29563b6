#include "device/FleetReport.h"

#include "device/DeviceResult.h"
#include "io/RawFile.h"
#include "io/SafeSave.h"
#include "lang/Json.h"
#include "lang/TextHelpers.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The message's lines, Windows line ends or not, blank ones dropped.
std::vector<std::string> MessageLines(const std::string& message)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= message.size()) {
        size_t end = message.find_first_of("\r\n", start);
        end = end == std::string::npos ? message.size() : end;
        if (end > start) {
            lines.push_back(message.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::string& message, const char* separator)
{
    std::string text;
    for (const std::string& line : MessageLines(message)) {
        text += (text.empty() ? "" : separator) + line;
    }
    return text;
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

std::string ResultText(const FleetRow& row)
{
    if (row.result != 0) {
        return std::to_string(row.result);
    }
    return row.verifiable ? "OK" : "OK, not verifiable";
}

std::string OrDash(const std::string& text)
{
    return text.empty() ? "-" : EscapeControlCharacters(text);
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace

std::string FormatFleetTable(const std::vector<FleetRow>& rows)
{
    std::vector<std::vector<std::string>> cells = {
        {"DEVICE", "TYPE", "FIRMWARE", "RESULT", "REPORTS", "SECONDS", "BACKUP"}};
    for (const FleetRow& row : rows) {
        cells.push_back({OrDash(row.device), OrDash(row.type), OrDash(row.firmware), ResultText(row),
                         std::to_string(row.reports), Seconds(row.seconds), OrDash(row.backup)});
    }
    std::vector<size_t> widths(cells[0].size(), 0);
    for (const auto& line : cells) {
        for (size_t i = 0; i < line.size(); ++i) {
            widths[i] = std::max(widths[i], line[i].size());
        }
    }
    std::string text;
    for (size_t r = 0; r < cells.size(); ++r) {
        std::string line;
        for (size_t i = 0; i < cells[r].size(); ++i) {
            line += cells[r][i];
            if (i + 1 < cells[r].size()) {
                line += std::string(widths[i] - cells[r][i].size() + 2, ' ');
            }
        }
        text += line + "\n";
        if (r > 0 && rows[r - 1].result != 0) {
            text += "  " + EscapeControlCharacters(JoinLines(rows[r - 1].message, " ")) + "\n";
        }
    }
    return text;
}

std::string FormatFleetJson(const std::vector<FleetRow>& rows)
{
    std::vector<std::string> items;
    items.reserve(rows.size());
    for (const FleetRow& row : rows) {
        items.push_back(JsonObject()
                            .Text("device", row.device)
                            .Text("type", row.type)
                            .Raw("firmware", row.firmware.empty() ? "null" : JsonString(row.firmware))
                            .Raw("backup", row.backup.empty() ? "null" : JsonString(row.backup))
                            .Number("result", row.result)
                            .Text("message", JoinLines(row.message, "\n"))
                            .Number("reports", row.reports)
                            .Raw("seconds", Seconds(row.seconds))
                            .Bool("verifiable", row.verifiable)
                            .Str());
    }
    return JsonObject().Raw("keyboards", JsonArray(items)).Str() + "\n";
}

std::string FormatFleetCsv(const std::vector<FleetRow>& rows)
{
    std::string text = "device,type,firmware,backup,result,message,reports,seconds,verifiable\r\n";
    for (const FleetRow& row : rows) {
        text += CsvField(row.device) + "," + CsvField(row.type) + "," + CsvField(row.firmware) + "," +
                CsvField(row.backup) + "," + std::to_string(row.result) + "," +
                CsvField(JoinLines(row.message, " ")) + "," + std::to_string(row.reports) + "," +
                Seconds(row.seconds) + "," + (row.verifiable ? "true" : "false") + "\r\n";
    }
    return text;
}

bool SaveFleetReport(const std::string& path, const std::vector<FleetRow>& rows, bool csv)
{
    const std::string text = csv ? FormatFleetCsv(rows) : FormatFleetJson(rows);
    return SaveFileSafely(path, BufferedFile::LineEndDefault, [&text](BufferedFile& file) {
        return text.size() <= UINT32_MAX &&
               file.Write(text.data(), static_cast<uint32_t>(text.size())) == text.size();
    });
}

bool ReadFailedDevices(const std::string& json, std::vector<std::string>& devices, std::string& error)
{
    devices.clear();
    JsonValue report;
    if (!ParseJson(json, report, error)) {
        return false;
    }
    const JsonValue* keyboards = report.Find("keyboards");
    if (keyboards == nullptr || keyboards->kind != JsonKind::Array) {
        error = "no \"keyboards\" array";
        return false;
    }
    for (size_t i = 0; i < keyboards->items.size(); ++i) {
        const JsonValue& row = keyboards->items[i];
        const JsonValue* device = row.Find("device");
        const JsonValue* result = row.Find("result");
        if (device == nullptr || device->kind != JsonKind::String || device->text.empty() ||
            result == nullptr || result->kind != JsonKind::Number ||
            result->number != std::floor(result->number)) {
            error = "keyboard " + std::to_string(i + 1) + R"(: no "device" text or whole "result" number)";
            devices.clear();
            return false;
        }
        if (result->number != 0) {
            devices.push_back(device->text);
        }
    }
    return true;
}

int ReadFleetReportFile(const std::string& path, std::vector<std::string>& devices, std::string& why)
{
    devices.clear();
    RawFile file;
    if (!file.Open(path, true)) {
        why = std::strerror(RawFile::ToErrno(file.LastError()));
        return DeviceResultCannotOpenFile;
    }
    const uint64_t size = file.GetSize();
    if (size > kMaxFleetReportSize) {
        why = "larger than any report";
        return DeviceResultCorruptedFile;
    }
    std::string text(static_cast<size_t>(size), '\0');
    const auto length = static_cast<uint32_t>(text.size());
    if (file.Read(text.data(), length) != length || file.LastError() != 0) {
        why = std::strerror(file.LastError() != 0 ? RawFile::ToErrno(file.LastError()) : EIO);
        return DeviceResultCannotOpenFile;
    }
    file.Close();
    return ReadFailedDevices(text, devices, why) ? DeviceResultOk : DeviceResultCorruptedFile;
}
