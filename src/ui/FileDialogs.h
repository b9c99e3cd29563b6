// The file dialogs of the editor; tests answer them through a hook.
#pragma once

#include <QStringList>

#include <functional>
#include <string>

class QWidget;

// CompareProject: a project to compare with, opened as by Open but never for editing.
enum class FileDialogKind {
    OpenProject,
    SaveProject,
    OpenFirmware,
    OpenBackup,
    SaveReport,
    CompareProject,
    ExportSheet,
};

struct FileChoice
{
    bool accepted = false;
    std::string path;
    int filterIndex = 0; // 1-based, as the project's format index
    bool readOnly = false;
};

// A filter line as Qt reads it: the description shown, then the patterns in parentheses,
// separated by blanks. Qt takes a line's patterns from its last "(...)" and splits them only at
// blanks, so "(*.zqp, *.txt)" would match no .zqp file. Without patterns, those of the
// description's own parentheses are taken.
QString ReadableNameFilter(const QString& description, const QStringList& patterns = QStringList());
// "Desc (*.zqp)|*.zqp|..." as the dialog's filter lines; the pattern fields are what the lines match.
QStringList DialogFilters(const std::string& filter);
// Open: the file must exist; the project dialog offers a read-only box. Save: asks before
// overwriting; initial path and selected filter (1-based) preselected. The lines are Qt's name
// filters as they stand: DialogFilters or ReadableNameFilter makes them.
FileChoice AskForFile(QWidget* parent, FileDialogKind kind, const QStringList& filters,
                      const std::string& initial, int selectedFilter, const QString& defaultSuffix);

using FileDialogHook = std::function<FileChoice(FileDialogKind kind, const QStringList& filters,
                                                int selectedFilter, const std::string& initial)>;
void SetFileDialogHook(FileDialogHook hook);
