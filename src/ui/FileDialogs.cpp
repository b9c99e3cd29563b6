#include "ui/FileDialogs.h"

#include "lang/StringIds.h"
#include "ui/QtTexts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QRegularExpression>

namespace {

FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

// The pattern group Qt's file dialogs look for at the end of a filter line (the same expression).
const QRegularExpression& PatternGroup()
{
    static const QRegularExpression group(
        QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    return group;
}

// Windows lists patterns with ";", people with ", ".
QStringList SplitPatterns(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

} // namespace

QString ReadableNameFilter(const QString& description, const QStringList& patterns)
{
    QString shown = description;
    QStringList matched = patterns;
    const QRegularExpressionMatch found = PatternGroup().match(description);
    if (found.hasMatch()) {
        shown = found.captured(1).trimmed();
        if (matched.isEmpty()) {
            matched = SplitPatterns(found.captured(2));
        }
    }
    if (matched.isEmpty()) {
        return description;
    }
    const QString group = QLatin1Char('(') + matched.join(QLatin1Char(' ')) + QLatin1Char(')');
    return shown.isEmpty() ? group : shown + QLatin1Char(' ') + group;
}

QStringList DialogFilters(const std::string& filter)
{
    QStringList lines;
    const QStringList parts = FromProjectText(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            lines.append(ReadableNameFilter(parts[i], SplitPatterns(parts[i + 1])));
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
    QCheckBox* readOnly = nullptr;
    if (kind == FileDialogKind::SaveProject || kind == FileDialogKind::SaveReport ||
        kind == FileDialogKind::ExportSheet) {
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
    dialog.setNameFilters(filters);
    if (selectedFilter >= 1 && selectedFilter <= filters.size()) {
        dialog.selectNameFilter(filters[selectedFilter - 1]);
    }
    dialog.setDefaultSuffix(defaultSuffix);
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
