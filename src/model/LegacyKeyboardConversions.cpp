// Conversions of the ZQ-1100 project: version, sides and layouts, always in place.
#include "model/LegacyKeyboard.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "model/LegacyKeyCell.h"

#include <utility>

namespace {

// Title string of each conversion item by type code; 0 where the item is not offered.
uint32_t ConversionTitleId(uint8_t typeCode, uint8_t item)
{
    static constexpr uint32_t kV1Single[6] = {
        IDS_CONV_TO_V2_SINGLE, IDS_CONV_TO_V1_DOUBLE_LEFT, IDS_CONV_TO_V1_DOUBLE_RIGHT, 0, 0, 0};
    static constexpr uint32_t kV2Single[6] = {
        IDS_CONV_TO_V1_SINGLE, IDS_CONV_TO_V2_DOUBLE_LEFT, IDS_CONV_TO_V2_DOUBLE_RIGHT, 0, 0, 0};
    static constexpr uint32_t kV1Double[6] = {
        IDS_CONV_TO_V2_DOUBLE,      0, 0, IDS_CONV_EXCHANGE_SIDES, IDS_CONV_LEFT_TO_V1_SINGLE,
        IDS_CONV_RIGHT_TO_V1_SINGLE};
    static constexpr uint32_t kV2Double[6] = {
        IDS_CONV_TO_V1_DOUBLE,      0, 0, IDS_CONV_EXCHANGE_SIDES, IDS_CONV_LEFT_TO_V2_SINGLE,
        IDS_CONV_RIGHT_TO_V2_SINGLE};
    if (item < 1 || item > 6) {
        return 0;
    }
    switch (typeCode) {
    case LegacyKeyboard::kCodeV1Single:
        return kV1Single[item - 1];
    case LegacyKeyboard::kCodeV2Single:
        return kV2Single[item - 1];
    case LegacyKeyboard::kCodeV1Double:
        return kV1Double[item - 1];
    case LegacyKeyboard::kCodeV2Double:
        return kV2Double[item - 1];
    default:
        return 0;
    }
}

} // namespace

bool LegacyKeyboard::GetConversionTitle(uint8_t index, std::string* text) const
{
    const uint32_t id = ConversionTitleId(GetTypeCode(), index);
    if (id == 0) {
        return false;
    }
    if (text != nullptr) {
        *text = LoadText(id);
    }
    return true;
}

bool LegacyKeyboard::GetConversionWarning(uint8_t index, std::string* text) const
{
    const uint8_t code = GetTypeCode();
    uint8_t target = kNoKeyboardType;
    if (index == 1 && code == kCodeV2Single) {
        target = kTypeZq1100V1Single;
    } else if (index == 1 && code == kCodeV2Double) {
        target = kTypeZq1100V1Double;
    } else if ((index == 2 || index == 3) && code == kCodeV1Single) {
        // The v1 double holds 3 codes per key, so the keys lose their codes beyond the third.
        target = kTypeZq1100V1Double;
    } else if ((index == 5 || index == 6) && code == kCodeV1Double) {
        target = kTypeZq1100V1Single;
    } else if ((index == 5 || index == 6) && code == kCodeV2Double) {
        target = kTypeZq1100V2Single;
    }
    if (target == kNoKeyboardType) {
        return false;
    }
    if (text != nullptr) {
        std::string name;
        GetKeyboardTypeName(target, &name);
        *text = LoadTextWithArgument(IDS_CONVERSION_WARNING, name);
    }
    return true;
}

std::unique_ptr<Keyboard> LegacyKeyboard::Convert(uint8_t index, bool* changedInPlace)
{
    bool changed = true;
    const uint8_t code = GetTypeCode();
    switch (index) {
    case 1:
        ApplyCapacity((code == kCodeV2Single)   ? kCapacityV1Single
                      : (code == kCodeV2Double) ? kCapacityV1Double
                                                : kCapacityV2);
        break;
    case 2:
    case 3:
        if (IsDouble()) {
            changed = false;
            break;
        }
        MakeTwoLayouts(index == 3);
        // The device image of a v1 double has room for 3 codes per key only.
        if (m_cellCapacity == kCapacityV1Single) {
            ApplyCapacity(kCapacityV1Double);
        }
        break;
    case 4:
        if (!IsDouble()) {
            changed = false;
            break;
        }
        ExchangeHalves();
        break;
    case 5:
    case 6:
        if (!IsDouble()) {
            changed = false;
            break;
        }
        MakeSingleLayout(index == 6);
        // A v1 single's device records hold 7 codes; a 3-code cell would shift every record.
        if (m_cellCapacity == kCapacityV1Double) {
            ApplyCapacity(kCapacityV1Single);
        }
        break;
    default:
        changed = false;
        break;
    }
    if (changedInPlace != nullptr) {
        *changedInPlace = changed;
    }
    return nullptr;
}

void LegacyKeyboard::ApplyCapacity(uint8_t capacity)
{
    m_cellCapacity = capacity;
    for (auto& cell : m_cells) {
        if (cell != nullptr) {
            cell->SetCapacity(capacity);
        }
    }
}

// A key merged across the middle of a 16-column grid cannot survive a move or removal of one
// half: its cells in the other half would point at a moved or destroyed master.
void LegacyKeyboard::DetachLinksAcrossHalves()
{
    for (uint16_t index = 1; index <= kKeyCount; ++index) {
        LegacyKeyCell* cell = m_cells[index - 1].get();
        if (cell == nullptr) {
            continue;
        }
        const KeyCell* master = cell->GetMaster();
        if (master != cell && IsRightHalf(master->GetKeyNumber()) != IsRightHalf(index)) {
            cell->Clear(false, true);
        }
    }
    for (auto& candidate : m_cells) {
        if (candidate == nullptr || candidate->GetMaster() != candidate.get()) {
            continue;
        }
        bool hasMembers = false;
        for (const auto& other : m_cells) {
            hasMembers = hasMembers ||
                         (other != nullptr && other != candidate && other->GetMaster() == candidate.get());
        }
        if (!hasMembers) {
            candidate->SetMaster(nullptr);
        }
    }
}

void LegacyKeyboard::MakeTwoLayouts(bool keysOnRight)
{
    m_layoutCount = 2;
    for (uint16_t index = 1; index <= kHalfKeyCount; ++index) {
        if (keysOnRight) {
            m_cells[index - 1 + kHalfKeyCount] = std::move(m_cells[index - 1]);
            PlaceCell(index + kHalfKeyCount);
            m_cells[index - 1] = MakeCell(index);
        } else {
            m_cells[index - 1 + kHalfKeyCount] = MakeCell(index + kHalfKeyCount);
        }
    }
    if (keysOnRight && m_editIndex != 0) {
        m_editIndex += kHalfKeyCount;
    }
}

void LegacyKeyboard::ExchangeHalves()
{
    DetachLinksAcrossHalves();
    for (uint16_t index = 1; index <= kHalfKeyCount; ++index) {
        std::swap(m_cells[index - 1], m_cells[index - 1 + kHalfKeyCount]);
        PlaceCell(index);
        PlaceCell(index + kHalfKeyCount);
    }
    if (m_editIndex != 0) {
        m_editIndex = IsRightHalf(m_editIndex) ? m_editIndex - kHalfKeyCount : m_editIndex + kHalfKeyCount;
    }
}

void LegacyKeyboard::MakeSingleLayout(bool keepRight)
{
    DetachLinksAcrossHalves();
    for (uint16_t index = 1; index <= kHalfKeyCount; ++index) {
        if (keepRight) {
            m_cells[index - 1] = std::move(m_cells[index - 1 + kHalfKeyCount]);
        }
        m_cells[index - 1 + kHalfKeyCount].reset();
    }
    const bool editKept = m_editIndex != 0 && IsRightHalf(m_editIndex) == keepRight;
    m_editIndex = editKept ? (m_editIndex - 1) % kHalfKeyCount + 1 : 0;
    m_layoutCount = 1;
    m_curLayout = 1;
    if (m_columns > kHalfColumns) {
        m_columns = kHalfColumns;
        if (m_curColumn > kHalfColumns) {
            m_curColumn -= kHalfColumns;
        }
    }
    for (uint16_t index = 1; index <= kHalfKeyCount; ++index) {
        PlaceCell(index);
    }
}
