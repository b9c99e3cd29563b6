#include "ui/FileDialogs.h"

#include "lang/StringIds.h"
#include "ui/QtTexts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>

namespace {

FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

} // namespace

QStringList DialogFilters(const std::string& filter)
{
    QStringList lines;
    const QStringList parts = FromProjectText(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            lines.append(parts[i]);
        }
    }
    return lines;
}

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}

FileChoice AskForFile(QWidget* parent, FileDialogKind kind, const QStringList& filters,
                      const std::string& initial, int selectedFilter, const QString& defaultSuffix)
{
    if (Hook()) {
        return Hook()(kind, filters, selectedFilter, initial);
    }
    QFileDialog dialog(parent, QString(), QFile::decodeName(initial.c_str()));
    dialog.setNameFilters(filters);
    if (selectedFilter >= 1 && selectedFilter <= filters.size()) {
        dialog.selectNameFilter(filters[selectedFilter - 1]);
    }
    dialog.setDefaultSuffix(defaultSuffix);
    QCheckBox* readOnly = nullptr;
    if (kind == FileDialogKind::SaveProject) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (kind == FileDialogKind::OpenProject) {
        // The platform dialogs have no read-only box; Qt's own takes one below its controls.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            readOnly = new QCheckBox(Text(IDS_OPEN_READ_ONLY), &dialog);
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
        }
    }
    FileChoice choice;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return choice;
    }
    choice.accepted = true;
    choice.path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    choice.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    choice.readOnly = readOnly != nullptr && readOnly->isChecked();
    return choice;
}
