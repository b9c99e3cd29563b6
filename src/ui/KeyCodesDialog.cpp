#include "ui/KeyCodesDialog.h"

#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "ui/QtTexts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColumnName, ColumnCode, ColumnNote };
constexpr int kEntryRole = Qt::UserRole;
constexpr int kNoEntry = -1;

QString RefusalText(CodeRefusal refusal, const KeyCell* cell)
{
    QString text = Text(GetRefusalTextId(refusal));
    if (refusal == CodeRefusal::Full && cell != nullptr) {
        text.replace(QStringLiteral("%s"), QString::number(cell->GetCapacity()));
    }
    return text;
}

} // namespace

KeyCodesDialog::KeyCodesDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("keyCodes"));
    setWindowTitle(Text(IDS_KEY_CODES_CAPTION));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("keyCodesSearch"));
    m_search->setPlaceholderText(Text(IDS_KEY_CODES_SEARCH));
    m_search->setClearButtonEnabled(true);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("keyCodesList"));
    m_list->setColumnCount(3);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* hint = new QLabel(Text(IDS_KEY_CODES_HINT), this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(460, 560);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_search, &QLineEdit::textChanged, this, &KeyCodesDialog::ApplySearch);
    connect(m_search, &QLineEdit::returnPressed, this, &KeyCodesDialog::ActivateFromSearch);
    connect(m_list, &QTreeWidget::itemActivated, this, &KeyCodesDialog::Activate);
}

void KeyCodesDialog::SetTarget(KeyCodeFamily family, const KeyCell* cell)
{
    if (!m_filled || family != m_family) {
        m_family = family;
        Fill();
    }
    for (int group = 0; group < m_list->topLevelItemCount(); ++group) {
        QTreeWidgetItem* groupItem = m_list->topLevelItem(group);
        for (int child = 0; child < groupItem->childCount(); ++child) {
            QTreeWidgetItem* item = groupItem->child(child);
            const CodeRefusal refusal = CheckKeyCode(cell, *EntryOf(item));
            const QString note = refusal == CodeRefusal::None ? QString() : RefusalText(refusal, cell);
            item->setDisabled(refusal != CodeRefusal::None);
            item->setText(ColumnNote, note);
            for (int column = ColumnName; column <= ColumnNote; ++column) {
                item->setToolTip(column, note);
            }
        }
    }
}

const KeyCodeEntry* KeyCodesDialog::EntryOf(const QTreeWidgetItem* item) const
{
    const int index = item != nullptr ? item->data(ColumnName, kEntryRole).toInt() : kNoEntry;
    const std::vector<KeyCodeEntry>& entries = GetKeyCodeCatalogue(m_family);
    return index >= 0 && static_cast<size_t>(index) < entries.size() ? &entries[index] : nullptr;
}

void KeyCodesDialog::Fill()
{
    m_filled = true;
    m_list->clear();
    const std::vector<KeyCodeEntry>& entries = GetKeyCodeCatalogue(m_family);
    QTreeWidgetItem* groupItem = nullptr;
    for (size_t i = 0; i < entries.size(); ++i) {
        const KeyCodeEntry& entry = entries[i];
        if (groupItem == nullptr || entries[i - 1].group != entry.group) {
            groupItem = new QTreeWidgetItem(m_list);
            groupItem->setData(ColumnName, kEntryRole, kNoEntry);
            groupItem->setFlags(Qt::ItemIsEnabled);
            QFont font = groupItem->font(ColumnName);
            font.setBold(true);
            groupItem->setFont(ColumnName, font);
            groupItem->setFirstColumnSpanned(true);
            groupItem->setExpanded(true);
        }
        auto* item = new QTreeWidgetItem(groupItem);
        item->setData(ColumnName, kEntryRole, static_cast<int>(i));
        item->setText(ColumnName, FromProjectText(entry.caption).trimmed());
        item->setText(ColumnCode, QString::fromStdString(FormatKeyCodeNumber(entry, m_family)));
    }
    m_list->expandAll();
    ApplySearch();
}

void KeyCodesDialog::ApplySearch()
{
    const std::string text = m_search->text().toStdString();
    for (int group = 0; group < m_list->topLevelItemCount(); ++group) {
        QTreeWidgetItem* groupItem = m_list->topLevelItem(group);
        int shown = 0;
        for (int child = 0; child < groupItem->childCount(); ++child) {
            QTreeWidgetItem* item = groupItem->child(child);
            const bool match = MatchesKeyCodeSearch(*EntryOf(item), m_family, text);
            item->setHidden(!match);
            shown += match ? 1 : 0;
        }
        const KeyCodeEntry* first = EntryOf(groupItem->child(0));
        groupItem->setText(ColumnName, QStringLiteral("%1 (%2)")
                                           .arg(QString::fromStdString(GetKeyCodeGroupName(first->group)))
                                           .arg(shown));
        groupItem->setHidden(shown == 0);
    }
}

void KeyCodesDialog::Activate(QTreeWidgetItem* item)
{
    const KeyCodeEntry* entry = EntryOf(item);
    if (entry != nullptr && !item->isDisabled()) {
        emit EntryActivated(*entry);
    }
}

void KeyCodesDialog::ActivateFromSearch()
{
    QTreeWidgetItem* chosen = m_list->currentItem();
    if (chosen == nullptr || chosen->isHidden() || EntryOf(chosen) == nullptr) {
        chosen = nullptr;
        for (QTreeWidgetItemIterator it(m_list, QTreeWidgetItemIterator::NotHidden |
                                                    QTreeWidgetItemIterator::Enabled);
             *it != nullptr && chosen == nullptr; ++it) {
            if (EntryOf(*it) != nullptr) {
                chosen = *it;
            }
        }
    }
    Activate(chosen);
}
