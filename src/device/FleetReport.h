// The report of programming several keyboards: a text table, JSON and CSV, and the failed
// keyboards read back from a JSON report for another try.
#pragma once

#include "device/KeyboardFleet.h"

#include <string>
#include <vector>

// One row a keyboard; a failure's message on an indented line below its row.
std::string FormatFleetTable(const std::vector<FleetRow>& rows);
// {"keyboards": [{"device", "type", "firmware", "backup", "result", "message", "reports", "seconds",
// "verifiable"}]}; firmware and backup null when there is none.
std::string FormatFleetJson(const std::vector<FleetRow>& rows);
// A header line, then one line a keyboard, fields quoted where they need it.
std::string FormatFleetCsv(const std::vector<FleetRow>& rows);

// Saves the report through the safe save, as CSV when csv is set, else as JSON. False with errno
// telling why.
bool SaveFleetReport(const std::string& path, const std::vector<FleetRow>& rows, bool csv);

// The devices of the rows whose result is not 0, in the report's order. False, with why, when the
// text is no such report.
bool ReadFailedDevices(const std::string& json, std::vector<std::string>& devices, std::string& error);
// ReadFailedDevices of a report file: 0, 3 when it cannot be read or 4 when it is no report (why
// tells of either).
int ReadFleetReportFile(const std::string& path, std::vector<std::string>& devices, std::string& why);

// Reports larger than this are no report of ours.
constexpr uint64_t kMaxFleetReportSize = 16u << 20;
