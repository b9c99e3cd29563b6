#include "model/Keyboard.h"

#include "model/KeyCell.h"

Keyboard::~Keyboard() = default;

uint8_t Keyboard::ResolveLayout(uint8_t layout) const
{
    return layout == 0 ? m_curLayout : layout;
}

KeyCell* Keyboard::CellAt(int column, int row, uint8_t layout)
{
    // Offsets from the border must not wrap around into the grid.
    if (column < 1 || row < 1 || column > m_columns || row > m_rows) {
        return nullptr;
    }
    KeyCell* cell = nullptr;
    if (!GetCell(static_cast<uint16_t>(column), static_cast<uint16_t>(row), layout, &cell)) {
        return nullptr;
    }
    return cell;
}

bool Keyboard::SetCurrentLayout(uint8_t layout)
{
    if (layout < 1 || layout > m_layoutCount) {
        return false;
    }
    m_curLayout = layout;
    return true;
}

bool Keyboard::SetCurrentPosition(uint16_t column, uint16_t row)
{
    if (!IsValidPosition(column, row)) {
        return false;
    }
    m_curColumn = column;
    m_curRow = row;
    return true;
}

bool Keyboard::SetCurrentPosition(GridPoint point)
{
    return SetCurrentPosition(GridColumn(point), GridRow(point));
}

// Steps the cursor by one cell, and once more when that stays inside the same multi-cell key.
bool Keyboard::StepCursor(int dColumn, int dRow)
{
    uint16_t& coordinate = dColumn != 0 ? m_curColumn : m_curRow;
    const uint16_t limit = dColumn != 0 ? m_columns : m_rows;
    const int step = dColumn != 0 ? dColumn : dRow;
    const uint16_t edge = step < 0 ? 1 : limit;
    const uint16_t wrapped = step < 0 ? limit : 1;

    if (coordinate == edge) {
        coordinate = wrapped;
        return true;
    }
    KeyCell* start = nullptr;
    if (!GetCurrentCell(&start)) {
        return false;
    }
    coordinate = static_cast<uint16_t>(coordinate + step);
    if (start->IsMerged()) {
        KeyCell* next = nullptr;
        if (!GetCurrentCell(&next)) {
            return false;
        }
        if (start->GetMaster() == next->GetMaster()) {
            coordinate = static_cast<uint16_t>(coordinate + step);
        }
    }
    if (coordinate == 0 || coordinate > limit) {
        coordinate = wrapped;
    }
    return true;
}

bool Keyboard::MoveLeft()
{
    return StepCursor(-1, 0);
}

bool Keyboard::MoveRight()
{
    return StepCursor(1, 0);
}

bool Keyboard::MoveUp()
{
    return StepCursor(0, -1);
}

bool Keyboard::MoveDown()
{
    return StepCursor(0, 1);
}

bool Keyboard::GetCurrentPosition(GridPoint* point) const
{
    if (point == nullptr) {
        return false;
    }
    *point = MakeGridPoint(m_curColumn, m_curRow);
    return true;
}

bool Keyboard::GetGridSize(GridPoint* size) const
{
    if (size == nullptr) {
        return false;
    }
    *size = MakeGridPoint(m_columns, m_rows);
    return true;
}

bool Keyboard::GetGridSize(uint16_t* columns, uint16_t* rows) const
{
    GridPoint size = 0;
    if (!GetGridSize(&size)) {
        return false;
    }
    if (columns != nullptr) {
        *columns = GridColumn(size);
    }
    if (rows != nullptr) {
        *rows = GridRow(size);
    }
    return true;
}

bool Keyboard::IsValidPosition(uint16_t column, uint16_t row) const
{
    return column != 0 && row != 0 && column <= m_columns && row <= m_rows;
}

bool Keyboard::IsValidPosition(GridPoint point) const
{
    return IsValidPosition(GridColumn(point), GridRow(point));
}

bool Keyboard::IsSameKey(uint16_t column1, uint16_t row1, uint16_t column2, uint16_t row2, uint8_t layout1,
                         uint8_t layout2)
{
    KeyCell* first = nullptr;
    KeyCell* second = nullptr;
    if (!GetCell(column1, row1, layout1, &first) || !GetCell(column2, row2, layout2, &second)) {
        return false;
    }
    return first->IsSameKeyAs(second);
}

bool Keyboard::IsSameKey(GridPoint first, GridPoint second)
{
    return IsSameKey(GridColumn(first), GridRow(first), GridColumn(second), GridRow(second), 0, 0);
}

bool Keyboard::ClearKey(uint16_t column, uint16_t row)
{
    return ClearKey(column, row, m_curLayout, true);
}

bool Keyboard::ClearKey(GridPoint point)
{
    return ClearKey(GridColumn(point), GridRow(point));
}

bool Keyboard::ClearKey()
{
    return ClearKey(m_curColumn, m_curRow);
}

bool Keyboard::IsKeyProgrammed(uint16_t column, uint16_t row)
{
    KeyCell* cell = nullptr;
    return GetCell(column, row, &cell) && cell->IsProgrammed();
}

bool Keyboard::IsKeyProgrammed(GridPoint point)
{
    return IsKeyProgrammed(GridColumn(point), GridRow(point));
}

bool Keyboard::IsKeyProgrammed()
{
    return IsKeyProgrammed(m_curColumn, m_curRow);
}

bool Keyboard::IsMergedCell(uint16_t column, uint16_t row)
{
    KeyCell* cell = nullptr;
    return GetCell(column, row, &cell) && cell->IsMerged();
}

bool Keyboard::IsMergedCell(GridPoint point)
{
    return IsMergedCell(GridColumn(point), GridRow(point));
}

bool Keyboard::IsMergedCell()
{
    return IsMergedCell(m_curColumn, m_curRow);
}

bool Keyboard::CurrentCellAcceptsCodes()
{
    KeyCell* cell = nullptr;
    return GetCurrentCell(&cell) && cell->AcceptsCodes();
}

uint8_t Keyboard::GetKeyImageIndex(uint16_t column, uint16_t row)
{
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, &cell) || !cell->IsProgrammed()) {
        return 0;
    }
    return cell->GetImageIndex();
}

uint8_t Keyboard::GetKeyImageIndex(GridPoint point)
{
    return GetKeyImageIndex(GridColumn(point), GridRow(point));
}

uint8_t Keyboard::GetKeyImageIndex()
{
    return GetKeyImageIndex(m_curColumn, m_curRow);
}

bool Keyboard::UpdateCell(KeyCell* /*cell*/)
{
    return true;
}

bool Keyboard::GetCell(uint16_t column, uint16_t row, uint8_t layout, KeyCell** cell)
{
    if (cell == nullptr) {
        return false;
    }
    *cell = nullptr;
    const uint16_t index = GetCellIndex(column, row, ResolveLayout(layout));
    if (index == 0 || !GetCellByIndex(index, cell)) {
        *cell = nullptr;
        return false;
    }
    return *cell != nullptr;
}

bool Keyboard::GetCell(uint16_t column, uint16_t row, KeyCell** cell)
{
    return GetCell(column, row, m_curLayout, cell);
}

bool Keyboard::GetCell(GridPoint point, KeyCell** cell)
{
    return GetCell(GridColumn(point), GridRow(point), cell);
}

bool Keyboard::GetCurrentCell(KeyCell** cell)
{
    return GetCell(m_curColumn, m_curRow, m_curLayout, cell);
}

uint16_t Keyboard::GetCellIndex(GridPoint point, uint8_t layout) const
{
    return GetCellIndex(GridColumn(point), GridRow(point), layout);
}

bool Keyboard::BeginEditCell(uint16_t column, uint16_t row, KeyCell** copy, uint8_t layout)
{
    return BeginRegisteredEdit(column, row, layout, copy);
}

bool Keyboard::BeginEditCell(GridPoint point, KeyCell** copy)
{
    return BeginEditCell(GridColumn(point), GridRow(point), copy, 0);
}

uint16_t Keyboard::GetCellIndex() const
{
    return GetCellIndex(m_curColumn, m_curRow, m_curLayout);
}

bool Keyboard::BeginEditCell(KeyCell** copy)
{
    return BeginEditCell(m_curColumn, m_curRow, copy, m_curLayout);
}

std::unique_ptr<KeyCell> Keyboard::CopyAsOwnKey(const KeyCell& source)
{
    std::unique_ptr<KeyCell> copy = source.Clone();
    copy->SetMaster(copy->IsMerged() ? copy.get() : nullptr);
    return copy;
}

bool Keyboard::BeginEditCell(uint16_t column, uint16_t row, std::unique_ptr<KeyCell>* detached,
                             uint8_t /*layout*/)
{
    if (detached == nullptr) {
        return false;
    }
    detached->reset();
    if (column != 0 || row != 0) {
        return false;
    }
    *detached = MakeDetachedCell();
    return *detached != nullptr;
}

bool Keyboard::BeginRegisteredEdit(uint16_t column, uint16_t row, uint8_t layout, KeyCell** copy)
{
    if (copy == nullptr) {
        return false;
    }
    *copy = nullptr;
    if (column == 0 && row == 0) {
        return false;
    }
    m_editCopy.reset();
    m_editIndex = GetCellIndex(column, row, ResolveLayout(layout));
    KeyCell* cell = nullptr;
    if (!GetCellByIndex(m_editIndex, &cell)) {
        return false;
    }
    const KeyCell* master = cell->GetMaster();
    if (master != cell) {
        uint16_t masterColumn = 0;
        uint16_t masterRow = 0;
        uint8_t masterLayout = 0;
        master->GetPosition(&masterColumn, &masterRow, &masterLayout);
        m_editIndex = GetCellIndex(masterColumn, masterRow, masterLayout);
    }
    m_editCopy = CopyAsOwnKey(*master);
    *copy = m_editCopy.get();
    return true;
}

bool Keyboard::EndEditCell(KeyCell** copy)
{
    if (copy == nullptr || *copy == nullptr || *copy != m_editCopy.get()) {
        return false;
    }
    KeyCell* cell = nullptr;
    if (!GetCellByIndex(m_editIndex, &cell)) {
        return false;
    }
    const bool parsed = cell->ParseCodesText(m_editCopy->FormatCodesText(0));
    cell->SetName(m_editCopy->GetName());
    m_editCopy.reset();
    *copy = nullptr;
    return parsed;
}

bool Keyboard::GetKeyTexts(std::string* name, std::string* codes, uint16_t column, uint16_t row,
                           uint8_t layout)
{
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell) || !cell->IsProgrammed()) {
        return false;
    }
    if (codes != nullptr) {
        *codes = cell->FormatCodesText(0);
    }
    if (name != nullptr) {
        *name = cell->GetName();
    }
    return true;
}

bool Keyboard::GetKeyTexts(std::string* name, std::string* codes, GridPoint point, uint8_t layout)
{
    return GetKeyTexts(name, codes, GridColumn(point), GridRow(point), layout);
}

bool Keyboard::GetKeyTexts(std::string* name, std::string* codes)
{
    return GetKeyTexts(name, codes, m_curColumn, m_curRow, m_curLayout);
}

bool Keyboard::SetKeyTexts(const std::string& name, const std::string& codes, uint16_t column, uint16_t row,
                           uint8_t layout)
{
    if (!IsValidKeyTexts(codes, column, row, layout)) {
        return false;
    }
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    // A refused codes text must not be reported as applied.
    const bool parsed = cell->ParseCodesText(codes);
    const bool named = cell->SetName(name);
    return parsed && named;
}

bool Keyboard::SetKeyTexts(const std::string& name, const std::string& codes, GridPoint point, uint8_t layout)
{
    return SetKeyTexts(name, codes, GridColumn(point), GridRow(point), layout);
}

bool Keyboard::SetKeyTexts(const std::string& name, const std::string& codes)
{
    return SetKeyTexts(name, codes, m_curColumn, m_curRow, m_curLayout);
}

bool Keyboard::IsValidKeyTexts(const std::string& codes, uint16_t /*column*/, uint16_t /*row*/,
                               uint8_t /*layout*/)
{
    return !codes.empty();
}

bool Keyboard::IsValidKeyTexts(const std::string& codes, GridPoint point, uint8_t layout)
{
    return IsValidKeyTexts(codes, GridColumn(point), GridRow(point), layout);
}

bool Keyboard::IsValidKeyTexts(const std::string& codes)
{
    return IsValidKeyTexts(codes, m_curColumn, m_curRow, m_curLayout);
}

template <typename Setter> int Keyboard::CountAcceptingCells(Setter setter)
{
    int count = 0;
    for (int layout = 1; layout <= m_layoutCount; ++layout) {
        for (int column = 1; column <= m_columns; ++column) {
            for (int row = 1; row <= m_rows; ++row) {
                KeyCell* cell = CellAt(column, row, static_cast<uint8_t>(layout));
                if (cell != nullptr && setter(cell)) {
                    ++count;
                }
            }
        }
    }
    return count;
}

int Keyboard::SetModeForAllKeys(uint8_t mode)
{
    return CountAcceptingCells([mode](KeyCell* cell) { return cell->SetMode(mode); });
}

int Keyboard::SetSimpleKeyForAllKeys(uint8_t flag)
{
    return CountAcceptingCells([flag](KeyCell* cell) { return cell->SetSimpleKey(flag); });
}

bool Keyboard::SetKeyType(uint16_t column, uint16_t row, uint8_t type)
{
    KeyCell* cell = nullptr;
    return GetCell(column, row, &cell) && cell->SetKeyType(type);
}

bool Keyboard::SetKeyType(GridPoint point, uint8_t type)
{
    return SetKeyType(GridColumn(point), GridRow(point), type);
}

bool Keyboard::WouldLoseProgramming(uint16_t /*column*/, uint16_t /*row*/, uint8_t /*type*/)
{
    return false;
}

bool Keyboard::WouldLoseProgramming(GridPoint point, uint8_t type)
{
    return WouldLoseProgramming(GridColumn(point), GridRow(point), type);
}

// Families whose beep cannot be set rely on the true answer when a decoded configuration is
// applied, so "nothing to do" reads as success and a stored value as false.
bool Keyboard::SetKeyBeep(bool on)
{
    if (m_beepSettable == 0) {
        return true;
    }
    m_keyBeep = on ? 1 : 0;
    return false;
}

bool Keyboard::GetRfidDigitsRange(uint8_t* min, uint8_t* max) const
{
    if (min != nullptr) {
        *min = 1;
    }
    if (max != nullptr) {
        *max = 13;
    }
    return true;
}

bool Keyboard::SetRfidDigits(uint8_t digits)
{
    return StoreInRange(digits, &Keyboard::GetRfidDigitsRange, &m_rfidDigits);
}

bool Keyboard::SetRfidNumericOnly(bool on)
{
    m_rfidNumericOnly = on ? 1 : 0;
    return true;
}

bool Keyboard::SetKeysType(uint8_t type)
{
    m_keysType = type;
    return true;
}

bool Keyboard::GetTypematicRateRange(uint8_t* min, uint8_t* max) const
{
    if (min != nullptr) {
        *min = 0;
    }
    if (max != nullptr) {
        *max = 31;
    }
    return true;
}

bool Keyboard::SetTypematicRate(uint8_t rate)
{
    return StoreInRange(rate, &Keyboard::GetTypematicRateRange, &m_typematicRate);
}

bool Keyboard::GetTypematicDelayRange(uint8_t* min, uint8_t* max) const
{
    if (min != nullptr) {
        *min = 0;
    }
    if (max != nullptr) {
        *max = 3;
    }
    return true;
}

bool Keyboard::SetTypematicDelay(uint8_t delay)
{
    return StoreInRange(delay, &Keyboard::GetTypematicDelayRange, &m_typematicDelay);
}

bool Keyboard::SetKeyPause(uint8_t milliseconds)
{
    m_keyPause = milliseconds;
    return true;
}

bool Keyboard::StoreInRange(uint8_t value, bool (Keyboard::*range)(uint8_t*, uint8_t*) const, uint8_t* field)
{
    uint8_t min = 0;
    uint8_t max = 0;
    if (!(this->*range)(&min, &max) || value < min || value > max) {
        return false;
    }
    *field = value;
    return true;
}

uint8_t Keyboard::GetAffixKeyCode(bool /*isPrefix*/) const
{
    return 0;
}

bool Keyboard::SetAffixKeyCode(bool /*isPrefix*/, uint8_t /*code*/)
{
    return false;
}

bool Keyboard::GetAffixExtended(bool /*isPrefix*/) const
{
    return false;
}

bool Keyboard::SetAffixExtended(bool /*isPrefix*/, bool /*on*/)
{
    return false;
}

bool Keyboard::CaptureAffixKey(const KeyMessage& /*message*/, bool /*isPrefix*/, bool* handled)
{
    if (handled != nullptr) {
        *handled = false;
    }
    return false;
}

bool Keyboard::IsAffixFull(bool /*isPrefix*/)
{
    return false;
}

bool Keyboard::ClearAffix(bool /*isPrefix*/)
{
    return false;
}

std::string Keyboard::GetAffixText(std::string* /*text*/, bool /*isPrefix*/, bool /*modifierPart*/)
{
    return {};
}

std::string Keyboard::GetCodeEntryLabel(int /*index*/) const
{
    return {};
}

bool Keyboard::GetConversionTitle(uint8_t /*index*/, std::string* /*text*/) const
{
    return false;
}

bool Keyboard::GetConversionWarning(uint8_t /*index*/, std::string* /*text*/) const
{
    return false;
}

std::unique_ptr<Keyboard> Keyboard::Convert(uint8_t /*index*/, bool* changedInPlace)
{
    if (changedInPlace != nullptr) {
        *changedInPlace = false;
    }
    return nullptr;
}

std::string Keyboard::GetFirmwareFileFilter(std::string* filter, std::string* defaultExtension) const
{
    if (filter != nullptr) {
        filter->clear();
    }
    if (defaultExtension != nullptr) {
        defaultExtension->clear();
    }
    return {};
}
