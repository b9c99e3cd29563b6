#include "model/LegacyKeyboard.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "model/LegacyKeyCell.h"

namespace {

constexpr int kResultNotSupported = 2;

} // namespace

LegacyKeyboard::LegacyKeyboard(bool isDouble, bool twoLayouts, bool sixteenScans)
{
    m_columns = kHalfColumns;
    m_rows = kHalfRows;
    m_layoutCount = 1;
    m_curLayout = 1;
    if (isDouble && twoLayouts) {
        m_layoutCount = 2;
    } else if (isDouble) {
        m_columns = 2 * kHalfColumns;
    }
    m_cellCapacity = sixteenScans ? kCapacityV2 : (isDouble ? kCapacityV1Double : kCapacityV1Single);
    const uint16_t count = isDouble ? kKeyCount : kHalfKeyCount;
    for (uint16_t index = 1; index <= count; ++index) {
        m_cells[index - 1] = MakeCell(index);
    }
}

LegacyKeyboard::~LegacyKeyboard() = default;

bool LegacyKeyboard::MoveToNextKey()
{
    if (!IsValidPosition(m_curColumn, m_curRow)) {
        return false;
    }
    const uint16_t halfEnd = m_curColumn > kHalfColumns ? m_columns : kHalfColumns;
    if (m_curColumn != halfEnd) {
        const uint16_t before = m_curColumn;
        if (!MoveRight()) {
            return false;
        }
        if (m_curColumn > before && m_curColumn <= halfEnd) {
            return true;
        }
        // A key reaching the end of the half moved the cursor out of it: go on as from its end.
        m_curColumn = halfEnd;
    }
    if (m_curRow < m_rows) {
        m_curColumn = halfEnd - kHalfColumns + 1;
        ++m_curRow;
    } else {
        m_curColumn = (m_curColumn == kHalfColumns && m_columns > kHalfColumns) ? kHalfColumns + 1 : 1;
        m_curRow = 1;
    }
    return true;
}

bool LegacyKeyboard::MoveToPreviousKey()
{
    if (!IsValidPosition(m_curColumn, m_curRow)) {
        return false;
    }
    const uint16_t halfStart = m_curColumn > kHalfColumns ? kHalfColumns + 1 : 1;
    if (m_curColumn != halfStart) {
        const uint16_t before = m_curColumn;
        if (!MoveLeft()) {
            return false;
        }
        if (m_curColumn < before && m_curColumn >= halfStart) {
            return true;
        }
        m_curColumn = halfStart;
    }
    if (m_curRow > 1) {
        m_curColumn = m_curColumn + kHalfColumns - 1;
        --m_curRow;
    } else {
        m_curColumn = m_curColumn == kHalfColumns + 1 ? kHalfColumns : m_columns;
        m_curRow = m_rows;
    }
    return true;
}

std::string LegacyKeyboard::GetLayoutName(uint8_t layout) const
{
    if (m_layoutCount == 2 && layout == 1) {
        return LoadText(IDS_LAYOUT_LEFT_SIDE);
    }
    if (m_layoutCount == 2 && layout == 2) {
        return LoadText(IDS_LAYOUT_RIGHT_SIDE);
    }
    return LoadText(IDS_LAYOUT_KEYBOARD);
}

bool LegacyKeyboard::GetCellByIndex(uint16_t index, KeyCell** cell)
{
    if (index == 0 || index > kKeyCount || cell == nullptr) {
        return false;
    }
    *cell = m_cells[index - 1].get();
    return *cell != nullptr;
}

uint16_t LegacyKeyboard::GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const
{
    if (layout == 0) {
        layout = m_curLayout;
    }
    if (!IsValidPosition(column, row) || layout > m_layoutCount) {
        return 0;
    }
    const uint16_t c = column - 1;
    const uint16_t r = row - 1;
    if (layout == 1) {
        return static_cast<uint16_t>(c % kHalfColumns + kHalfColumns * (kHalfRows * (c / kHalfColumns) + r) +
                                     1);
    }
    if (layout == 2) {
        return static_cast<uint16_t>(c % kHalfColumns + kHalfColumns * r + kHalfKeyCount + 1);
    }
    return 0;
}

bool LegacyKeyboard::GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout)
{
    KeyCell* cell = nullptr;
    if (!GetCellByIndex(index, &cell)) {
        return false;
    }
    cell->GetPosition(column, row, layout);
    return true;
}

std::unique_ptr<KeyCell> LegacyKeyboard::MakeDetachedCell() const
{
    return std::make_unique<LegacyKeyCell>(0, 0, 0, 0, m_cellCapacity);
}

uint8_t LegacyKeyboard::GetAffixKeyCode(bool isPrefix) const
{
    return isPrefix ? m_prefixCode : m_suffixCode;
}

bool LegacyKeyboard::SetAffixKeyCode(bool isPrefix, uint8_t code)
{
    (isPrefix ? m_prefixCode : m_suffixCode) = code;
    return true;
}

bool LegacyKeyboard::GetAffixExtended(bool isPrefix) const
{
    return (isPrefix ? m_prefixExtended : m_suffixExtended) != 0;
}

bool LegacyKeyboard::SetAffixExtended(bool isPrefix, bool on)
{
    (isPrefix ? m_prefixExtended : m_suffixExtended) = on ? 1 : 0;
    return true;
}

std::string LegacyKeyboard::GetCodeEntryLabel(int index) const
{
    if (index == 0) {
        return LoadText(IDS_CODE_LABEL_KEY_CODE);
    }
    if (index == 1) {
        return LoadText(IDS_CODE_LABEL_BLANK);
    }
    return Keyboard::GetCodeEntryLabel(index);
}

std::string LegacyKeyboard::GetTypeName() const
{
    std::string name;
    GetKeyboardTypeName(GetTypeId(), &name);
    return name;
}

uint8_t LegacyKeyboard::GetTypeId() const
{
    switch (GetTypeCode()) {
    case kCodeV1Single:
        return kTypeZq1100V1Single;
    case kCodeV2Single:
        return kTypeZq1100V2Single;
    case kCodeV1Double:
        return kTypeZq1100V1Double;
    case kCodeV2Double:
        return kTypeZq1100V2Double;
    default:
        return kNoKeyboardType;
    }
}

std::string LegacyKeyboard::GetFileFilter(std::string* filter, std::string* defaultExtension) const
{
    std::string text =
        LoadText(IDS_FILTER_ZQ1100_16_SCANS) + "|*.txt|" + LoadText(IDS_FILTER_ZQ1100_7_3_SCANS) + "|*.txt|";
    if (IsDouble()) {
        text += LoadText(IDS_FILTER_ZQ1100_LEFT_SIDE) + "|*.txt|" + LoadText(IDS_FILTER_ZQ1100_RIGHT_SIDE) +
                "|*.txt|";
    }
    if (filter != nullptr) {
        *filter = text;
    }
    if (defaultExtension != nullptr) {
        *defaultExtension = "txt";
    }
    return text;
}

bool LegacyKeyboard::DetectDevice(std::string* /*name*/)
{
    return false;
}

bool LegacyKeyboard::SelectDevice(uint8_t /*number*/)
{
    return false;
}

int LegacyKeyboard::UploadFirmware(const std::string& /*path*/, ProgressSink* /*progress*/)
{
    return kResultNotSupported;
}

int LegacyKeyboard::DownloadSequences(ProgressSink* /*progress*/)
{
    return kResultNotSupported;
}

int LegacyKeyboard::GetFirmwareVersion(ProgressSink* /*progress*/, std::string* /*text*/)
{
    return kResultNotSupported;
}

uint8_t LegacyKeyboard::GetRfidFlags() const
{
    return static_cast<uint8_t>(m_rfidDigits * 16 + (m_rfidNumericOnly != 0 ? 4 : 0) +
                                (m_suffixExtended != 0 ? 2 : 0) + (m_prefixExtended != 0 ? 1 : 0));
}

bool LegacyKeyboard::SetRfidFlags(uint8_t flags)
{
    const bool digitsAccepted = SetRfidDigits(flags >> 4);
    SetRfidNumericOnly((flags & 0x04) != 0);
    m_prefixExtended = flags & 0x01;
    m_suffixExtended = (flags >> 1) & 0x01;
    return digitsAccepted && (flags & 0x08) == 0;
}

uint8_t LegacyKeyboard::GetTypeCode() const
{
    return GetTypeCode(0, true);
}

uint8_t LegacyKeyboard::GetTypeCode(uint8_t version, bool flag) const
{
    uint8_t base = IsDouble() ? kCodeV1Double : kCodeV1Single;
    if (version > 2) {
        base = kCodeV1Single;
    }
    if (version == 0) {
        return (flag && m_cellCapacity == kCapacityV2) ? base + 1 : base;
    }
    if (version == 1) {
        return flag ? base + 1 : base;
    }
    return base;
}

bool LegacyKeyboard::PositionOfIndex(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout) const
{
    if (index == 0 || index > kKeyCount) {
        return false;
    }
    const uint16_t inHalf = (index - 1) % kHalfKeyCount;
    *column = inHalf % kHalfColumns + 1;
    *row = inHalf / kHalfColumns + 1;
    *layout = 1;
    if (IsRightHalf(index)) {
        if (m_layoutCount > 1) {
            *layout = 2;
        } else {
            *column += kHalfColumns;
        }
    }
    return true;
}

std::unique_ptr<LegacyKeyCell> LegacyKeyboard::MakeCell(uint16_t index) const
{
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    PositionOfIndex(index, &column, &row, &layout);
    return std::make_unique<LegacyKeyCell>(index, column, row, layout, m_cellCapacity);
}

void LegacyKeyboard::PlaceCell(uint16_t index)
{
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    if (m_cells[index - 1] != nullptr && PositionOfIndex(index, &column, &row, &layout)) {
        m_cells[index - 1]->SetPosition(index, column, row, layout);
    }
}
