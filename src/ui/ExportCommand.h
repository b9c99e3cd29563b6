// zq-programmer --export-legends and --export-report: the files written without a window.
#pragma once

struct ExportRequest;

// Needs a QApplication (offscreen does); messages go to standard error. The exit status: 0, or
// 64 usage, 65 nothing to print, 66 the project cannot be read, 69 the format is not built in,
// 74 the output cannot be written.
int RunExport(const ExportRequest& request);
