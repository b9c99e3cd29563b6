#include "ui/ProgramAllDialog.h"

#include "device/DeviceResult.h"
#include "device/FleetReport.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/QtTexts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

enum Column { ColumnKeyboard, ColumnType, ColumnProgress, ColumnResult, ColumnCount };

ProgramAllDialog::TestHook& Hook()
{
    static ProgramAllDialog::TestHook hook;
    return hook;
}

QString ResultText(const FleetRow& row)
{
    if (row.result != DeviceResultOk) {
        return QString::number(row.result) + QStringLiteral(": ") +
               FromProjectText(row.message).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified();
    }
    return Text(row.verifiable ? IDS_PROGRAM_ALL_OK : IDS_PROGRAM_ALL_NOT_VERIFIABLE);
}

} // namespace

ProgramAllDialog::ProgramAllDialog(QWidget* parent, Keyboard& project, const FleetOptions& options)
    : QDialog(parent), m_project(project), m_options(options),
      m_targets(FindFleetTargets(project, options.vendorId)), m_table(new QTableWidget(this)),
      m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("ProgramAllDialog"));
    setWindowTitle(Text(IDS_PROGRAM_ALL_TITLE));
    m_table->setObjectName(QStringLiteral("keyboards"));
    m_table->setColumnCount(ColumnCount);
    m_table->setHorizontalHeaderLabels({Text(IDS_PROGRAM_ALL_KEYBOARD), Text(IDS_PROGRAM_ALL_TYPE),
                                        Text(IDS_PROGRAM_ALL_PROGRESS), Text(IDS_PROGRAM_ALL_RESULT)});
    m_table->setRowCount(static_cast<int>(m_targets.size()));
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const FleetTarget& target = m_targets[static_cast<size_t>(row)];
        auto* device = new QTableWidgetItem(QFile::decodeName(target.path.c_str()));
        device->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        device->setCheckState(Qt::Checked);
        m_table->setItem(row, ColumnKeyboard, device);
        m_table->setItem(row, ColumnType, new QTableWidgetItem(QString::fromStdString(target.family)));
        auto* bar = new QProgressBar(m_table);
        bar->setRange(0, 1);
        bar->setValue(0);
        m_table->setCellWidget(row, ColumnProgress, bar);
        m_table->setItem(row, ColumnResult, new QTableWidgetItem());
    }
    m_table->horizontalHeader()->setSectionResizeMode(ColumnResult, QHeaderView::Stretch);
    m_table->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(Text(IDS_PROGRAM_ALL_START), QDialogButtonBox::ActionRole);
    m_save = buttons->addButton(Text(IDS_PROGRAM_ALL_SAVE_REPORT), QDialogButtonBox::ActionRole);
    m_close = buttons->addButton(Text(IDS_PROGRAM_ALL_CLOSE), QDialogButtonBox::RejectRole);
    m_start->setObjectName(QStringLiteral("start"));
    m_save->setObjectName(QStringLiteral("saveReport"));
    m_start->setEnabled(!m_targets.empty());
    m_save->setEnabled(false);
    connect(m_start, &QPushButton::clicked, this, &ProgramAllDialog::StartProgramming);
    connect(m_save, &QPushButton::clicked, this, &ProgramAllDialog::SaveReport);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgramAllDialog::reject);
    connect(m_timer, &QTimer::timeout, this, &ProgramAllDialog::ShowProgress);

    auto* layout = new QVBoxLayout(this);
    if (m_targets.empty()) {
        auto* none = new QLabel(Text(IDS_PROGRAM_ALL_NONE), this);
        none->setObjectName(QStringLiteral("none"));
        layout->addWidget(none);
    }
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(640, 160 + 32 * static_cast<int>(m_targets.size()));
}

ProgramAllDialog::~ProgramAllDialog() = default;

void ProgramAllDialog::Run()
{
    if (Hook()) {
        Hook()(*this);
        return;
    }
    exec();
}

void ProgramAllDialog::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}

void ProgramAllDialog::StartProgramming()
{
    if (IsRunning()) {
        return;
    }
    std::vector<FleetTarget> chosen;
    m_programmedRows.clear();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, ColumnKeyboard)->checkState() == Qt::Checked) {
            chosen.push_back(m_targets[static_cast<size_t>(row)]);
            m_programmedRows.push_back(row);
        }
        m_table->item(row, ColumnResult)->setText(QString());
    }
    if (chosen.empty()) {
        return;
    }
    for (const int row : m_programmedRows) {
        m_table->item(row, ColumnResult)->setText(Text(IDS_PROGRAM_ALL_WAITING));
    }
    m_finished = false;
    m_fleet = std::make_unique<KeyboardFleet>(m_options, [this] { return CopyProject(m_project); });
    m_fleet->Start(chosen);
    m_start->setEnabled(false);
    m_save->setEnabled(false);
    m_close->setEnabled(false);
    m_table->setEnabled(false);
    m_timer->start(50);
}

void ProgramAllDialog::ShowProgress()
{
    if (!m_fleet) {
        return;
    }
    m_finished = m_fleet->IsFinished();
    const std::vector<FleetRowState> states = m_fleet->Snapshot();
    for (size_t i = 0; i < states.size() && i < m_programmedRows.size(); ++i) {
        const int row = m_programmedRows[i];
        auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, ColumnProgress));
        const FleetRowState& state = states[i];
        if (state.finished) {
            bar->setRange(0, 1);
            bar->setValue(1);
            m_table->item(row, ColumnResult)->setText(ResultText(state.row));
        } else if (state.total != 0) {
            bar->setRange(0, static_cast<int>(state.total));
            bar->setValue(static_cast<int>(std::min(state.done, state.total)));
        }
    }
    if (m_finished) {
        m_timer->stop();
        m_start->setEnabled(true);
        m_save->setEnabled(true);
        m_close->setEnabled(true);
        m_table->setEnabled(true);
    }
}

std::vector<FleetRow> ProgramAllDialog::GetRows() const
{
    std::vector<FleetRow> rows;
    if (m_fleet) {
        for (FleetRowState& state : m_fleet->Snapshot()) {
            rows.push_back(std::move(state.row));
        }
    }
    return rows;
}

void ProgramAllDialog::SaveReport()
{
    const QStringList filters = {ReadableNameFilter(Text(IDS_FILTER_REPORT_JSON)),
                                 ReadableNameFilter(Text(IDS_FILTER_REPORT_CSV))};
    const FileChoice choice =
        AskForFile(this, FileDialogKind::SaveReport, filters, std::string(), 1, QStringLiteral("json"));
    if (!choice.accepted) {
        return;
    }
    const bool csv =
        choice.filterIndex == 2 ||
        QFile::decodeName(choice.path.c_str()).endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    errno = 0;
    if (!SaveFleetReport(choice.path, GetRows(), csv)) {
        const int error = errno;
        std::string text = LoadText(IDS_MSG_CANNOT_SAVE);
        if (error != 0) {
            text += "\n" + choice.path + ": " + std::strerror(error);
        }
        MessageBox(this).ShowMessage(text, IDS_TITLE_ERROR, MessageIcon::Error);
    }
}

void ProgramAllDialog::reject()
{
    // The keyboards finish what they began: a half-written keyboard would be worse than a wait.
    if (!IsRunning()) {
        QDialog::reject();
    }
}
