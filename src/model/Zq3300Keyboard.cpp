#include "model/Zq3300Keyboard.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyboardTypes.h"

namespace {

constexpr uint8_t kFullCapacity = 16;
constexpr uint8_t kFourLayoutCapacity = 8;
constexpr uint16_t kHalfTable = Zq3300Keyboard::kCellCount / 2;

} // namespace

Zq3300Keyboard::Zq3300Keyboard(bool isDouble, uint8_t layoutsPerSide)
    : UsbKeyboardCommon(kColumns, kRows, kCellCount)
{
    uint8_t perSide = layoutsPerSide < m_maxLayoutsPerSide ? layoutsPerSide : m_maxLayoutsPerSide;
    if (perSide == 0) {
        perSide = 1;
    }
    m_double = isDouble ? 1 : 0;
    m_layoutCount = static_cast<uint8_t>(isDouble ? 2 * perSide : perSide);
    m_curLayout = 1;
    m_productId = kProductId;
    const uint8_t capacity = isDouble && perSide == 2 ? kFourLayoutCapacity : kFullCapacity;
    for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
        CreateLayoutCells(layout, capacity);
    }
}

std::string Zq3300Keyboard::GetLayoutName(uint8_t layout) const
{
    if (m_double != 0) {
        if (layout == 0 || layout > m_layoutCount || (m_layoutCount != 2 && m_layoutCount != 4)) {
            return std::string();
        }
        std::string name = LoadText(layout % 2 == 1 ? IDS_LAYOUT_RIGHT_SIDE : IDS_LAYOUT_LEFT_SIDE);
        if (m_layoutCount == 4) {
            name += layout <= 2 ? " (1)" : " (2)";
        }
        return name;
    }
    if (m_layoutCount == 1) {
        return LoadText(IDS_LAYOUT_KEYBOARD);
    }
    if (m_layoutCount == 2 && (layout == 1 || layout == 2)) {
        return LoadText(layout == 1 ? IDS_LAYOUT_FIRST : IDS_LAYOUT_SECOND);
    }
    return std::string();
}

uint8_t Zq3300Keyboard::GetTypeId() const
{
    switch (m_layoutCount) {
    case 1:
        return kTypeZq3300SingleOne;
    case 2:
        return m_double != 0 ? kTypeZq3300DoubleOne : kTypeZq3300SingleTwo;
    case 4:
        return m_double != 0 ? kTypeZq3300DoubleTwo : kNoKeyboardType;
    default:
        return kNoKeyboardType;
    }
}

std::string Zq3300Keyboard::GetFileFilter(std::string* filter, std::string* defaultExtension) const
{
    return MakeProjectFileFilter(IDS_FILTER_ZQ3300_LAYOUT, filter, defaultExtension);
}

uint16_t Zq3300Keyboard::GetCellCount(bool addressable) const
{
    return !addressable || IsDoubleWith(2) ? kCellCount : kHalfTable;
}

std::string Zq3300Keyboard::GetFileMagic() const
{
    return "ZQ-3300.v1";
}

std::string Zq3300Keyboard::GetDeviceName() const
{
    return "ZQ-3300";
}

int Zq3300Keyboard::BuildDeviceImage(uint8_t* buffer, size_t* size, uint8_t formatVersion)
{
    return BuildImage(buffer, size, formatVersion, GetVariantCode());
}

int Zq3300Keyboard::ParseDeviceImage(uint8_t* buffer, size_t length, uint8_t formatVersion)
{
    return ParseImage(buffer, length, formatVersion, [this](uint8_t variant) { SwitchVariantCode(variant); });
}

uint8_t Zq3300Keyboard::GetFirstLayoutOfSide(uint8_t layout) const
{
    if (m_double == 0) {
        return 1;
    }
    if (layout == 0) {
        layout = m_curLayout;
    }
    return layout % 2 == 1 ? 1 : 2;
}

uint8_t Zq3300Keyboard::GetLayoutsPerSide() const
{
    return m_double != 0 ? static_cast<uint8_t>(m_layoutCount / 2) : m_layoutCount;
}

uint8_t Zq3300Keyboard::GetLayoutStep() const
{
    return m_double != 0 ? 2 : 1;
}

// ---- Conversions ----

bool Zq3300Keyboard::GetConversionTitle(uint8_t index, std::string* text) const
{
    static constexpr uint32_t titles[] = {IDS_CONV_EXCHANGE_SIDES,       IDS_CONV_EXCHANGE_FIRST_SECOND,
                                          IDS_CONV_TO_ZQ3300_DOUBLE_ONE, IDS_CONV_TO_ZQ3300_DOUBLE_TWO,
                                          IDS_CONV_TO_ZQ3300_SINGLE_ONE, IDS_CONV_TO_ZQ3300_SINGLE_TWO};
    bool offered = false;
    switch (index) {
    case 1:
        offered = m_double != 0;
        break;
    case 2:
        offered = IsSingleWith(2) || IsDoubleWith(2);
        break;
    case 3:
        offered = !IsDoubleWith(1);
        break;
    case 4:
        offered = !IsDoubleWith(2);
        break;
    case 5:
        offered = m_layoutCount != 1;
        break;
    case 6:
        offered = !IsSingleWith(2);
        break;
    default:
        return false;
    }
    return AnswerConversionTitle(titles[index - 1], offered, text);
}

bool Zq3300Keyboard::GetConversionWarning(uint8_t index, std::string* text) const
{
    uint8_t target = 0;
    bool warns = false;
    switch (index) {
    case 3:
        target = kTypeZq3300DoubleOne;
        warns = IsSingleWith(2) || IsDoubleWith(2);
        break;
    case 4:
        target = kTypeZq3300DoubleTwo;
        warns = !IsDoubleWith(2);
        break;
    case 5:
        target = kTypeZq3300SingleOne;
        warns = m_layoutCount >= 2 || m_double != 0;
        break;
    case 6:
        target = kTypeZq3300SingleTwo;
        warns = m_layoutCount >= 3;
        break;
    default:
        return false;
    }
    if (warns && text != nullptr) {
        *text = FormatConversionWarning(target);
    }
    return warns;
}

std::unique_ptr<Keyboard> Zq3300Keyboard::Convert(uint8_t index, bool* changedInPlace)
{
    bool changed = false;
    if (GetConversionTitle(index, nullptr)) {
        changed = ApplyConversion(index);
        KeepCursorInLayouts();
    }
    if (changedInPlace != nullptr) {
        *changedInPlace = changed;
    }
    return nullptr;
}

bool Zq3300Keyboard::ApplyConversion(uint8_t index)
{
    switch (index) {
    case 1:
        return ExchangeSides();
    case 2:
        return ExchangeLayoutsOfEachSide();
    case 3:
        return MakeDoubleWithOneLayout();
    case 4:
        return MakeDoubleWithTwoLayouts();
    case 5:
        return MakeSingleWithOneLayout();
    case 6:
        return MakeSingleWithTwoLayouts();
    default:
        return false;
    }
}

bool Zq3300Keyboard::ExchangeSides()
{
    if (m_layoutCount <= 1) {
        return false;
    }
    const bool changed = ExchangeLayouts(1, 2);
    if (IsDoubleWith(2)) {
        ExchangeLayouts(3, 4);
    }
    return changed;
}

bool Zq3300Keyboard::ExchangeLayoutsOfEachSide()
{
    if (IsDoubleWith(2)) {
        ExchangeLayouts(1, 3);
        ExchangeLayouts(2, 4);
        return true;
    }
    return IsSingleWith(2) && ExchangeLayouts(1, 2);
}

bool Zq3300Keyboard::MakeDoubleWithOneLayout()
{
    if (IsSingleWith(1) || IsSingleWith(2)) {
        ClearLayoutSwitchKeysOfSide(1);
        if (m_layoutCount == 1) {
            AddLayout(2);
        }
        m_double = 1;
        return true;
    }
    if (IsDoubleWith(2)) {
        ClearLayoutSwitchKeysOfSide(1);
        ClearLayoutSwitchKeysOfSide(2);
        RemoveLastLayout(4);
        RemoveLastLayout(3);
        SetCellCapacity(kFullCapacity);
        return true;
    }
    return false;
}

bool Zq3300Keyboard::MakeDoubleWithTwoLayouts()
{
    // The second layout of a single keyboard becomes the left side: its switch keys would
    // otherwise link the two sides.
    if (IsSingleWith(2)) {
        ClearLayoutSwitchKeysOfSide(1);
    }
    m_double = 1;
    while (m_layoutCount < kMaxLayouts && AddLayout(static_cast<uint8_t>(m_layoutCount + 1))) {
    }
    SetCellCapacity(kFourLayoutCapacity);
    return true;
}

bool Zq3300Keyboard::MakeSingleWithOneLayout()
{
    const bool wasDouble = m_double != 0;
    while (m_layoutCount > 1 && RemoveLastLayout(m_layoutCount)) {
    }
    if (wasDouble) {
        SetCellCapacity(kFullCapacity);
    }
    m_double = 0;
    return true;
}

bool Zq3300Keyboard::MakeSingleWithTwoLayouts()
{
    if (IsSingleWith(1)) {
        return AddLayout(2);
    }
    if (m_double == 0) {
        return false;
    }
    if (m_layoutCount == 4) {
        ExchangeLayouts(2, 4);
        RemoveLastLayout(4);
        RemoveLastLayout(3);
        SetCellCapacity(kFullCapacity);
    }
    m_double = 0;
    return true;
}

bool Zq3300Keyboard::RunConversion(uint8_t index, bool* changed)
{
    bool done = false;
    Convert(static_cast<uint8_t>(index + 1), &done);
    if (changed != nullptr) {
        *changed = done;
    }
    return done;
}

bool Zq3300Keyboard::SwitchVariant(uint8_t layoutsPerSide, bool isDouble)
{
    uint8_t perSide = layoutsPerSide & m_variantMask;
    if (perSide != 1) {
        perSide = 2;
    }
    // Conversion items 3 to 6: double 1, double 2, single 1, single 2.
    const uint8_t item = static_cast<uint8_t>((isDouble ? 3 : 5) + (perSide - 1));
    RunConversion(static_cast<uint8_t>(item - 1), nullptr);
    return isDouble ? IsDoubleWith(perSide) : IsSingleWith(perSide);
}

bool Zq3300Keyboard::SwitchVariantCode(uint8_t code)
{
    return SwitchVariant(code & m_variantMask, (code & kVariantDouble) != 0);
}

uint8_t Zq3300Keyboard::GetVariantCode() const
{
    if (m_double != 0) {
        return static_cast<uint8_t>(((m_layoutCount / 2) & m_variantMask) | kVariantDouble);
    }
    return m_layoutCount & m_variantMask;
}

bool Zq3300Keyboard::ClearLayoutSwitchKeysOfSide(uint8_t layout)
{
    const uint8_t first = GetFirstLayoutOfSide(layout);
    const uint8_t step = GetLayoutStep();
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            UsbKeyCell* cell = nullptr;
            if (!GetCellAt(column, row, first, &cell) || !cell->IsLayoutSwitch()) {
                continue;
            }
            for (unsigned other = first; other <= m_layoutCount; other += step) {
                UsbKeyCell* otherCell = nullptr;
                if (GetCellAt(column, row, static_cast<uint8_t>(other), &otherCell)) {
                    otherCell->Clear(false, true);
                }
            }
        }
    }
    return true;
}

bool Zq3300Keyboard::SetCellCapacity(uint8_t capacity)
{
    bool ok = true;
    for (auto& cell : m_cells) {
        if (cell == nullptr) {
            continue;
        }
        if (!cell->SetCapacity(capacity)) {
            ok = false;
        }
        // The cell keeps its code count when it shrinks; codes past the capacity are gone.
        while (cell->GetCodeCount() > cell->GetCapacity() && cell->DeleteLastCodes(1)) {
        }
    }
    return ok;
}

bool Zq3300Keyboard::ExchangeLayouts(uint8_t first, uint8_t second)
{
    return ExchangeLayoutCells(first, second);
}

bool Zq3300Keyboard::RemoveLastLayout(uint8_t count)
{
    if (count < 2 || count != m_layoutCount) {
        return false;
    }
    DropLayoutsAbove(static_cast<uint8_t>(count - 1), m_double == 0);
    return true;
}

bool Zq3300Keyboard::AddLayout(uint8_t count)
{
    if (count != m_layoutCount + 1 || count > kMaxLayouts) {
        return false;
    }
    CreateLayoutCells(count, kFullCapacity);
    m_layoutCount = count;
    // The new cell joins a layout switch key of its own side only.
    const uint8_t first = GetFirstLayoutOfSide(count);
    if (first == count) {
        return true;
    }
    for (uint16_t row = 1; row <= m_rows; ++row) {
        for (uint16_t column = 1; column <= m_columns; ++column) {
            UsbKeyCell* switchKey = nullptr;
            UsbKeyCell* added = nullptr;
            if (GetCellAt(column, row, first, &switchKey) && switchKey->IsLayoutSwitch() &&
                GetCellAt(column, row, count, &added)) {
                added->SetMaster(switchKey->GetMaster());
            }
        }
    }
    return true;
}
