// Parsing of unsigned decimal or "0x" hexadecimal text into fixed-width integers.
#pragma once

#include <cstdint>
#include <string>

enum ParseResult : int {
    ParseOk = 0,
    ParseTooLarge = 1, // above the caller's maximum or the destination type
    ParseBadDigit = 2, // the destination keeps the digits before it
    ParseEmpty = 3,    // empty, absent, or "0x" alone
};

// The destination is set to 0 before parsing; the maximum is inclusive.
// A null text counts as absent. Parsing stops at a terminating zero.
int ParseU8(const char* text, uint8_t& destination, uint8_t maximum);
int ParseU16(const char* text, uint16_t& destination, uint16_t maximum);
int ParseU32(const char* text, uint32_t& destination, uint32_t maximum);
int ParseU64(const char* text, uint64_t& destination, uint64_t maximum);
int ParseS8(const char* text, int8_t& destination, int8_t maximum);
int ParseS16(const char* text, int16_t& destination, int16_t maximum);
int ParseS32(const char* text, int32_t& destination, int32_t maximum);
int ParseS64(const char* text, int64_t& destination, int64_t maximum);

inline int ParseU8(const std::string& text, uint8_t& destination, uint8_t maximum)
{
    return ParseU8(text.c_str(), destination, maximum);
}
inline int ParseU16(const std::string& text, uint16_t& destination, uint16_t maximum)
{
    return ParseU16(text.c_str(), destination, maximum);
}
inline int ParseU32(const std::string& text, uint32_t& destination, uint32_t maximum)
{
    return ParseU32(text.c_str(), destination, maximum);
}
inline int ParseU64(const std::string& text, uint64_t& destination, uint64_t maximum)
{
    return ParseU64(text.c_str(), destination, maximum);
}
inline int ParseS8(const std::string& text, int8_t& destination, int8_t maximum)
{
    return ParseS8(text.c_str(), destination, maximum);
}
inline int ParseS16(const std::string& text, int16_t& destination, int16_t maximum)
{
    return ParseS16(text.c_str(), destination, maximum);
}
inline int ParseS32(const std::string& text, int32_t& destination, int32_t maximum)
{
    return ParseS32(text.c_str(), destination, maximum);
}
inline int ParseS64(const std::string& text, int64_t& destination, int64_t maximum)
{
    return ParseS64(text.c_str(), destination, maximum);
}

// Value-only layer: the value on success, 0 on any failure.
uint8_t ToU8(const std::string& text, uint8_t maximum);
uint16_t ToU16(const std::string& text, uint16_t maximum);
uint32_t ToU32(const std::string& text, uint32_t maximum);
uint64_t ToU64(const std::string& text, uint64_t maximum);
int8_t ToS8(const std::string& text, int8_t maximum);
int16_t ToS16(const std::string& text, int16_t maximum);
int32_t ToS32(const std::string& text, int32_t maximum);
int64_t ToS64(const std::string& text, int64_t maximum);

// The value of one hexadecimal digit of either case, or -1 for any other character.
int HexDigitValue(char character);
