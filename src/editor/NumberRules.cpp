#include "editor/NumberRules.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kMostDecimals = 10;
constexpr char kDefaultSeparator = ',';

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

uint64_t Magnitude(int64_t value)
{
    // Through unsigned arithmetic, so that the smallest 64-bit value has one too.
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

uint8_t DigitCount(uint64_t value)
{
    uint8_t count = 1;
    for (; value >= 10; value /= 10) {
        ++count;
    }
    return count;
}

// The number at the start of the text; `overflow` is +1 or -1 when it does not fit 64 bits.
int64_t ReadInteger(std::string_view text, int& overflow)
{
    overflow = 0;
    const bool negative = !text.empty() && text[0] == '-';
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
    uint64_t magnitude = 0;
    for (size_t at = negative ? 1 : 0; at < text.size() && IsDigit(text[at]); ++at) {
        const unsigned digit = static_cast<unsigned>(text[at] - '0');
        if (magnitude > (limit - digit) / 10) {
            overflow = negative ? -1 : 1;
            return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

int ToPosition(size_t at)
{
    return static_cast<int>(std::min<size_t>(at, std::numeric_limits<int>::max()));
}

size_t Clamp(int position, size_t size)
{
    return std::min(static_cast<size_t>(std::max(position, 0)), size);
}

} // namespace

bool NumberRules::SetIntegerRange(int64_t minimum, int64_t maximum, uint8_t maxDigits, int decimals,
                                  bool showZero)
{
    if (decimals == -1) {
        decimals = kLocaleDecimals;
    }
    if (decimals < 1) {
        decimals = 0;
    }
    if (minimum > maximum || maxDigits < decimals || decimals > kMostDecimals) {
        return false;
    }
    m_minimum = minimum;
    m_maximum = maximum;
    m_showZero = showZero;
    m_negativeAllowed = minimum < 0;
    m_maxDigits = maxDigits != 0 ? maxDigits : DigitCount(std::max(Magnitude(minimum), Magnitude(maximum)));
    return true;
}

bool NumberRules::CheckSyntax(std::string_view text) const
{
    if (m_negativeAllowed && !text.empty() && text[0] == '-') {
        text.remove_prefix(1);
    }
    return text.size() <= m_maxDigits && std::all_of(text.begin(), text.end(), IsDigit);
}

int NumberRules::Validate(std::string_view text, bool strict) const
{
    if (!CheckSyntax(text)) {
        return kNotANumber;
    }
    if (!m_rangeCheck) {
        return kValid;
    }
    int overflow = 0;
    const int64_t value = ReadInteger(text, overflow);
    if (overflow > 0 || value > m_maximum) {
        return kAboveMaximum;
    }
    if (m_minimum < 0 || strict) {
        return overflow < 0 || value < m_minimum ? kBelowMinimum : kValid;
    }
    return value < 0 ? kBelowMinimum : kValid;
}

int64_t NumberRules::GetIntegerValue(std::string_view text)
{
    int overflow = 0;
    return ReadInteger(text, overflow);
}

bool NumberRules::FormatIntegerValue(int64_t value, std::string& text) const
{
    text.clear();
    if (value > m_maximum || value < m_minimum) {
        return false;
    }
    // The sign takes no digit, as when the number is typed: the minimum of -128..127 fits 3 digits.
    if (DigitCount(Magnitude(value)) > m_maxDigits) {
        return false;
    }
    text = std::to_string(value);
    return true;
}

NumberFieldEdit NumberRules::InsertText(const NumberFieldState& before, std::string_view input) const
{
    const size_t size = before.text.size();
    const size_t start = Clamp(std::min(before.anchor, before.caret), size);
    const size_t end = Clamp(std::max(before.anchor, before.caret), size);
    NumberFieldState after;
    after.text.reserve(size - (end - start) + input.size());
    after.text.append(before.text, 0, start).append(input).append(before.text, end);
    after.caret = ToPosition(start + input.size());
    after.anchor = after.caret;
    return CheckEdit(before, after);
}

NumberFieldEdit NumberRules::CheckEdit(const NumberFieldState& before, const NumberFieldState& after) const
{
    NumberFieldState edited = after;
    std::replace_if(
        edited.text.begin(), edited.text.end(), [](char c) { return c == '.' || c == ','; },
        m_decimalSeparator);
    if (Validate(edited.text, false) != kValid) {
        return {false, before};
    }
    return {true, RemoveLeadingZeros(std::move(edited))};
}

NumberFieldState NumberRules::RemoveLeadingZeros(NumberFieldState state) const
{
    size_t zeros = 0;
    while (state.text.size() - zeros > 1 && state.text[zeros] == '0' &&
           state.text[zeros + 1] != m_decimalSeparator) {
        ++zeros;
    }
    state.text.erase(0, zeros);
    const int shift = static_cast<int>(zeros);
    state.anchor = std::max(0, state.anchor - shift);
    state.caret = std::max(0, state.caret - shift);
    return state;
}

std::string NumberRules::NormaliseOnFocusChange(std::string_view text) const
{
    std::string result;
    const int check = Validate(text, true);
    if (check != kValid) {
        FormatIntegerValue(check < 0 ? m_minimum : m_maximum, result);
        return result;
    }
    result = text;
    if (result.empty() && m_showZero) {
        result = "0";
    }
    if (!result.empty()) {
        FormatIntegerValue(GetIntegerValue(result), result);
    }
    if (!m_showZero && GetIntegerValue(result) == 0) {
        result.clear();
    }
    return result;
}

char ChooseDecimalSeparator(std::string_view decimal, std::string_view thousands)
{
    if (decimal.empty()) {
        return kDefaultSeparator;
    }
    const bool plain = decimal.size() == 1 && static_cast<unsigned char>(decimal[0]) < 0x80;
    const char separator = plain ? decimal[0] : '.';
    if (thousands.size() == 1 && thousands[0] == separator) {
        return kDefaultSeparator;
    }
    return separator;
}
