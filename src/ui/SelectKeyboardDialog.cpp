#include "ui/SelectKeyboardDialog.h"

#include "lang/StringIds.h"
#include "model/KeyboardCatalogue.h"
#include "ui/QtTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

SelectKeyboardDialog::TestHook& Hook()
{
    static SelectKeyboardDialog::TestHook hook;
    return hook;
}

} // namespace

SelectKeyboardDialog::SelectKeyboardDialog(QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)),
      m_useAsDefaultBox(new QCheckBox(Text(IDS_USE_AS_DEFAULT), this))
{
    setObjectName(QStringLiteral("SelectKeyboardDialog"));
    setWindowTitle(Text(IDS_SELECT_KEYBOARD_CAPTION));
    m_list->setObjectName(QStringLiteral("ctl1301"));
    m_useAsDefaultBox->setObjectName(QStringLiteral("ctl1303"));
    for (uint8_t id = 0; id < GetKeyboardTypeCount(); ++id) {
        std::string name;
        if (GetKeyboardTypeName(id, &name)) {
            auto* item = new QListWidgetItem(FromProjectText(name), m_list);
            item->setData(Qt::UserRole, id);
        }
    }
    m_list->setCurrentRow(0);
    m_list->setAccessibleName(Text(IDS_SELECT_KEYBOARD_CAPTION));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Text(IDS_BUTTON_OK));
    buttons->button(QDialogButtonBox::Cancel)->setText(Text(IDS_BUTTON_CANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectKeyboardDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectKeyboardDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SelectKeyboardDialog::accept);

    auto* prompt = new QLabel(Text(IDS_SELECT_KEYBOARD_PROMPT), this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setBuddy(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list);
    layout->addWidget(m_useAsDefaultBox);
    layout->addWidget(buttons);
    // Every type name shows without scrolling.
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * (m_list->count() + 1));
    m_list->setMinimumWidth(m_list->sizeHintForColumn(0) + 24);
}

bool SelectKeyboardDialog::Run()
{
    if (Hook()) {
        Hook()(*this);
        return result() == QDialog::Accepted;
    }
    return exec() == QDialog::Accepted;
}

void SelectKeyboardDialog::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}

void SelectKeyboardDialog::accept()
{
    const QListWidgetItem* item = m_list->currentItem();
    m_selectedType = item != nullptr ? static_cast<uint8_t>(item->data(Qt::UserRole).toUInt()) : 0;
    m_useAsDefault = m_useAsDefaultBox->checkState() != Qt::Unchecked;
    QDialog::accept();
}
