// The USB common base: sides and layout switch keys, and the cell table the layouts live in.
#include "model/UsbKeyboardCommon.h"

#include <utility>

// ---- Sides and layout switch keys ----

uint8_t UsbKeyboardCommon::GetFirstLayoutOfSide(uint8_t layout) const
{
    (void)layout;
    return 1;
}

uint8_t UsbKeyboardCommon::GetLayoutsPerSide() const
{
    return m_layoutCount;
}

uint8_t UsbKeyboardCommon::GetLayoutStep() const
{
    return 1;
}

bool UsbKeyboardCommon::CanShareAcrossLayouts(uint16_t column, uint16_t row, uint8_t layout)
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    const uint16_t index = GetCellIndex(column, row, layout);
    UsbKeyCell* cell = nullptr;
    const uint8_t step = GetLayoutStep();
    if (!LookupCell(index, &cell) || step == 0) {
        return false;
    }
    for (unsigned other = GetFirstLayoutOfSide(layout); other <= m_layoutCount; other += step) {
        const uint16_t otherIndex = GetCellIndex(column, row, static_cast<uint8_t>(other));
        if (otherIndex == 0) {
            return false;
        }
        if (otherIndex == index) {
            continue;
        }
        UsbKeyCell* otherCell = nullptr;
        if (!LookupCell(otherIndex, &otherCell)) {
            return false;
        }
        if (!otherCell->IsSameKeyAs(cell) && otherCell->IsProgrammed()) {
            return false;
        }
    }
    return true;
}

uint8_t UsbKeyboardCommon::GetLayoutLimitAt(uint16_t column, uint16_t row, uint8_t layout)
{
    const uint8_t perSide = GetLayoutsPerSide();
    if (perSide >= 2 && CanShareAcrossLayouts(column, row, layout) &&
        GetShapeFlags(column, row, layout) == 0) {
        return perSide;
    }
    return 0;
}

bool UsbKeyboardCommon::LinkLayoutSwitchKey(uint16_t column, uint16_t row, uint8_t layout)
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    UsbKeyCell* cell = nullptr;
    const uint8_t step = GetLayoutStep();
    if (!GetCellAt(column, row, layout, &cell) || step == 0) {
        return false;
    }
    KeyCell* master = cell->GetMaster();
    bool ok = true;
    for (unsigned other = GetFirstLayoutOfSide(layout); other <= m_layoutCount; other += step) {
        UsbKeyCell* otherCell = nullptr;
        if (!GetCellAt(column, row, static_cast<uint8_t>(other), &otherCell)) {
            ok = false;
        } else if (otherCell != master && !otherCell->SetMaster(master)) {
            ok = false;
        }
    }
    return ok;
}

bool UsbKeyboardCommon::UpdateCell(KeyCell* cell)
{
    if (cell == nullptr) {
        return false;
    }
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    cell->GetPosition(&column, &row, &layout);
    UsbKeyCell* tableCell = nullptr;
    if (layout == 0 || !GetCellAt(column, row, layout, &tableCell)) {
        return false;
    }
    tableCell->SetLayoutLimit(GetLayoutLimitAt(column, row, layout));
    return true;
}

void UsbKeyboardCommon::KeepCursorInLayouts()
{
    if (m_curLayout > m_layoutCount) {
        m_curLayout = m_layoutCount > 0 ? 1 : 0;
    }
}

// ---- Cell table ----

void UsbKeyboardCommon::CreateLayoutCells(uint8_t layout, uint8_t capacity)
{
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            const uint16_t index = GetTableIndex(column, row, layout);
            if (index <= m_cells.size()) {
                m_cells[index - 1] = std::make_unique<UsbKeyCell>(index, column, row, layout, capacity);
            }
        }
    }
}

void UsbKeyboardCommon::DestroyCell(size_t slot)
{
    UsbKeyCell* victim = m_cells[slot].get();
    if (victim == nullptr) {
        return;
    }
    const KeyCell* key = victim->GetMaster();
    uint8_t victimLayout = 0;
    victim->GetPosition(nullptr, nullptr, &victimLayout);
    std::vector<KeyCell*> linked;
    bool spansLayouts = false;
    for (auto& other : m_cells) {
        if (other == nullptr || other.get() == victim) {
            continue;
        }
        const KeyCell* otherMaster = other->GetMaster();
        if (otherMaster == victim || (key != victim && otherMaster == key)) {
            uint8_t otherLayout = 0;
            other->GetPosition(nullptr, nullptr, &otherLayout);
            spansLayouts = spansLayouts || otherLayout != victimLayout;
            linked.push_back(other.get());
        }
    }
    for (KeyCell* cell : linked) {
        // A layout switch key that loses one of its layouts is dropped as a whole.
        if (spansLayouts) {
            cell->Clear(false, true);
        } else if (cell->GetMaster() == victim) {
            cell->SetMaster(nullptr);
        }
    }
    m_cells[slot].reset();
    // An edit copy of a destroyed key has no key to go back to.
    if (m_editIndex == slot + 1) {
        m_editIndex = 0;
    }
}

void UsbKeyboardCommon::DestroyLayoutCellAt(uint16_t column, uint16_t row, uint8_t layout)
{
    const uint16_t index = GetTableIndex(column, row, layout);
    if (index >= 1 && index <= m_cells.size()) {
        DestroyCell(index - 1);
    }
}

void UsbKeyboardCommon::DestroyLayoutCells(uint8_t layout)
{
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            DestroyLayoutCellAt(column, row, layout);
        }
    }
}

void UsbKeyboardCommon::DropLayoutsAbove(uint8_t target, bool restoreSwitchKeys)
{
    struct SwitchKey
    {
        UsbKeyCell* cell;
        std::string codes;
    };
    std::vector<SwitchKey> switchKeys;
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            UsbKeyCell* cell = nullptr;
            if (!GetCellAt(column, row, 1, &cell) || !cell->IsLayoutSwitch()) {
                continue;
            }
            switchKeys.push_back({cell, cell->FormatCodesText(0)});
            // The key's name may sit in a dropped layout's cell.
            const std::string name = cell->GetName();
            // Unlinked as well, so that no cell keeps a link into a dropped layout. Only the switch
            // key's own side: the other side's key at this position is not part of it.
            for (unsigned layout = GetFirstLayoutOfSide(1); layout <= m_layoutCount;
                 layout += GetLayoutStep()) {
                UsbKeyCell* other = nullptr;
                if (GetCellAt(column, row, static_cast<uint8_t>(layout), &other)) {
                    other->Clear(false, true);
                }
            }
            cell->SetName(name);
        }
    }
    for (uint8_t layout = m_layoutCount; layout > target; --layout) {
        DestroyLayoutCells(layout);
    }
    m_layoutCount = target;
    KeepCursorInLayouts();
    if (!restoreSwitchKeys || target < 2) {
        return;
    }
    for (const SwitchKey& key : switchKeys) {
        key.cell->SetLayoutLimit(target);
        key.cell->ParseCodesText(key.codes);
        if (!key.cell->IsLayoutSwitch()) {
            continue;
        }
        key.cell->SetMaster(key.cell);
        uint16_t column = 0;
        uint16_t row = 0;
        key.cell->GetPosition(&column, &row, nullptr);
        for (uint8_t layout = 2; layout <= target; ++layout) {
            UsbKeyCell* other = nullptr;
            if (GetCellAt(column, row, layout, &other)) {
                other->SetMaster(key.cell);
            }
        }
    }
}

bool UsbKeyboardCommon::ExchangeLayoutCells(uint8_t first, uint8_t second)
{
    if (first == 0 || second == 0 || first > m_layoutCount || second > m_layoutCount) {
        return false;
    }
    if (first == second) {
        return true;
    }
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            const uint16_t a = GetTableIndex(column, row, first);
            const uint16_t b = GetTableIndex(column, row, second);
            std::swap(m_cells[a - 1], m_cells[b - 1]);
            // The edit copy goes back to the key it was made from, wherever that key now is.
            if (m_editIndex == a || m_editIndex == b) {
                m_editIndex = m_editIndex == a ? b : a;
            }
            if (m_cells[a - 1] != nullptr) {
                m_cells[a - 1]->SetPosition(a, column, row, first);
            }
            if (m_cells[b - 1] != nullptr) {
                m_cells[b - 1]->SetPosition(b, column, row, second);
            }
        }
    }
    return true;
}

void UsbKeyboardCommon::ClearAllCells()
{
    for (auto& cell : m_cells) {
        if (cell != nullptr) {
            cell->Clear(false, true);
            cell->SetKeyType(kUsbKeyTypeNormal);
        }
    }
}
