#include "model/KeyCell.h"

#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"

namespace {

constexpr uint8_t kMaxRepeatCount = 100;

void CountRepeat(uint8_t& counter)
{
    if (counter < kMaxRepeatCount) {
        ++counter;
    }
}

int Distance(int a, int b)
{
    return a > b ? a - b : b - a;
}

} // namespace

KeyCell::KeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout, uint8_t capacity)
    : m_capacity(capacity > kKeyCellMaxCodes ? kKeyCellMaxCodes : capacity), m_keyNumber(keyNumber),
      m_column(column), m_row(row), m_layout(layout)
{
    m_name = GetDefaultName();
}

KeyCell::KeyCell(const KeyCell& source)
{
    const KeyCell& master = *source.GetMaster();
    m_capacity = master.m_capacity;
    m_maxMode = master.m_maxMode;
    m_maxSimpleKey = master.m_maxSimpleKey;
    m_maxKeyType = master.m_maxKeyType;
    m_keyNumber = master.m_keyNumber;
    m_column = master.m_column;
    m_row = master.m_row;
    m_layout = master.m_layout;
    m_codeCount = master.m_codeCount;
    m_mode = master.m_mode;
    m_simpleKey = master.m_simpleKey;
    m_keyType = master.m_keyType;
    m_name = master.m_name;
    m_master = master.m_master;
    m_userData = master.m_userData;
    // A layout switch keeps its code in the first entry with a code count of 0.
    const int used = m_codeCount > 0 ? m_codeCount : 1;
    for (int i = 0; i < used && i < kKeyCellMaxCodes; ++i) {
        m_codes[i] = master.m_codes[i];
    }
}

KeyCell* KeyCell::GetForwardTarget() const
{
    if (m_master == nullptr || m_master == this || m_answering) {
        return nullptr;
    }
    return m_master;
}

void KeyCell::ZeroCodesFrom(int index)
{
    for (int i = index < 0 ? 0 : index; i < kKeyCellMaxCodes; ++i) {
        m_codes[i] = 0;
    }
}

bool KeyCell::DropLastCodes(int n)
{
    for (int i = 0; i < n; ++i) {
        if (m_codeCount == 0) {
            return false;
        }
        --m_codeCount;
        m_codes[m_codeCount] = 0;
    }
    return true;
}

uint8_t KeyCell::GetCapacity() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetCapacity();
    }
    return m_capacity;
}

uint8_t KeyCell::GetMaxMode() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMaxMode();
    }
    return m_maxMode;
}

uint8_t KeyCell::GetMaxSimpleKey() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMaxSimpleKey();
    }
    return m_maxSimpleKey;
}

uint8_t KeyCell::GetMaxKeyType() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMaxKeyType();
    }
    return m_maxKeyType;
}

bool KeyCell::IsLayoutSwitch() const
{
    return false;
}

bool KeyCell::SetUserData(uint32_t value)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetUserData(value);
    }
    m_userData = value;
    return true;
}

uint32_t KeyCell::GetUserData() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetUserData();
    }
    return m_userData;
}

uint16_t KeyCell::GetPosition(uint16_t* column, uint16_t* row, uint8_t* layout) const
{
    if (column != nullptr) {
        *column = m_column;
    }
    if (row != nullptr) {
        *row = m_row;
    }
    if (layout != nullptr) {
        *layout = m_layout;
    }
    return m_keyNumber;
}

bool KeyCell::SetPosition(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout)
{
    m_keyNumber = keyNumber;
    m_column = column;
    m_row = row;
    m_layout = layout;
    return true;
}

bool KeyCell::SnapshotCodesText()
{
    m_initialCodesText = FormatCodesText(0);
    return !m_initialCodesText.empty();
}

std::string KeyCell::GetDefaultName() const
{
    return LoadText(IDS_KEY_DEFAULT_NAME) + FormatDecimal(m_keyNumber);
}

bool KeyCell::IsModified() const
{
    return m_name != GetDefaultName() || FormatCodesText(0) != m_initialCodesText;
}

bool KeyCell::IsProgrammed() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->IsProgrammed();
    }
    return m_codeCount != 0;
}

uint8_t KeyCell::GetCodeCount() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetCodeCount();
    }
    return m_codeCount;
}

uint8_t KeyCell::GetMode() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetMode();
    }
    return m_mode;
}

uint8_t KeyCell::GetSimpleKey() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetSimpleKey();
    }
    return m_simpleKey;
}

uint8_t KeyCell::GetKeyType() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetKeyType();
    }
    return m_keyType;
}

std::string KeyCell::GetName() const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetName();
    }
    return m_name;
}

uint32_t KeyCell::GetCode(int index) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->GetCode(index);
    }
    if (index < 1 || index > m_codeCount || index > kKeyCellMaxCodes) {
        return 0;
    }
    return m_codes[index - 1];
}

bool KeyCell::SetMaster(KeyCell* cell)
{
    if (cell == nullptr || cell == this) {
        m_master = cell;
        return true;
    }
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    cell->GetPosition(&column, &row, &layout);
    bool allowed = false;
    if (layout == m_layout) {
        allowed = Distance(column, m_column) <= 1 && Distance(row, m_row) <= 1;
    } else {
        allowed = column == m_column && row == m_row;
    }
    if (allowed) {
        m_master = cell;
    }
    return allowed;
}

bool KeyCell::IsSameKeyAs(const KeyCell* cell) const
{
    return cell != nullptr && cell->GetMaster() == GetMaster();
}

bool KeyCell::CaptureRepeat(const KeyMessage& message)
{
    switch (message.wParam) {
    case VirtualKeyBackspace:
        CountRepeat(m_backspaceRepeats);
        if (IsBackspaceHeld() && m_codeCount > 0) {
            UndoLastInsert();
            DeleteLastCodes(1);
            return true;
        }
        return false;
    case VirtualKeyEnter:
        CountRepeat(m_enterRepeats);
        if (IsEnterHeld() && m_codeCount > 0) {
            UndoLastInsert();
            return true;
        }
        return false;
    case VirtualKeyEscape:
        CountRepeat(m_escRepeats);
        if (IsEscHeld() && m_codeCount > 0) {
            UndoLastInsert();
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool KeyCell::ResetRepeatCounters()
{
    m_enterRepeats = 0;
    m_escRepeats = 0;
    m_backspaceRepeats = 0;
    return false;
}

bool KeyCell::SetName(const std::string& text)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetName(text);
    }
    m_name = text;
    return true;
}

bool KeyCell::SetMode(uint8_t value)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetMode(value);
    }
    if (value > GetMaxMode()) {
        return false;
    }
    m_mode = value;
    return true;
}

bool KeyCell::SetSimpleKey(uint8_t value)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetSimpleKey(value);
    }
    if (value > GetMaxSimpleKey()) {
        return false;
    }
    m_simpleKey = value;
    return true;
}

bool KeyCell::SetKeyType(uint8_t type)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->SetKeyType(type);
    }
    if (type > GetMaxKeyType()) {
        return false;
    }
    m_keyType = type;
    return true;
}

bool KeyCell::HandleKeyMessage(const KeyMessage& message, int position, bool* handled)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->HandleKeyMessage(message, position, handled);
    }
    bool result = false;
    bool isKeyMessage = true;
    if (message.IsKeyDown()) {
        if (message.IsAutoRepeat()) {
            result = CaptureRepeat(message);
        } else {
            ResetRepeatCounters();
            m_lastInsert = kNoLastInsert;
            result = CaptureKeyDown(message, position);
        }
    } else if (message.IsKeyUp()) {
        ResetRepeatCounters();
        result = CaptureKeyUp(message, position);
    } else {
        isKeyMessage = false;
    }
    if (handled != nullptr) {
        *handled = result;
    }
    return isKeyMessage;
}

bool KeyCell::IsEnterHeld()
{
    return m_enterRepeats == kHeldRepeats;
}

bool KeyCell::UndoLastInsert()
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->UndoLastInsert();
    }
    if (m_lastInsert >= m_capacity || m_lastInsert >= m_codeCount) {
        return false;
    }
    m_codeCount = m_lastInsert;
    m_codes[m_lastInsert] = 0;
    m_lastInsert = kNoLastInsert;
    return true;
}
