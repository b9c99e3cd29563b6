#include "model/Zq2200Keyboard.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyboardTypes.h"

namespace {

constexpr uint8_t kCellCapacity = 16;
constexpr uint8_t kLayoutCountMask = 0x03;
// Conversion items 4 to 6 give item - 3 layouts.
constexpr uint8_t kFirstLayoutCountItem = 4;

} // namespace

Zq2200Keyboard::Zq2200Keyboard(uint8_t layoutCount) : UsbKeyboardCommon(kColumns, kRows, kCellCount)
{
    m_layoutCount = layoutCount < kMaxLayouts + 1 ? layoutCount : kMaxLayouts;
    if (m_layoutCount == 0) {
        m_layoutCount = 1;
    }
    m_curLayout = 1;
    m_productId = kProductId;
    for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
        CreateLayoutCells(layout, kCellCapacity);
    }
}

std::string Zq2200Keyboard::GetLayoutName(uint8_t layout) const
{
    switch (layout) {
    case 1:
        return LoadText(IDS_LAYOUT_FIRST);
    case 2:
        return LoadText(IDS_LAYOUT_SECOND);
    case 3:
        return LoadText(IDS_LAYOUT_THIRD);
    default:
        return std::string();
    }
}

uint8_t Zq2200Keyboard::GetTypeId() const
{
    switch (m_layoutCount) {
    case 1:
        return kTypeZq2200One;
    case 2:
        return kTypeZq2200Two;
    case 3:
        return kTypeZq2200Three;
    default:
        return kNoKeyboardType;
    }
}

std::string Zq2200Keyboard::GetFileFilter(std::string* filter, std::string* defaultExtension) const
{
    return MakeProjectFileFilter(IDS_FILTER_ZQ2200_LAYOUT, filter, defaultExtension);
}

uint16_t Zq2200Keyboard::GetCellCount(bool addressable) const
{
    (void)addressable;
    return kCellCount;
}

std::string Zq2200Keyboard::GetFileMagic() const
{
    return "ZQ-2200.v1";
}

std::string Zq2200Keyboard::GetDeviceName() const
{
    return "ZQ-2200";
}

int Zq2200Keyboard::BuildDeviceImage(uint8_t* buffer, size_t* size, uint8_t formatVersion)
{
    return BuildImage(buffer, size, formatVersion, m_layoutCount);
}

int Zq2200Keyboard::ParseDeviceImage(uint8_t* buffer, size_t length, uint8_t formatVersion)
{
    return ParseImage(buffer, length, formatVersion, [this](uint8_t variant) {
        uint8_t count = variant & kLayoutCountMask;
        if (count == 0) {
            count = kMaxLayouts;
        }
        bool changed = false;
        Convert(static_cast<uint8_t>(count + kFirstLayoutCountItem - 1), &changed);
    });
}

bool Zq2200Keyboard::GetConversionTitle(uint8_t index, std::string* text) const
{
    static constexpr uint32_t titles[] = {IDS_CONV_EXCHANGE_FIRST_SECOND, IDS_CONV_EXCHANGE_FIRST_THIRD,
                                          IDS_CONV_EXCHANGE_SECOND_THIRD, IDS_CONV_TO_ZQ2200_ONE,
                                          IDS_CONV_TO_ZQ2200_TWO,         IDS_CONV_TO_ZQ2200_THREE};
    bool offered = false;
    switch (index) {
    case 1:
        offered = m_layoutCount >= 2;
        break;
    case 2:
    case 3:
        offered = m_layoutCount == 3;
        break;
    case 4:
    case 5:
    case 6:
        offered = m_layoutCount != index - 3;
        break;
    default:
        return false;
    }
    return AnswerConversionTitle(titles[index - 1], offered, text);
}

bool Zq2200Keyboard::GetConversionWarning(uint8_t index, std::string* text) const
{
    uint8_t target = 0;
    if (index == 4 && m_layoutCount > 1) {
        target = kTypeZq2200One;
    } else if (index == 5 && m_layoutCount == 3) {
        target = kTypeZq2200Two;
    } else {
        return false;
    }
    if (text != nullptr) {
        *text = FormatConversionWarning(target);
    }
    return true;
}

std::unique_ptr<Keyboard> Zq2200Keyboard::Convert(uint8_t index, bool* changedInPlace)
{
    bool ignored = false;
    bool& changed = changedInPlace != nullptr ? *changedInPlace : ignored;
    changed = false;
    if (!GetConversionTitle(index, nullptr)) {
        return nullptr;
    }
    if (index <= 3) {
        static constexpr uint8_t pairs[3][2] = {{1, 2}, {1, 3}, {2, 3}};
        changed = ExchangeLayoutCells(pairs[index - 1][0], pairs[index - 1][1]);
        return nullptr;
    }
    const uint8_t before = m_layoutCount;
    const uint8_t target = static_cast<uint8_t>(index - 3);
    if (target < m_layoutCount) {
        DropLayoutsAbove(target, true);
    } else {
        AddLayouts(target);
    }
    changed = m_layoutCount != before;
    return nullptr;
}

void Zq2200Keyboard::AddLayouts(uint8_t target)
{
    while (m_layoutCount < target) {
        const uint8_t layout = static_cast<uint8_t>(m_layoutCount + 1);
        CreateLayoutCells(layout, kCellCapacity);
        m_layoutCount = layout;
        for (uint16_t row = 1; row <= m_rows; ++row) {
            for (uint16_t column = 1; column <= m_columns; ++column) {
                UsbKeyCell* first = nullptr;
                UsbKeyCell* added = nullptr;
                if (!GetCellAt(column, row, 1, &first) || !first->IsLayoutSwitch() ||
                    !GetCellAt(column, row, layout, &added)) {
                    continue;
                }
                // A switch key of a single layout has nothing to switch to; from two on it spans
                // every layout.
                if (layout == 2) {
                    first->Clear(false, true);
                } else {
                    added->SetMaster(first->GetMaster());
                }
            }
        }
    }
}
