// The file dialogs of the editor; tests answer them through a hook.
#pragma once

#include <QStringList>

#include <functional>
#include <string>

class QWidget;

enum class FileDialogKind { OpenProject, SaveProject, OpenFirmware, OpenBackup };

struct FileChoice
{
    bool accepted = false;
    std::string path;
    int filterIndex = 0; // 1-based, as the project's format index
    bool readOnly = false;
};

// "Desc (*.zqp)|*.zqp|..." as the dialog's filter lines.
QStringList DialogFilters(const std::string& filter);
// Open: the file must exist; the project dialog offers a read-only box. Save: asks before
// overwriting; initial path and selected filter (1-based) preselected.
FileChoice AskForFile(QWidget* parent, FileDialogKind kind, const QStringList& filters,
                      const std::string& initial, int selectedFilter, const QString& defaultSuffix);

using FileDialogHook = std::function<FileChoice(FileDialogKind kind, const QStringList& filters,
                                                int selectedFilter, const std::string& initial)>;
void SetFileDialogHook(FileDialogHook hook);
