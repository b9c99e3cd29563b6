#include "lang/Json.h"

#include "lang/TextHelpers.h"

#include <charconv>
#include <cstdio>
#include <utility>

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const char c : ProjectTextToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

JsonObject& JsonObject::Raw(const char* name, const std::string& json)
{
    m_fields += (m_fields.empty() ? "" : ", ") + JsonString(name) + ": " + json;
    return *this;
}

std::string JsonArray(const std::vector<std::string>& items)
{
    std::string json;
    for (const std::string& item : items) {
        json += (json.empty() ? "" : ", ") + item;
    }
    return "[" + json + "]";
}

const JsonValue* JsonValue::Find(const std::string& name) const
{
    if (kind != JsonKind::Object) {
        return nullptr;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return &items[i];
        }
    }
    return nullptr;
}

namespace {

class JsonParser
{
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    bool ParseDocument(JsonValue& value, std::string& error)
    {
        const bool parsed =
            ParseValue(value, 0) && (SkipBlanks(), m_pos == m_text.size() || Fail("text after the value"));
        if (!parsed) {
            error = "offset " + std::to_string(m_pos) + ": " + m_error;
        }
        return parsed;
    }

private:
    bool Fail(const char* why)
    {
        if (m_error.empty()) {
            m_error = why;
        }
        return false;
    }

    void SkipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool Take(char c)
    {
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool TakeWord(const char* word)
    {
        const std::string_view expected(word);
        if (m_text.compare(m_pos, expected.size(), expected) != 0) {
            return Fail("unknown word");
        }
        m_pos += expected.size();
        return true;
    }

    bool ParseValue(JsonValue& value, size_t depth)
    {
        SkipBlanks();
        if (m_pos >= m_text.size()) {
            return Fail("value expected");
        }
        switch (m_text[m_pos]) {
        case '{':
            return depth < kMaxJsonDepth ? ParseObject(value, depth + 1) : Fail("nested too deeply");
        case '[':
            return depth < kMaxJsonDepth ? ParseArray(value, depth + 1) : Fail("nested too deeply");
        case '"':
            value.kind = JsonKind::String;
            return ParseString(value.text);
        case 't':
            value.kind = JsonKind::Bool;
            value.boolean = true;
            return TakeWord("true");
        case 'f':
            value.kind = JsonKind::Bool;
            return TakeWord("false");
        case 'n':
            value.kind = JsonKind::Null;
            return TakeWord("null");
        default:
            return ParseNumber(value);
        }
    }

    bool ParseObject(JsonValue& value, size_t depth)
    {
        value.kind = JsonKind::Object;
        ++m_pos;
        if (Take('}')) {
            return true;
        }
        do {
            std::string name;
            SkipBlanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
                return Fail("member name expected");
            }
            if (!ParseString(name)) {
                return false;
            }
            if (!Take(':')) {
                return Fail("':' expected");
            }
            JsonValue member;
            if (!ParseValue(member, depth)) {
                return false;
            }
            value.names.push_back(std::move(name));
            value.items.push_back(std::move(member));
        } while (Take(','));
        return Take('}') || Fail("',' or '}' expected");
    }

    bool ParseArray(JsonValue& value, size_t depth)
    {
        value.kind = JsonKind::Array;
        ++m_pos;
        if (Take(']')) {
            return true;
        }
        do {
            JsonValue item;
            if (!ParseValue(item, depth)) {
                return false;
            }
            value.items.push_back(std::move(item));
        } while (Take(','));
        return Take(']') || Fail("',' or ']' expected");
    }

    bool ParseNumber(JsonValue& value)
    {
        // The grammar first: from_chars alone would take "inf", a leading '+' or "01".
        const size_t start = m_pos;
        auto digits = [this] {
            const size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            return m_pos - from;
        };
        auto skipIf = [this](const char* set) {
            if (m_pos < m_text.size() &&
                std::string_view(set).find(m_text[m_pos]) != std::string_view::npos) {
                ++m_pos;
            }
        };
        skipIf("-");
        const size_t intStart = m_pos;
        const size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && m_text[intStart] == '0')) {
            return Fail("value expected");
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (digits() == 0) {
                return Fail("digits expected after '.'");
            }
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            skipIf("+-");
            if (digits() == 0) {
                return Fail("digits expected in the exponent");
            }
        }
        value.kind = JsonKind::Number;
        const auto [end, status] =
            std::from_chars(m_text.data() + start, m_text.data() + m_pos, value.number);
        return status == std::errc() || Fail("number out of range");
    }

    bool ParseHex4(uint32_t& unit)
    {
        if (m_pos + 4 > m_text.size()) {
            return Fail("four hexadecimal digits expected");
        }
        const char* first = m_text.data() + m_pos;
        const auto [end, status] = std::from_chars(first, first + 4, unit, 16);
        if (status != std::errc() || end != first + 4) {
            return Fail("four hexadecimal digits expected");
        }
        m_pos += 4;
        return true;
    }

    // After "\u": one code point, a surrogate pair counting as one.
    bool ParseUnicodeEscape(std::string& text)
    {
        uint32_t unit = 0;
        if (!ParseHex4(unit)) {
            return false;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return Fail("lone low surrogate");
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low = 0;
            if (m_text.compare(m_pos, 2, "\\u") != 0) {
                return Fail("lone high surrogate");
            }
            m_pos += 2;
            if (!ParseHex4(low) || low < 0xDC00 || low > 0xDFFF) {
                return Fail("lone high surrogate");
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(text, unit);
        return true;
    }

    static void AppendUtf8(std::string& text, uint32_t point)
    {
        if (point < 0x80) {
            text += static_cast<char>(point);
        } else if (point < 0x800) {
            text += static_cast<char>(0xC0 | (point >> 6));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            text += static_cast<char>(0xE0 | (point >> 12));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (point >> 18));
            text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        }
    }

    bool ParseString(std::string& text)
    {
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("control character in a string");
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                break;
            }
            const char escaped = m_text[m_pos++];
            const std::string_view plain = "\"\\/bfnrt";
            const std::string_view meant = "\"\\/\b\f\n\r\t";
            if (escaped == 'u') {
                if (!ParseUnicodeEscape(text)) {
                    return false;
                }
            } else if (const size_t at = plain.find(escaped); at != std::string_view::npos) {
                text += meant[at];
            } else {
                return Fail("unknown escape");
            }
        }
        return Fail("unterminated string");
    }

    const std::string& m_text;
    size_t m_pos = 0;
    std::string m_error;
};

} // namespace

bool ParseJson(const std::string& text, JsonValue& value, std::string& error)
{
    value = JsonValue();
    return JsonParser(text).ParseDocument(value, error);
}
