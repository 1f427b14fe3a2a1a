#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvorn {

// The leading-number parse used wherever a text is read as a number: blanks
// skipped, then an optional sign, digits, "." as the only decimal separator
// and an optional exponent; reading stops at the first character that does
// not fit. The locale plays no part. Empty when the text starts with no number.
std::optional<double> ParseLeadingNumber(std::string_view text);

// The same, with 0 for a text without a number.
inline double LeadingNumber(std::string_view text)
{
    return ParseLeadingNumber(text).value_or(0.0);
}

// Nearest whole number, halves to the even one (3.5 -> 4, 2.5 -> 2).
double RoundHalfEven(double value);

// Counters are written back as plain decimal integers.
std::string IntegerText(double value);

// A single-precision value as text: at most seven significant digits, fixed
// notation, no trailing zeros ("48345.67", "12.5", "7").
std::string SingleText(float value);

// The value of a hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);

// The longest leading run of hexadecimal digits as an unsigned value, 0 when
// there is none; saturates rather than wrapping for absurdly long runs.
std::int32_t LeadingHexValue(std::string_view text);

// True when the whole text is a non-empty run of decimal digits.
bool IsDigits(std::string_view text);

} // namespace telvorn
