#include "ui/ScanCodeDialog.h"

#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "ui/NumberEdit.h"
#include "ui/QtTexts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr size_t kRecordSize = 18;

// The record lengths a cell may accept, longest first, with where the code bytes start.
constexpr struct
{
    size_t length;
    size_t start;
} kRecordShapes[] = {{18, 2}, {17, 1}, {16, 0}, {8, 1}, {4, 1}};

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
    uint8_t record[kRecordSize] = {};
    size_t length = 0;
    size_t start = 0;
    uint8_t flags = 0;
    const int count = Probe(record, &length, &start, &flags) ? m_cell->GetCapacity() : 0;
    for (int i = 1; i <= kFields; ++i) {
        auto* field = new NumberEdit(group);
        field->setObjectName(QStringLiteral("ctl%1").arg(1400 + i));
        field->SetIntegerRange(0, 255, 3, 0, true);
        field->SetIntegerValue(record[start + static_cast<size_t>(i) - 1]);
        field->setEnabled(i <= count);
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

bool ScanCodeDialog::Probe(uint8_t* record, size_t* length, size_t* start, uint8_t* flags) const
{
    if (m_cell == nullptr) {
        return false;
    }
    for (const auto& shape : kRecordShapes) {
        if (m_cell->SaveToBytes(record, shape.length, flags)) {
            *length = shape.length;
            *start = shape.start;
            return true;
        }
    }
    return false;
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
        uint8_t record[kRecordSize] = {};
        size_t length = 0;
        size_t start = 0;
        uint8_t flags = 0;
        if (Probe(record, &length, &start, &flags)) {
            const size_t count = m_cell->GetCapacity();
            for (size_t i = 0; i < count && start + i < kRecordSize; ++i) {
                record[start + i] = static_cast<uint8_t>(m_fields[i]->GetIntegerValue() & 0xFF);
            }
            m_cell->LoadFromBytes(record, start + count, flags);
        } else {
            m_cell->LoadFromBytes(record, 0, flags);
        }
    }
    QDialog::accept();
}
