// The codes text of a USB key cell, as files and the editor write it: "M1,S+,K0x04,N=name".
#include "model/UsbKeyCell.h"

#include "app/Numbers.h"
#include "keycodes/KeyTables.h"
#include "keycodes/NumberFormat.h"

bool UsbKeyCell::ParseCodeToken(const std::string& token)
{
    int32_t id = 0;
    if (ParseS32(token.substr(1), id, 255) != ParseOk) {
        return false;
    }
    const uint32_t usage = kKeyboardPage | static_cast<uint32_t>(id);
    // A code would overwrite the switch code kept in the first entry.
    if (m_keyType == kUsbKeyTypeNextLayout || m_codeCount >= m_capacity || m_codeCount >= kKeyCellMaxCodes) {
        return false;
    }
    // Keys without a set-1 code (F13 to F24, Keypad =) cannot be captured but can be put in from
    // the code palette: a file holding them must read back.
    if (FindRowByUsage(usage) == 0) {
        return false;
    }
    if (m_codeCount == 0 && static_cast<uint32_t>(id) >= kFirstReleaseId) {
        return false;
    }
    if (m_keyType == kUsbKeyTypeModifier) {
        if (!IsModifierUsage(usage)) {
            return false;
        }
        for (int i = 0; i < m_codeCount; ++i) {
            if ((m_codes[i] & 7) == (usage & 7)) {
                return false;
            }
        }
    }
    m_codes[m_codeCount++] = usage;
    return true;
}

bool UsbKeyCell::ParseLayoutToken(const std::string& token)
{
    if (token.size() != 2 || token[1] < '0' || token[1] > '9') {
        return false;
    }
    const int digit = token[1] - '0';
    if (m_layoutLimit == 0 || m_layoutLimit < digit) {
        return false;
    }
    m_codes[0] = kLayoutSwitchCode + (digit == 0 ? kLayoutSwitchNext : static_cast<uint32_t>(digit - 1));
    m_keyType = kUsbKeyTypeNextLayout;
    m_codeCount = 0;
    return true;
}

bool UsbKeyCell::ParseTypeToken(const std::string& token)
{
    if (token.size() != 2) {
        return false;
    }
    if (token[1] == '1') {
        if (m_keyType != kUsbKeyTypeNormal) {
            m_keyType = kUsbKeyTypeNormal;
            m_codeCount = 0;
            ZeroCodesFrom(0);
        }
        return true;
    }
    if (token[1] == '2') {
        m_keyType = kUsbKeyTypeModifier;
        m_simpleKey = 0;
        KeepModifiersOnly();
        return true;
    }
    return false;
}

bool UsbKeyCell::ParseSimpleKeyToken(const std::string& token)
{
    if (token.size() != 2 || (token[1] != '+' && token[1] != '-')) {
        return false;
    }
    m_simpleKey = token[1] == '+' ? 1 : 0;
    return true;
}

bool UsbKeyCell::ParseCodesText(const std::string& text)
{
    if (KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->ParseCodesText(text);
    }
    m_codeCount = 0;
    if (text.empty()) {
        return false;
    }
    bool result = true;
    size_t position = 0;
    while (position < text.size()) {
        const size_t comma = text.find(',', position);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        const std::string token = text.substr(position, end - position);
        bool accepted = true;
        if (!token.empty()) {
            switch (token[0]) {
            case 'K':
            case 'k':
                accepted = ParseCodeToken(token);
                break;
            case 'L':
            case 'l':
                accepted = ParseLayoutToken(token);
                break;
            case 'M':
            case 'm':
                accepted = ParseTypeToken(token);
                break;
            case 'N':
            case 'n':
                if (token.size() >= 3 && token[1] == '=') {
                    m_name = text.substr(position + 2);
                    return result;
                }
                accepted = false;
                break;
            case 'S':
            case 's':
                accepted = ParseSimpleKeyToken(token);
                break;
            default:
                accepted = false;
                break;
            }
        }
        if (!accepted) {
            result = false;
        }
        if (comma == std::string::npos) {
            break;
        }
        position = comma + 1;
    }
    return result;
}

std::string UsbKeyCell::FormatCodesText(int form) const
{
    if (const KeyCell* master = GetForwardTarget()) {
        ForwardScope scope(*master);
        return master->FormatCodesText(form);
    }
    std::string text;
    if (m_keyType == kUsbKeyTypeNormal) {
        text = "M1";
    } else if (m_keyType == kUsbKeyTypeModifier) {
        text = "M2";
    } else if (m_keyType == kUsbKeyTypeNextLayout && IsLayoutSwitchCode(m_codes[0])) {
        const uint32_t n = m_codes[0] & 7;
        text = "L" + FormatDecimal(n == kLayoutSwitchNext ? 0 : static_cast<int32_t>(n + 1));
    } else {
        return std::string();
    }
    if (m_simpleKey == 0) {
        text += ",S-";
    } else if (m_simpleKey == 1) {
        text += ",S+";
    }
    // In place: every key's text is made each time the project's signature is taken.
    text.reserve(text.size() + 6 * static_cast<size_t>(m_codeCount) + 3 + m_name.size());
    if (m_keyType != kUsbKeyTypeNextLayout) {
        for (int i = 0; i < m_codeCount && i < kKeyCellMaxCodes; ++i) {
            if (IsKeyboardPage(m_codes[i])) {
                text += ",K";
                AppendHex(text, m_codes[i] & 0xFF, 1);
            }
        }
    }
    if (form != 0 && !m_name.empty()) {
        text += ",N=";
        text += m_name;
    }
    return text;
}
