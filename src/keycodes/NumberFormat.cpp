#include "keycodes/NumberFormat.h"

std::string FormatDecimal(int32_t value)
{
    return std::to_string(value);
}

std::string FormatUnsigned(uint32_t value)
{
    return std::to_string(value);
}

// By hand: a project's every code passes through here each time its signature is taken, and
// snprintf costs over ten times as much.
std::string FormatHex(uint32_t value, int bytes)
{
    std::string text;
    AppendHex(text, value, bytes);
    return text;
}

void AppendHex(std::string& text, uint32_t value, int bytes)
{
    int digits = (bytes >= 1 && bytes <= 3) ? bytes * 2 : 8;
    while (digits < 8 && (value >> (4 * digits)) != 0) {
        ++digits;
    }
    const size_t start = text.size();
    text.append(2 + digits, '0');
    text[start + 1] = 'x';
    for (size_t at = start + 1 + digits; at >= start + 2; --at, value >>= 4) {
        text[at] = "0123456789ABCDEF"[value & 0xF];
    }
}
