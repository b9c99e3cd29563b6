#include "lang/TextHelpers.h"

#include <algorithm>
#include <cstdio>

std::string ReplaceFirst(const std::string& text, const std::string& pattern, const std::string& replacement)
{
    if (pattern.empty()) {
        return text;
    }
    const size_t position = text.find(pattern);
    if (position == std::string::npos) {
        return text;
    }
    std::string result = text;
    result.replace(position, pattern.size(), replacement);
    return result;
}

std::string ReplaceFirstNumber(const std::string& text, int32_t number, const std::string& pattern)
{
    return ReplaceFirst(text, pattern, std::to_string(number));
}

bool SplitAt(std::string& line, std::string& head, char separator)
{
    const size_t position = line.find(separator);
    if (position == std::string::npos) {
        head = line;
        line.clear();
        return true;
    }
    head = line.substr(0, position);
    line.erase(0, position + 1);
    return true;
}

std::string Trim(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

std::string TrimLeading(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimTrailing(const std::string& text, const char* characters)
{
    const size_t last = text.find_last_not_of(characters);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string TrimBlanks(const std::string& text)
{
    return Trim(text, kBlank);
}

char ToLowerAscii(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (ToLowerAscii(text[i]) != ToLowerAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool LessIgnoringCase(const std::string& text, const std::string& other)
{
    const auto folded = [](char character) { return static_cast<unsigned char>(ToLowerAscii(character)); };
    return std::lexicographical_compare(text.begin(), text.end(), other.begin(), other.end(),
                                        [&folded](char a, char b) { return folded(a) < folded(b); });
}

bool EqualsIgnoringCase(const std::string& text, const std::string& other)
{
    return text.size() == other.size() && StartsWithIgnoringCase(text, other);
}

namespace {

// Windows-1252 at 0x80 to 0x9F; the other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// The length of the valid UTF-8 sequence at i, 0 when there is none.
size_t Utf8SequenceLength(const std::string& bytes, size_t i)
{
    const auto lead = static_cast<uint8_t>(bytes[i]);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint32_t minimum = 0;
    uint32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, value = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, value = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, value = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = value << 6 | (next & 0x3Fu);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value >= minimum && value <= 0x10FFFF && !surrogate ? length : 0;
}

void AppendUtf8(std::string& text, char16_t character)
{
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | character >> 6);
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | character >> 12);
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

} // namespace

bool IsValidUtf8(const std::string& bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string CutText(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes) {
        return text;
    }
    size_t cut = maxBytes;
    // Half a character would turn the whole text into Windows-1252.
    if (IsValidUtf8(text)) {
        while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
    }
    return text.substr(0, cut);
}

std::string EscapeControlCharacters(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    char hex[8];
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<uint8_t>(text[i]);
        const size_t length = Utf8SequenceLength(text, i);
        const bool c1Control = length == 2 && byte == 0xC2 && static_cast<uint8_t>(text[i + 1]) < 0xA0;
        if (byte == '\t' || byte == '\n' || byte == '\r') {
            escaped += byte == '\t' ? "\\t" : byte == '\n' ? "\\n" : "\\r";
        } else if (byte < 0x20 || byte == 0x7F || length == 0) {
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            escaped += hex;
        } else if (c1Control) {
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<uint8_t>(text[i + 1]));
            escaped += hex;
        } else {
            escaped.append(text, i, length);
        }
        i += length == 0 ? 1 : length;
    }
    return escaped;
}

char16_t Cp1252ToUnicode(uint8_t byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t{byte};
}

std::string ProjectTextToUtf8(const std::string& bytes)
{
    if (IsValidUtf8(bytes)) {
        return bytes;
    }
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        AppendUtf8(text, Cp1252ToUnicode(static_cast<uint8_t>(c)));
    }
    return text;
}
