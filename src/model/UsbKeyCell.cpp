#include "model/UsbKeyCell.h"

#include "keycodes/KeyCodeText.h"
#include "keycodes/KeyTables.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

namespace {

constexpr uint8_t kFirstSwitchByte = 0xF0;
constexpr uint8_t kLastSwitchByte = 0xF7;
// A switch code names layouts 1 to 7 or the next layout.
constexpr uint8_t kMaxLayoutLimit = 7;

} // namespace

bool IsKeyboardPage(uint32_t code)
{
    return (code & 0xFFFFFF00) == kKeyboardPage;
}

bool IsLayoutSwitchCode(uint32_t code)
{
    return (code & 0xFFFFFFF8) == kLayoutSwitchCode;
}

UsbKeyCell::UsbKeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout, uint8_t capacity)
    : KeyCell(keyNumber, column, row, layout, capacity)
{
    m_maxMode = 0;
    m_maxSimpleKey = 1;
    m_maxKeyType = kUsbKeyTypeNextLayout;
    m_mode = 1;
    m_simpleKey = 1;
    m_keyType = kUsbKeyTypeNormal;
    SnapshotCodesText();
}

UsbKeyCell::UsbKeyCell(const UsbKeyCell& source) : KeyCell(source)
{
    if (const auto* master = dynamic_cast<const UsbKeyCell*>(source.GetMaster())) {
        m_layoutLimit = master->m_layoutLimit;
    }
    SnapshotCodesText();
}

std::unique_ptr<KeyCell> UsbKeyCell::Clone() const
{
    return std::make_unique<UsbKeyCell>(*this);
}

uint8_t UsbKeyCell::GetMaxSimpleKey() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMaxSimpleKey();
    }
    return m_keyType == kUsbKeyTypeModifier ? 0 : m_maxSimpleKey;
}

uint8_t UsbKeyCell::GetMaxKeyType() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMaxKeyType();
    }
    return m_layoutLimit != 0 ? static_cast<uint8_t>(kUsbKeyTypeNextLayout + m_layoutLimit)
                              : kUsbKeyTypeModifier;
}

bool UsbKeyCell::IsLayoutSwitch() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->IsLayoutSwitch();
    }
    return m_keyType == m_maxKeyType;
}

std::string UsbKeyCell::GetModeName(uint8_t) const
{
    return std::string();
}

std::string UsbKeyCell::GetKeyTypeName(uint8_t type) const
{
    switch (type) {
    case 0:
        return std::string();
    case kUsbKeyTypeNormal:
        return LoadText(IDS_KEY_TYPE_KEY);
    case kUsbKeyTypeModifier:
        return LoadText(IDS_KEY_TYPE_MODIFIER);
    case kUsbKeyTypeNextLayout:
        return LoadText(IDS_KEY_TYPE_NEXT_LAYOUT);
    default:
        return ReplaceFirstNumber(LoadText(IDS_KEY_TYPE_LAYOUT_N), type - kUsbKeyTypeNextLayout, "%d");
    }
}

bool UsbKeyCell::SetCapacity(uint8_t n)
{
    if (n == m_capacity) {
        return true;
    }
    if (n == 0) {
        return false;
    }
    if (n > m_capacity) {
        if (n > kKeyCellMaxCodes) {
            m_capacity = kKeyCellMaxCodes;
            return false;
        }
        m_capacity = n;
        return true;
    }
    while (m_capacity > n) {
        --m_capacity;
        m_codes[m_capacity] = 0;
    }
    return true;
}

uint8_t UsbKeyCell::GetImageIndex() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetImageIndex();
    }
    const uint8_t type = GetKeyType();
    if (type == kUsbKeyTypeNormal) {
        return 1;
    }
    if (type == kUsbKeyTypeModifier) {
        return 3;
    }
    return type >= kUsbKeyTypeNextLayout ? 2 : 0;
}

bool UsbKeyCell::IsProgrammed() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->IsProgrammed();
    }
    return m_codeCount != 0 || IsLayoutSwitch();
}

uint8_t UsbKeyCell::GetKeyType() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetKeyType();
    }
    if (m_keyType == kUsbKeyTypeNextLayout && IsLayoutSwitchCode(m_codes[0])) {
        const uint32_t n = m_codes[0] & 7;
        return n == kLayoutSwitchNext ? kUsbKeyTypeNextLayout : static_cast<uint8_t>(4 + n);
    }
    return m_keyType;
}

std::string UsbKeyCell::GetCodeDisplayText(int index) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetCodeDisplayText(index);
    }
    if (index < 1 || index > m_codeCount || index > kKeyCellMaxCodes) {
        return std::string();
    }
    return GetUsbCaption(m_codes[index - 1]);
}

bool UsbKeyCell::CaptureKeyDown(const KeyMessage& message, int position)
{
    return CaptureRow(FindRowBySet1(message.GetSet1Code()), position);
}

bool UsbKeyCell::CaptureRow(int row, int position)
{
    const int count = m_codeCount;
    const int place = position > count + 1 ? count + 1 : position;
    if (place <= 0 || place > m_capacity) {
        return false;
    }
    const UsbKeyEntry* entry = GetUsbRow(row);
    if (entry == nullptr) {
        return false;
    }
    const uint32_t usage = entry->usage;
    m_lastInsert = kNoLastInsert;
    if (m_keyType == kUsbKeyTypeModifier) {
        if (!IsModifierUsage(usage)) {
            return false;
        }
        for (int i = 0; i < place - 1; ++i) {
            if (m_codes[i] == usage) {
                return false;
            }
        }
    } else if (m_keyType != kUsbKeyTypeNormal) {
        return false;
    }
    m_codes[place - 1] = usage;
    ZeroCodesFrom(place);
    m_codeCount = static_cast<uint8_t>(place);
    m_lastInsert = static_cast<uint8_t>(place - 1);
    return true;
}

bool UsbKeyCell::CaptureKeyUp(const KeyMessage& message, int position)
{
    return position > 1 && CaptureKeyDown(message, position);
}

bool UsbKeyCell::DeleteLastCodes(int n)
{
    return DropLastCodes(n);
}

void UsbKeyCell::KeepModifiersOnly()
{
    int kept = 0;
    uint8_t seen = 0;
    for (int i = 0; i < m_codeCount && i < kKeyCellMaxCodes; ++i) {
        const uint32_t code = m_codes[i];
        const uint8_t bit = static_cast<uint8_t>(1u << (code & 7));
        if (IsModifierUsage(code) && (seen & bit) == 0) {
            seen |= bit;
            m_codes[kept++] = code;
        }
    }
    ZeroCodesFrom(kept);
    m_codeCount = static_cast<uint8_t>(kept);
}

bool UsbKeyCell::SetKeyType(uint8_t type)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetKeyType(type);
    }
    if (type == 0) {
        return false;
    }
    if (type == kUsbKeyTypeNormal) {
        if (m_keyType != kUsbKeyTypeNormal) {
            m_keyType = kUsbKeyTypeNormal;
            Clear(false, false);
        }
        return true;
    }
    if (type == kUsbKeyTypeModifier) {
        m_keyType = kUsbKeyTypeModifier;
        m_simpleKey = 0;
        KeepModifiersOnly();
        return true;
    }
    if (type - kUsbKeyTypeNextLayout > m_layoutLimit) {
        return false;
    }
    Clear(false, true);
    m_keyType = kUsbKeyTypeNextLayout;
    m_codes[0] = kLayoutSwitchCode + ((type - 4u) & 7u);
    return true;
}

bool UsbKeyCell::IsEnterHeld()
{
    return KeyCell::IsEnterHeld() || m_keyType == kUsbKeyTypeNextLayout ||
           (m_keyType == kUsbKeyTypeModifier && m_codeCount == 8);
}

bool UsbKeyCell::SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SaveToBytes(record, length, flags);
    }
    if (length != m_capacity || (length > 0 && record == nullptr)) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        record[i] = 0;
    }
    uint8_t bits = 0;
    if (m_keyType == kUsbKeyTypeNextLayout) {
        bits = kUsbRecordLayoutSwitch;
        if (length > 0) {
            record[0] = static_cast<uint8_t>(m_codes[0] & 0xFF);
        }
    } else {
        if (m_keyType == kUsbKeyTypeModifier) {
            bits = kUsbRecordModifier;
        } else if (m_simpleKey == 1) {
            bits = kUsbRecordSimpleKey;
        }
        for (size_t i = 0; i < length && i < m_codeCount; ++i) {
            record[i] = static_cast<uint8_t>(m_codes[i] & 0xFF);
        }
    }
    if (flags != nullptr) {
        *flags = bits;
    }
    return true;
}

bool UsbKeyCell::LoadFromBytes(const uint8_t* record, size_t length, uint8_t flags)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->LoadFromBytes(record, length, flags);
    }
    if (length != m_capacity || (length > 0 && record == nullptr)) {
        return false;
    }
    Clear(false, true);
    // The record describes the key type completely: without flag 2 it is no modifier.
    m_keyType = kUsbKeyTypeNormal;
    bool result = true;
    if (flags & kUsbRecordLayoutSwitch) {
        if (length == 0 || record[0] < kFirstSwitchByte || record[0] > kLastSwitchByte) {
            result = false;
        } else {
            m_keyType = kUsbKeyTypeNextLayout;
            m_codes[0] = 0xFF000000 | record[0];
        }
    } else {
        int count = 0;
        for (size_t i = 0; i < length && record[i] != 0; ++i) {
            if (record[i] == 0xFF) {
                result = false;
                break;
            }
            m_codes[count++] = kKeyboardPage | record[i];
        }
        m_codeCount = static_cast<uint8_t>(count);
        if (flags & kUsbRecordModifier) {
            SetKeyType(kUsbKeyTypeModifier);
        }
    }
    m_simpleKey = (flags & kUsbRecordSimpleKey) ? 1 : 0;
    return result;
}

bool UsbKeyCell::Clear(bool resetName, bool unlink)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        master->Clear(resetName, unlink);
    }
    m_codeCount = 0;
    ZeroCodesFrom(0);
    m_layoutLimit = 0;
    m_lastInsert = kNoLastInsert;
    if (unlink) {
        if (m_keyType == kUsbKeyTypeNextLayout) {
            m_keyType = kUsbKeyTypeNormal;
        }
        m_master = nullptr;
    }
    if (resetName) {
        m_name = GetDefaultName();
        ParseCodesText(m_initialCodesText);
    }
    return true;
}

bool UsbKeyCell::AcceptsCodes() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->AcceptsCodes();
    }
    return !IsLayoutSwitch();
}

bool UsbKeyCell::SetLayoutLimit(uint8_t n)
{
    if (KeyCell* master = GetForwardTarget()) {
        if (auto* usbMaster = dynamic_cast<UsbKeyCell*>(master)) {
            ForwardScope scope(*master);
            return usbMaster->SetLayoutLimit(n);
        }
    }
    if (n > kMaxLayoutLimit) {
        return false;
    }
    m_layoutLimit = n;
    return true;
}

uint8_t UsbKeyCell::GetLayoutLimit() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        if (const auto* usbMaster = dynamic_cast<const UsbKeyCell*>(master)) {
            ForwardScope scope(*master);
            return usbMaster->GetLayoutLimit();
        }
    }
    return m_layoutLimit;
}

int UsbKeyCell::FindRowBySet1(uint32_t code)
{
    return UsbKeyTable::FindRowBySet1(code);
}

int UsbKeyCell::FindRowByUsage(uint32_t usage)
{
    return UsbKeyTable::FindRowByUsage(usage);
}

bool UsbKeyCell::IsModifierUsage(uint32_t usage)
{
    return UsbKeyTable::IsModifierUsage(usage);
}

bool UsbKeyCell::IsModifierSet1(uint32_t code)
{
    return UsbKeyTable::IsModifierSet1(code);
}

std::string UsbKeyCell::GetRowName(int row)
{
    return UsbKeyTable::GetRowName(row);
}
