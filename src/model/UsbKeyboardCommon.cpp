#include "model/UsbKeyboardCommon.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyboardCatalogue.h"

#include <utility>

namespace {

constexpr uint8_t kDetachedCapacity = 16;

} // namespace

UsbKeyboardCommon::UsbKeyboardCommon(uint16_t columns, uint16_t rows, uint16_t tableSize)
{
    m_columns = columns;
    m_rows = rows;
    m_beepSettable = 0;
    m_keyBeep = 0;
    m_cells.resize(tableSize);
}

UsbKeyboardCommon::~UsbKeyboardCommon() = default;

// ---- Cells ----

bool UsbKeyboardCommon::LookupCell(uint16_t index, UsbKeyCell** cell)
{
    if (cell == nullptr) {
        return false;
    }
    *cell = nullptr;
    if (index == 0 || index > m_cells.size()) {
        return false;
    }
    *cell = m_cells[index - 1].get();
    return *cell != nullptr;
}

bool UsbKeyboardCommon::GetCellAt(uint16_t column, uint16_t row, uint8_t layout, UsbKeyCell** cell)
{
    return LookupCell(GetCellIndex(column, row, layout), cell);
}

bool UsbKeyboardCommon::GetCellAt(GridPoint point, uint8_t layout, UsbKeyCell** cell)
{
    return GetCellAt(GridColumn(point), GridRow(point), layout, cell);
}

bool UsbKeyboardCommon::GetCellByIndex(uint16_t index, KeyCell** cell)
{
    if (cell == nullptr) {
        return false;
    }
    UsbKeyCell* found = nullptr;
    const bool ok = LookupCell(index, &found);
    *cell = found;
    return ok;
}

uint16_t UsbKeyboardCommon::GetTableIndex(uint16_t column, uint16_t row, uint8_t layout) const
{
    return static_cast<uint16_t>(column + m_columns * ((row - 1) + m_rows * (layout - 1)));
}

uint16_t UsbKeyboardCommon::GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    if (column == 0 || row == 0 || layout == 0 || column > m_columns || row > m_rows ||
        layout > m_layoutCount) {
        return 0;
    }
    return GetTableIndex(column, row, layout);
}

uint16_t UsbKeyboardCommon::GetCellIndex(GridPoint point, uint8_t layout) const
{
    return GetCellIndex(GridColumn(point), GridRow(point), layout);
}

bool UsbKeyboardCommon::GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout)
{
    UsbKeyCell* cell = nullptr;
    if (!LookupCell(index, &cell)) {
        return false;
    }
    cell->GetPosition(column, row, layout);
    return true;
}

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

// ---- Cursor ----

bool UsbKeyboardCommon::MoveToNextKey()
{
    const uint16_t before = m_curColumn;
    if (!MoveRight()) {
        return false;
    }
    if (m_curColumn < before) {
        m_curRow = m_curRow >= m_rows ? 1 : static_cast<uint16_t>(m_curRow + 1);
    }
    return true;
}

bool UsbKeyboardCommon::MoveToPreviousKey()
{
    const uint16_t before = m_curColumn;
    if (!MoveLeft()) {
        return false;
    }
    if (m_curColumn > before) {
        m_curRow = m_curRow <= 1 ? m_rows : static_cast<uint16_t>(m_curRow - 1);
    }
    return true;
}

// ---- Edit copies and key texts ----

bool UsbKeyboardCommon::BeginEditCell(uint16_t column, uint16_t row, KeyCell** copy, uint8_t layout)
{
    return BeginRegisteredEdit(column, row, layout, copy);
}

bool UsbKeyboardCommon::BeginEditCell(GridPoint point, KeyCell** copy)
{
    return BeginEditCell(GridColumn(point), GridRow(point), copy, 0);
}

bool UsbKeyboardCommon::BeginEditCell(GridPoint point, KeyCell** copy, uint8_t layout)
{
    return BeginEditCell(GridColumn(point), GridRow(point), copy, layout);
}

std::unique_ptr<KeyCell> UsbKeyboardCommon::MakeDetachedCell() const
{
    return std::make_unique<UsbKeyCell>(0, 0, 0, 0, kDetachedCapacity);
}

bool UsbKeyboardCommon::SetKeyTexts(const std::string& name, const std::string& codes, uint16_t column,
                                    uint16_t row, uint8_t layout)
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    if (!IsValidKeyTexts(codes, column, row, layout)) {
        return false;
    }
    UsbKeyCell* cell = nullptr;
    if (!GetCellAt(column, row, layout, &cell)) {
        return false;
    }
    if (cell->IsLayoutSwitch()) {
        ClearKey(column, row, layout, true);
    }
    UpdateCell(cell);
    cell->ParseCodesText(codes);
    cell->SetName(name);
    if (cell->IsLayoutSwitch()) {
        return LinkLayoutSwitchKey(column, row, layout);
    }
    return true;
}

bool UsbKeyboardCommon::IsValidKeyTexts(const std::string& codes, uint16_t column, uint16_t row,
                                        uint8_t layout)
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    UsbKeyCell* cell = nullptr;
    if (!Keyboard::IsValidKeyTexts(codes, column, row, layout) || !GetCellAt(column, row, layout, &cell) ||
        !UpdateCell(cell)) {
        return false;
    }
    // A private copy: the editor's registered edit copy must survive this check.
    std::unique_ptr<KeyCell> copy = CopyAsOwnKey(*cell);
    if (!copy->ParseCodesText(codes)) {
        return false;
    }
    return !(copy->IsLayoutSwitch() && GetShapeFlags(column, row, layout) != 0);
}

bool UsbKeyboardCommon::SetKeyType(uint16_t column, uint16_t row, uint8_t type)
{
    UsbKeyCell* cell = nullptr;
    if (!GetCellAt(column, row, m_curLayout, &cell)) {
        return false;
    }
    // A cleared cell has lost its layout switch range; the types offered here must not depend on it.
    UpdateCell(cell);
    const bool wasSwitch = cell->IsLayoutSwitch();
    // Every cell of a layout switch key, taken before the type change loosens the key.
    std::vector<KeyCell*> keyCells;
    if (wasSwitch) {
        for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
            UsbKeyCell* other = nullptr;
            if (GetCellAt(column, row, layout, &other) && other->IsSameKeyAs(cell)) {
                keyCells.push_back(other);
            }
        }
    }
    if (!cell->SetKeyType(type)) {
        return false;
    }
    if (!cell->IsLayoutSwitch()) {
        if (!wasSwitch) {
            return true;
        }
        const std::string name = cell->GetName();
        const std::string codes = cell->FormatCodesText(0);
        for (KeyCell* keyCell : keyCells) {
            keyCell->Clear(true, true);
        }
        ClearKey(column, row, m_curLayout, true);
        cell->SetName(name);
        return cell->ParseCodesText(codes);
    }
    return LinkLayoutSwitchKey(column, row, m_curLayout);
}

bool UsbKeyboardCommon::WouldLoseProgramming(uint16_t column, uint16_t row, uint8_t type)
{
    UsbKeyCell* cell = nullptr;
    if (!GetCellAt(column, row, m_curLayout, &cell)) {
        return false;
    }
    UpdateCell(cell);
    std::unique_ptr<KeyCell> copy = CopyAsOwnKey(*cell);
    copy->SetKeyType(type);
    if (copy->IsLayoutSwitch() != cell->IsLayoutSwitch()) {
        return cell->IsProgrammed();
    }
    return cell->IsProgrammed() && !copy->IsProgrammed();
}

bool UsbKeyboardCommon::IsSkippedOnSave(uint16_t column, uint16_t row, uint8_t layout, KeyCell* cell,
                                        uint8_t* shape)
{
    if (shape != nullptr) {
        *shape = 0;
    }
    if (cell == nullptr && !GetCell(column, row, layout, &cell)) {
        return false;
    }
    if (column == 0 || row == 0 || layout == 0) {
        cell->GetPosition(&column, &row, &layout);
    }
    const uint8_t flags = GetShapeFlags(column, row, layout);
    constexpr uint8_t quad = ShapeBelow | ShapeRight | ShapeRightBelow;
    uint8_t code = 0;
    if ((flags & quad) == quad) {
        code = 3;
    } else if (flags == ShapeBelow) {
        code = 1;
    } else if (flags == ShapeRight) {
        code = 2;
    } else if (flags != 0) {
        return true;
    }
    if (shape != nullptr) {
        *shape = code;
    }
    return layout > 1 && cell->IsLayoutSwitch() && GetFirstLayoutOfSide(layout) < layout;
}

// ---- RFID prefix and suffix ----

bool UsbKeyboardCommon::CaptureAffixKey(const KeyMessage& message, bool isPrefix, bool* handled)
{
    bool ignored = false;
    return GetAffixCell(isPrefix).HandleKeyMessage(message, 1, handled != nullptr ? handled : &ignored);
}

bool UsbKeyboardCommon::IsAffixFull(bool isPrefix)
{
    return GetAffixCell(isPrefix).IsEnterHeld();
}

bool UsbKeyboardCommon::ClearAffix(bool isPrefix)
{
    return GetAffixCell(isPrefix).Clear(false, false);
}

std::string UsbKeyboardCommon::GetAffixText(std::string* text, bool isPrefix, bool modifierPart)
{
    std::string caption = GetAffixCell(isPrefix).GetCodeDisplayText(modifierPart ? 1 : 2);
    if (text != nullptr) {
        *text = caption;
    }
    return caption;
}

std::string UsbKeyboardCommon::GetCodeEntryLabel(int index) const
{
    if (index == 0) {
        return LoadText(IDS_CODE_LABEL_MODIFICATOR);
    }
    if (index == 1) {
        return LoadText(IDS_CODE_LABEL_KEY);
    }
    return Keyboard::GetCodeEntryLabel(index);
}

// ---- Device selection, family texts and conversion helpers ----

bool UsbKeyboardCommon::SelectDevice(uint8_t number)
{
    if (number >= 1 && number < m_detectedDevices) {
        m_selectedDevice = number;
        return true;
    }
    m_selectedDevice = 0;
    return false;
}

std::string UsbKeyboardCommon::MakeProjectFileFilter(uint32_t textId, std::string* filter,
                                                     std::string* defaultExtension)
{
    std::string text = LoadText(textId) + "|*.zqp|";
    if (filter != nullptr) {
        *filter = text;
    }
    if (defaultExtension != nullptr) {
        *defaultExtension = "zqp";
    }
    return text;
}

std::string UsbKeyboardCommon::GetTypeNameOf(uint8_t typeId)
{
    std::string name;
    GetKeyboardTypeName(typeId, &name);
    return name;
}

std::string UsbKeyboardCommon::FormatConversionWarning(uint8_t targetTypeId)
{
    return ReplaceFirst(LoadText(IDS_CONVERSION_WARNING), "%s", GetTypeNameOf(targetTypeId));
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
            cell->SetKeyType(UsbKeyTypeNormal);
        }
    }
}
