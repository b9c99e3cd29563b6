// "Key codes": the palette of every code of the project's key table, for the keys a PC keyboard
// cannot press. A window of its own beside the editor, so that an edit of the key's codes stays
// pending while the user looks for a code.
#pragma once

#include "editor/KeyCodePalette.h"

#include <QDialog>

class KeyCell;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class KeyCodesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit KeyCodesDialog(QWidget* parent);

    // The family's codes, enabled as the cell would take them; a null cell takes none.
    void SetTarget(KeyCodeFamily family, const KeyCell* cell);
    QLineEdit* GetSearch() const { return m_search; }
    QTreeWidget* GetList() const { return m_list; }
    // The entry of a list item, null for a group.
    const KeyCodeEntry* EntryOf(const QTreeWidgetItem* item) const;

signals:
    void EntryActivated(const KeyCodeEntry& entry);

private:
    void Fill();
    void ApplySearch();
    void Activate(QTreeWidgetItem* item);
    // Enter in the search box: the chosen entry, else the first one that can be added.
    void ActivateFromSearch();

    QLineEdit* m_search;
    QTreeWidget* m_list;
    KeyCodeFamily m_family = KeyCodeFamily::Usb;
    bool m_filled = false;
};
