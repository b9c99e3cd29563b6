#include "model/UsbKeyboardCommon.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyboardCatalogue.h"

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

bool UsbKeyboardCommon::GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout)
{
    UsbKeyCell* cell = nullptr;
    if (!LookupCell(index, &cell)) {
        return false;
    }
    cell->GetPosition(column, row, layout);
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

// ---- Device selection, family texts and conversion texts ----

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

bool UsbKeyboardCommon::AnswerConversionTitle(uint32_t titleId, bool offered, std::string* text)
{
    if (text != nullptr) {
        *text = LoadText(titleId);
    }
    return offered;
}

std::string UsbKeyboardCommon::FormatConversionWarning(uint8_t targetTypeId)
{
    return ReplaceFirst(LoadText(IDS_CONVERSION_WARNING), "%s", GetTypeNameOf(targetTypeId));
}
