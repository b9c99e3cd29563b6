#include "keycodes/NumberFormat.h"

#include <cstdio>

std::string FormatDecimal(int32_t value)
{
    return std::to_string(value);
}

std::string FormatUnsigned(uint32_t value)
{
    return std::to_string(value);
}

std::string FormatHex(uint32_t value, int bytes)
{
    const int digits = (bytes >= 1 && bytes <= 3) ? bytes * 2 : 8;
    char text[16];
    std::snprintf(text, sizeof text, "0x%.*X", digits, static_cast<unsigned>(value));
    return text;
}
