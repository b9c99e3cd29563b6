#include "model/LegacyKeyCell.h"

#include "app/Numbers.h"
#include "keycodes/KeyCodeText.h"
#include "keycodes/KeyTables.h"
#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

namespace {

constexpr uint8_t kLegacyMaxMode = 3;
constexpr uint8_t kLegacyInitialMode = 2;
constexpr uint32_t kExtendedPrefix = 0xE0;
constexpr uint32_t kPausePrefix = 0xE1;
constexpr uint32_t kBreakPrefix = 0xF0;

// Splits off the text up to the next ";" (all of it when there is none).
std::string TakeField(std::string& rest)
{
    std::string field;
    SplitAt(rest, field, ';');
    return field;
}

int FieldCountOfForm(int form)
{
    if (form == LegacyFormSixteen) {
        return 16;
    }
    if (form == LegacyFormSeven) {
        return 7;
    }
    return 0;
}

} // namespace

LegacyKeyCell::LegacyKeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout,
                             uint8_t capacity)
    : KeyCell(keyNumber, column, row, layout, capacity)
{
    m_maxMode = kLegacyMaxMode;
    m_maxSimpleKey = 1;
    m_maxKeyType = 0;
    m_mode = kLegacyInitialMode;
    m_simpleKey = 1;
    m_keyType = 0;
    SnapshotCodesText();
}

LegacyKeyCell::LegacyKeyCell(const LegacyKeyCell& source) : KeyCell(source)
{
    SnapshotCodesText();
}

std::unique_ptr<KeyCell> LegacyKeyCell::Clone() const
{
    return std::make_unique<LegacyKeyCell>(*this);
}

std::string LegacyKeyCell::GetModeName(uint8_t mode) const
{
    if (mode < 1 || mode > kLegacyMaxMode) {
        return std::string();
    }
    return LoadText(IDS_MODE_1 + mode - 1);
}

std::string LegacyKeyCell::GetKeyTypeName(uint8_t) const
{
    return std::string();
}

bool LegacyKeyCell::SetCapacity(uint8_t n)
{
    if (n == 0 || n > kKeyCellMaxCodes) {
        return false;
    }
    if (m_codeCount > n) {
        m_codeCount = n;
        ZeroCodesFrom(n);
    }
    m_capacity = n;
    return true;
}

uint8_t LegacyKeyCell::GetImageIndex() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetImageIndex();
    }
    switch (m_mode) {
    case 1:
        return 3;
    case 2:
        return 1;
    case 3:
        return 2;
    default:
        return 0;
    }
}

std::string LegacyKeyCell::GetCodeDisplayText(int index) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetCodeDisplayText(index);
    }
    return GetLegacyCaption(m_codes, m_codeCount, index);
}

bool LegacyKeyCell::CaptureKeyDown(const KeyMessage& message, int position)
{
    return CaptureRow(FindRowBySet1(message.GetSet1Code()), position);
}

bool LegacyKeyCell::CaptureRow(int row, int position)
{
    const int count = m_codeCount;
    int place = position > count + 1 ? count + 1 : position;
    if (place <= 0 || place > m_capacity) {
        return false;
    }
    if (place <= count) {
        int start = 0;
        int end = place;
        if (MatchSet2Window(start, end) != 0) {
            place = start;
        }
    }
    const LegacyKeyEntry* entry = GetLegacyRow(row);
    if (entry == nullptr) {
        return false;
    }
    const int length = GetSet2Length(row);
    const int end = place - 1 + length;
    if (length == 0 || end > m_capacity) {
        return false;
    }
    m_lastInsert = static_cast<uint8_t>(place - 1);
    for (int i = 0; i < length; ++i) {
        m_codes[place - 1 + i] = entry->set2[i];
    }
    ZeroCodesFrom(end);
    m_codeCount = static_cast<uint8_t>(end);
    return true;
}

bool LegacyKeyCell::CaptureKeyUp(const KeyMessage&, int)
{
    return false;
}

bool LegacyKeyCell::DeleteLastCodes(int n)
{
    bool result = true;
    for (int i = 0; i < n; ++i) {
        if (m_codeCount == 0) {
            return false;
        }
        if (!DeleteLastKey(0)) {
            result = false;
        }
    }
    return result;
}

size_t LegacyKeyCell::GetRecordLength() const
{
    return m_capacity == kKeyCellMaxCodes ? m_capacity + 2u : m_capacity + 1u;
}

bool LegacyKeyCell::SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SaveToBytes(record, length, flags);
    }
    if (record == nullptr || length != GetRecordLength()) {
        return false;
    }
    const bool sixteen = m_capacity == kKeyCellMaxCodes;
    size_t offset = 0;
    record[offset++] = GetFlagBits(sixteen ? LegacyFormSixteen : LegacyFormSeven);
    if (sixteen) {
        record[offset++] = static_cast<uint8_t>(m_userData & 0xFF);
    }
    for (int i = 0; i < m_capacity; ++i) {
        record[offset + i] = i < m_codeCount ? static_cast<uint8_t>(m_codes[i] & 0xFF) : 0;
    }
    if (flags != nullptr) {
        *flags = 0;
    }
    return true;
}

bool LegacyKeyCell::LoadFromBytes(const uint8_t* record, size_t length, uint8_t)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->LoadFromBytes(record, length, 0);
    }
    if (record == nullptr || length != GetRecordLength()) {
        return false;
    }
    if (m_capacity == 0) {
        return true;
    }
    const size_t offset = m_capacity == kKeyCellMaxCodes ? 2 : 1;
    int last = 0;
    for (int i = 0; i < m_capacity; ++i) {
        m_codes[i] = record[offset + i];
        if (m_codes[i] != 0) {
            last = i + 1;
        }
    }
    ZeroCodesFrom(m_capacity);
    // An all-zero record empties the key rather than keeping a count of zero codes.
    m_codeCount = static_cast<uint8_t>(last);
    return true;
}

bool LegacyKeyCell::ParseCodeList(const std::string& list, int form)
{
    bool result = true;
    int stored = 0;
    int fields = 0;
    int last = 0;
    bool storedZero = false;
    // An empty list is no codes: the free form of an empty key must read back.
    bool more = !TrimBlanks(list).empty();
    // By position: copying the rest after every field made a long list quadratic.
    for (size_t start = 0; more;) {
        const size_t comma = list.find(',', start);
        const std::string field =
            TrimBlanks(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        more = comma != std::string::npos;
        start = comma + 1;
        uint16_t value = 0;
        if (ParseU16(field, value, 255) != ParseOk) {
            result = false;
            continue;
        }
        ++fields;
        if (stored < m_capacity) {
            m_codes[stored++] = value;
            if (value != 0) {
                if (storedZero) {
                    result = false;
                }
                last = stored;
            } else {
                storedZero = true;
            }
        } else if (value != 0) {
            result = false;
        }
    }
    m_codeCount = static_cast<uint8_t>(last);
    const int required = FieldCountOfForm(form);
    if (required != 0 && fields != required) {
        result = false;
    }
    return result;
}

bool LegacyKeyCell::ParseCodesText(const std::string& text)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->ParseCodesText(text);
    }
    m_codeCount = 0;
    ZeroCodesFrom(0);
    if (text.empty()) {
        return false;
    }
    int form = 0;
    switch (text[0]) {
    case 'I':
    case 'i':
        form = LegacyFormFree;
        break;
    case 'N':
    case 'n':
        form = LegacyFormSixteen;
        break;
    case 'O':
    case 'o':
        form = LegacyFormSeven;
        break;
    default:
        return false;
    }
    std::string rest = text.substr(1);
    bool result = ParseCodeList(TakeField(rest), form);

    uint8_t bits = 0;
    if (ParseU8(TrimBlanks(TakeField(rest)), bits, 255) != ParseOk || !SetFlagBits(bits, form)) {
        result = false;
    }
    if (form == LegacyFormSixteen) {
        uint32_t userData = 0;
        if (ParseU32(TrimBlanks(TakeField(rest)), userData, 0xFFFFFFFF) == ParseOk) {
            m_userData = userData;
        } else {
            result = false;
        }
    }
    if (!rest.empty()) {
        m_name = rest;
    }
    return result;
}

std::string LegacyKeyCell::FormatCodesText(int form) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->FormatCodesText(form);
    }
    const int fixed = FieldCountOfForm(form);
    const int fields = fixed != 0 ? fixed : m_codeCount;
    std::string text = fixed != 0 ? std::string() : std::string("I");
    for (int i = 0; i < fields; ++i) {
        if (i > 0) {
            text += ", ";
        }
        text += FormatDecimal(i < m_codeCount ? static_cast<int32_t>(m_codes[i] & 0xFF) : 0);
    }
    text += "; ";
    text += FormatDecimal(GetFlagBits(form));
    if (form == LegacyFormSixteen) {
        // Unsigned, so that every word reads back.
        text += ";" + FormatUnsigned(m_userData);
    }
    if (fixed != 0) {
        text += ";" + m_name;
    }
    return text;
}

bool LegacyKeyCell::Clear(bool resetName, bool unlink)
{
    m_codeCount = 0;
    ZeroCodesFrom(0);
    m_lastInsert = kNoLastInsert;
    if (unlink) {
        m_master = nullptr;
    }
    if (resetName) {
        m_name = GetDefaultName();
        ParseCodesText(m_initialCodesText);
    }
    return true;
}

bool LegacyKeyCell::AcceptsCodes() const
{
    return true;
}

int LegacyKeyCell::FindRowBySet1(uint32_t code)
{
    return LegacyKeyTable::FindRowBySet1(code);
}

uint8_t LegacyKeyCell::GetSet2Length(int row)
{
    return LegacyKeyTable::GetSet2Length(row);
}

std::string LegacyKeyCell::GetRowName(int row)
{
    return LegacyKeyTable::GetRowName(row);
}

int LegacyKeyCell::MatchSet2Window(int& start, int& end) const
{
    return ::MatchSet2Window(m_codes, m_codeCount, start, end);
}

bool LegacyKeyCell::DeleteLastKey(int n)
{
    if (n > 0) {
        return DropLastCodes(n);
    }
    if (m_codeCount == 0) {
        return false;
    }
    int start = 0;
    int end = m_codeCount;
    if (MatchSet2Window(start, end) != 0) {
        // The whole recognised window, so that no prefix byte of the key stays behind.
        return DropLastCodes(end - start + 1);
    }
    // An unknown code goes together with the prefix bytes in front of it.
    return DropLastCodes(CountPrefixBytes(m_codeCount) + 1);
}

int LegacyKeyCell::CountPrefixBytes(int position) const
{
    const int before = position - 1 < m_codeCount ? position - 1 : m_codeCount;
    int count = 0;
    for (int i = before; i >= 1; --i) {
        const uint32_t code = m_codes[i - 1];
        if (code != kExtendedPrefix && code != kPausePrefix && code != kBreakPrefix) {
            break;
        }
        ++count;
    }
    return count;
}

bool LegacyKeyCell::SetFlagBits(uint8_t bits, int form)
{
    const bool seven = form == LegacyFormSeven;
    if (bits >= (seven ? 4 : 16)) {
        return false;
    }
    m_simpleKey = (bits & kLegacyFlagSimpleKey) != 0 ? 1 : 0;
    m_mode = seven ? kLegacyInitialMode : static_cast<uint8_t>((bits >> 2) & 3);
    return true;
}

uint8_t LegacyKeyCell::GetFlagBits(int form) const
{
    uint8_t bits = 0;
    if (IsMerged()) {
        bits |= kLegacyFlagMerged;
    }
    if (m_simpleKey == 1) {
        bits |= kLegacyFlagSimpleKey;
    }
    if (form != LegacyFormSeven) {
        bits |= static_cast<uint8_t>((m_mode & 3) << 2);
    }
    return bits;
}
