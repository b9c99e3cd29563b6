#include "model/AffixKeyCell.h"

#include "app/Numbers.h"
#include "keycodes/KeyCodeText.h"
#include "keycodes/KeyTables.h"
#include "keycodes/NumberFormat.h"

namespace {

constexpr uint32_t kReleaseFlag = 0x8000;
// The text form admits the release id 0xF0 as key, the record form stops below it.
constexpr uint32_t kLargestTextKeyId = 0xF0;
constexpr uint32_t kLargestRecordKeyId = 0xEF;

} // namespace

AffixKeyCell::AffixKeyCell() : UsbKeyCell(1, 0, 0, 0, kKeyCellMaxCodes)
{
    m_codeCount = 2;
    SnapshotCodesText();
}

AffixKeyCell::AffixKeyCell(const AffixKeyCell& source) : UsbKeyCell(source)
{
    m_codeCount = 2;
    m_codes[0] = source.m_codes[0];
    m_codes[1] = source.m_codes[1];
    SnapshotCodesText();
}

std::unique_ptr<KeyCell> AffixKeyCell::Clone() const
{
    return std::make_unique<AffixKeyCell>(*this);
}

bool AffixKeyCell::IsLayoutSwitch() const
{
    return false;
}

std::string AffixKeyCell::GetCodeDisplayText(int index) const
{
    if ((index != 1 && index != 2) || m_codes[index - 1] == 0) {
        return std::string();
    }
    return GetUsbCaption(m_codes[index - 1]);
}

bool AffixKeyCell::CaptureKeyDown(const KeyMessage& message, int)
{
    const UsbKeyEntry* entry = GetUsbRow(FindRowBySet1(message.GetSet1Code()));
    if (entry == nullptr) {
        return false;
    }
    m_keyHeld = true;
    m_lastInsert = kNoLastInsert;
    m_codes[IsModifierUsage(entry->usage) ? 0 : 1] = entry->usage;
    return true;
}

bool AffixKeyCell::CaptureKeyUp(const KeyMessage& message, int)
{
    const UsbKeyEntry* entry = GetUsbRow(FindRowBySet1(message.GetSet1Code() & ~kReleaseFlag));
    if (entry != nullptr && !IsModifierUsage(entry->usage)) {
        m_captureDone = m_keyHeld;
    }
    m_keyHeld = false;
    return false;
}

bool AffixKeyCell::IsEnterHeld()
{
    if (!m_captureDone) {
        return false;
    }
    m_captureDone = false;
    m_keyHeld = false;
    return true;
}

bool AffixKeyCell::DeleteLastCodes(int)
{
    return false;
}

bool AffixKeyCell::SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const
{
    if (record == nullptr || length != 2) {
        return false;
    }
    record[0] = static_cast<uint8_t>(m_codes[0] & 0xFF);
    record[1] = static_cast<uint8_t>(m_codes[1] & 0xFF);
    if (flags != nullptr) {
        *flags = 0;
    }
    return true;
}

bool AffixKeyCell::LoadFromBytes(const uint8_t* record, size_t length, uint8_t)
{
    if (record == nullptr || length != 2) {
        return false;
    }
    return StorePair(record[0], record[1], kLargestRecordKeyId);
}

bool AffixKeyCell::ParseCodesText(const std::string& text)
{
    uint32_t value = 0;
    if (ParseU32(text, value, 0xFFFF) != ParseOk) {
        m_codes[0] = 0;
        m_codes[1] = 0;
        return false;
    }
    return StorePair(value >> 8, value & 0xFF, kLargestTextKeyId);
}

std::string AffixKeyCell::FormatCodesText(int) const
{
    return FormatHex(((m_codes[0] & 0xFF) << 8) | (m_codes[1] & 0xFF), 2);
}

bool AffixKeyCell::Clear(bool, bool)
{
    m_codes[0] = 0;
    m_codes[1] = 0;
    m_keyHeld = false;
    m_captureDone = false;
    return true;
}

bool AffixKeyCell::StorePair(uint32_t modifierId, uint32_t keyId, uint32_t largestKeyId)
{
    const uint32_t modifier = modifierId != 0 ? kKeyboardPage | modifierId : 0;
    const uint32_t key = keyId != 0 ? kKeyboardPage | keyId : 0;
    const bool modifierOk = modifier == 0 || IsModifierUsage(modifier);
    const bool keyOk =
        key == 0 || (FindRowByUsage(key) != 0 && !IsModifierUsage(key) && keyId <= largestKeyId);
    if (!modifierOk || !keyOk) {
        m_codes[0] = 0;
        m_codes[1] = 0;
        return false;
    }
    m_codes[0] = modifier;
    m_codes[1] = key;
    return true;
}
