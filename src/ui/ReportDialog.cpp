#include "ui/ReportDialog.h"

#include "lang/StringIds.h"
#include "ui/FileDialogs.h"
#include "ui/LayoutReportDocument.h"
#include "ui/MessageBox.h"
#include "ui/QtTexts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

ReportDialog::TestHook& Hook()
{
    static ReportDialog::TestHook hook;
    return hook;
}

} // namespace

ReportDialog::ReportDialog(QWidget* parent, Keyboard& keyboard, QString fileName)
    : QDialog(parent), m_keyboard(keyboard), m_fileName(std::move(fileName)),
      m_notes(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("reportDialog"));
    setWindowTitle(Text(IDS_REPORT_CAPTION));
    m_notes->setObjectName(QStringLiteral("notes"));
    auto* label = new QLabel(Text(IDS_REPORT_NOTES), this);
    label->setBuddy(m_notes);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* preview = buttons->addButton(Text(IDS_LEGENDS_PREVIEW), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("preview"));
    QPushButton* exportButton = buttons->addButton(Text(IDS_REPORT_EXPORT), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("export"));
    buttons->addButton(QDialogButtonBox::Close);
    connect(preview, &QPushButton::clicked, this, &ReportDialog::Preview);
    connect(exportButton, &QPushButton::clicked, this, &ReportDialog::Export);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_notes);
    layout->addWidget(buttons);
}

void ReportDialog::Preview()
{
    const ReportFacts facts{m_fileName, m_notes->toPlainText(), QDateTime::currentDateTime()};
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("reportPreview"));
    preview.setWindowTitle(Text(IDS_REPORT_CAPTION));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &facts](QPrinter* target) { PrintLayoutReport(*target, m_keyboard, facts); });
    preview.exec();
}

void ReportDialog::Export()
{
    const QStringList filters{Text(IDS_FILTER_PDF)};
    const FileChoice choice =
        AskForFile(this, FileDialogKind::ExportSheet, filters, std::string(), 1, QStringLiteral("pdf"));
    if (choice.accepted) {
        ExportTo(QFile::decodeName(choice.path.c_str()));
    }
}

bool ReportDialog::ExportTo(const QString& path)
{
    const ReportFacts facts{m_fileName, m_notes->toPlainText(), QDateTime::currentDateTime()};
    if (WriteLayoutReportPdf(m_keyboard, facts, path)) {
        return true;
    }
    MessageBox(this).ShowMessage(
        Text(IDS_MSG_EXPORT_FAILED).replace(QStringLiteral("%s"), path).toStdString(), IDS_TITLE_ERROR,
        MessageIcon::Error);
    return false;
}

void ReportDialog::Run()
{
    if (Hook()) {
        Hook()(*this);
        return;
    }
    exec();
}

void ReportDialog::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}
