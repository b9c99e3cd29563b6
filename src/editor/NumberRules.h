// The rules of a whole-number entry field without a widget: syntax and range, typed and pasted
// input, leading zeros while typing and the clean-up when the field gains or loses the focus.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A field's text and selection. The selection runs from anchor to caret, either way round;
// positions count characters.
struct NumberFieldState
{
    std::string text;
    int anchor = 0;
    int caret = 0;
};

// An edit either taken (the state to show) or refused (the state before it, to restore).
struct NumberFieldEdit
{
    bool accepted = false;
    NumberFieldState state;
};

class NumberRules
{
public:
    // Validate's answers.
    static constexpr int kValid = 0;
    static constexpr int kAboveMaximum = 1;
    static constexpr int kBelowMinimum = -1;
    static constexpr int kNotANumber = -3;
    // The locale's default count of decimals, asked for by decimals = -1.
    static constexpr int kLocaleDecimals = 2;

    // decimals: -1 the locale's count, below 1 none. maxDigits 0: as many as the wider bound has.
    // False, with nothing changed, when minimum > maximum, maxDigits < decimals or decimals > 10.
    bool SetIntegerRange(int64_t minimum, int64_t maximum, uint8_t maxDigits, int decimals, bool showZero);
    void SetRangeCheck(bool on) { m_rangeCheck = on; }
    void SetDecimalSeparator(char separator) { m_decimalSeparator = separator; }

    int64_t GetMinimum() const { return m_minimum; }
    int64_t GetMaximum() const { return m_maximum; }
    uint8_t GetMaxDigits() const { return m_maxDigits; }
    bool GetShowZero() const { return m_showZero; }
    bool IsNegativeAllowed() const { return m_negativeAllowed; }
    char GetDecimalSeparator() const { return m_decimalSeparator; }

    // Empty, or an optional leading "-" (when negatives are allowed) and at most maxDigits digits.
    bool CheckSyntax(std::string_view text) const;
    // Non-strict lets a number below a positive minimum through, so that it can still be typed.
    int Validate(std::string_view text, bool strict) const;
    // An optional "-" and the digits after it, up to the first other character; 0 for none.
    // Numbers beyond 64 bits give the nearest 64-bit value.
    static int64_t GetIntegerValue(std::string_view text);
    // The text SetIntegerValue writes: empty and false when the value is out of range or has more
    // digits than allowed.
    bool FormatIntegerValue(int64_t value, std::string& text) const;

    // Typed or pasted input replacing the selection. "." and "," become the decimal separator;
    // a taken edit has its leading zeros removed and the caret after the input.
    NumberFieldEdit InsertText(const NumberFieldState& before, std::string_view input) const;
    // Any other change of the text (deletion, cut, undo), judged as typed input is.
    NumberFieldEdit CheckEdit(const NumberFieldState& before, const NumberFieldState& after) const;
    // "007" becomes "7", "0" and "0<separator>5" stay; both selection ends follow the text.
    NumberFieldState RemoveLeadingZeros(NumberFieldState state) const;
    // Out of range or not a number gives the nearest bound; otherwise the number is rewritten
    // plainly, an empty field shows "0" with show zero on, and 0 shows empty with it off.
    std::string NormaliseOnFocusChange(std::string_view text) const;

private:
    char m_decimalSeparator = ',';
    bool m_showZero = false;
    bool m_negativeAllowed = false;
    bool m_rangeCheck = true;
    uint8_t m_maxDigits = 7;
    int64_t m_maximum = 100;
    int64_t m_minimum = 0;
};

// The separator a field uses from the locale's decimal and thousands separators: "." for a longer
// one (or one that is not plain ASCII), the default "," for none or one equal to the thousands
// separator.
char ChooseDecimalSeparator(std::string_view decimal, std::string_view thousands);
