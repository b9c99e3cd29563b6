#include "ui/ScanCodeDialog.h"

#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "model/ScanCodeRecord.h"
#include "ui/ControlNames.h"
#include "ui/NumberEdit.h"
#include "ui/QtTexts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace {

ScanCodeDialog::TestHook& Hook()
{
    static ScanCodeDialog::TestHook hook;
    return hook;
}

} // namespace

ScanCodeDialog::ScanCodeDialog(QWidget* parent, KeyCell* cell) : QDialog(parent), m_cell(cell)
{
    setObjectName(QStringLiteral("ScanCodeDialog"));
    setWindowTitle(Text(IDS_SCAN_CODES_CAPTION));
    auto* group = new QGroupBox(Text(IDS_CTL_SCAN_CODES_GROUP), this);
    group->setObjectName(QStringLiteral("ctl1400"));
    auto* grid = new QGridLayout(group);
    const std::vector<uint8_t> codes = m_cell != nullptr ? GetScanCodeBytes(*m_cell) : std::vector<uint8_t>();
    for (int i = 1; i <= kFields; ++i) {
        auto* field = Named(new NumberEdit(group), 1400 + i);
        field->SetIntegerRange(0, 255, 3, 0, true);
        const bool used = static_cast<size_t>(i) <= codes.size();
        field->SetIntegerValue(used ? codes[static_cast<size_t>(i) - 1] : 0);
        field->setEnabled(used);
        auto* label = new QLabel(QStringLiteral("%1.").arg(i), group);
        label->setBuddy(field);
        field->setAccessibleName(label->text());
        field->setMaximumWidth(50);
        // Four columns of four, as the sequence reads down.
        const int column = (i - 1) / 4;
        const int row = (i - 1) % 4;
        grid->addWidget(label, row, 2 * column, Qt::AlignRight);
        grid->addWidget(field, row, 2 * column + 1);
        m_fields[i - 1] = field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Text(IDS_BUTTON_OK));
    buttons->button(QDialogButtonBox::Cancel)->setText(Text(IDS_BUTTON_CANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &ScanCodeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ScanCodeDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

bool ScanCodeDialog::Run()
{
    if (Hook()) {
        Hook()(*this);
        return result() == QDialog::Accepted;
    }
    return exec() == QDialog::Accepted;
}

void ScanCodeDialog::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}

void ScanCodeDialog::accept()
{
    if (m_cell != nullptr) {
        std::vector<uint8_t> codes;
        for (const NumberEdit* field : m_fields) {
            codes.push_back(static_cast<uint8_t>(field->GetIntegerValue() & 0xFF));
        }
        SetScanCodeBytes(*m_cell, codes);
    }
    QDialog::accept();
}
