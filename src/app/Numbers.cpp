#include "app/Numbers.h"

#include <limits>

namespace {

int DigitValue(char c, unsigned base)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

template <typename T> int Parse(const char* text, T& destination, T maximum)
{
    destination = 0;
    if (text == nullptr || *text == '\0') {
        return ParseEmpty;
    }
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
        if (*text == '\0') {
            return ParseEmpty;
        }
    }
    // Every T is non-negative here, so its limit fits an unsigned 64-bit value.
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<T>::max());
    uint64_t value = 0;
    for (; *text != '\0'; ++text) {
        const int digit = DigitValue(*text, base);
        if (digit < 0) {
            return ParseBadDigit;
        }
        if (value > (limit - static_cast<uint64_t>(digit)) / base) {
            return ParseTooLarge;
        }
        value = value * base + static_cast<uint64_t>(digit);
        destination = static_cast<T>(value);
        if (destination > maximum) {
            return ParseTooLarge;
        }
    }
    return ParseOk;
}

template <typename T> T To(const std::string& text, T maximum)
{
    T value = 0;
    return Parse(text.c_str(), value, maximum) == ParseOk ? value : T{0};
}

} // namespace

int ParseU8(const char* text, uint8_t& destination, uint8_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseU16(const char* text, uint16_t& destination, uint16_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseU32(const char* text, uint32_t& destination, uint32_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseU64(const char* text, uint64_t& destination, uint64_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseS8(const char* text, int8_t& destination, int8_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseS16(const char* text, int16_t& destination, int16_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseS32(const char* text, int32_t& destination, int32_t maximum)
{
    return Parse(text, destination, maximum);
}
int ParseS64(const char* text, int64_t& destination, int64_t maximum)
{
    return Parse(text, destination, maximum);
}

uint8_t ToU8(const std::string& text, uint8_t maximum)
{
    return To(text, maximum);
}
uint16_t ToU16(const std::string& text, uint16_t maximum)
{
    return To(text, maximum);
}
uint32_t ToU32(const std::string& text, uint32_t maximum)
{
    return To(text, maximum);
}
uint64_t ToU64(const std::string& text, uint64_t maximum)
{
    return To(text, maximum);
}
int8_t ToS8(const std::string& text, int8_t maximum)
{
    return To(text, maximum);
}
int16_t ToS16(const std::string& text, int16_t maximum)
{
    return To(text, maximum);
}
int32_t ToS32(const std::string& text, int32_t maximum)
{
    return To(text, maximum);
}
int64_t ToS64(const std::string& text, int64_t maximum)
{
    return To(text, maximum);
}

int HexDigitValue(char character)
{
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    const int lower = character | 0x20;
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}
