// Decimal and hexadecimal number texts used by captions, codes texts and files.
#pragma once

#include <cstdint>
#include <string>

std::string FormatDecimal(int32_t value);
std::string FormatUnsigned(uint32_t value);
// bytes 1, 2 or 3 give at least 2, 4 or 6 upper-case digits; any other value 8.
std::string FormatHex(uint32_t value, int bytes);
// The same text added to the end of another.
void AppendHex(std::string& text, uint32_t value, int bytes);
