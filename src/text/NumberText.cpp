#include "text/NumberText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace telvorn {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> ParseLeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    // An exponent counts only when digits follow it: "1e" reads as 1.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0.0;
    const char* first = text.data() + numberStart;
    const char* last = text.data() + i;
    // from_chars rejects a leading "+" and a bare leading "."; neither matters
    // here because the sign was taken off above and "." parses as "0." would.
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large reads as the largest double, too small as zero.
        bool large = false;
        for (const char* p = first; p < last && *p != 'e' && *p != 'E'; ++p) {
            if (*p >= '1' && *p <= '9') {
                large = true;
                break;
            }
        }
        std::string_view exponent(first, std::size_t(last - first));
        const auto e = exponent.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < exponent.size() && exponent[e + 1] == '-')
            large = false;
        value = large ? DBL_MAX : 0.0;
    } else if (ec != std::errc{} || ptr != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff < 0.5)
        return floorValue;
    if (diff > 0.5)
        return floorValue + 1.0;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

std::string IntegerText(double value)
{
    if (value >= -9.0e18 && value <= 9.0e18)
        return std::to_string(static_cast<long long>(value));
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
}

std::string SingleText(float value)
{
    const double v = double(value);
    char buffer[64];
    if (!(v >= 1.0 && v < 1.0e7)) {
        std::snprintf(buffer, sizeof buffer, "%.7g", v);
        std::string text(buffer);
        if (text.find_first_of("eE") != std::string::npos) {
            std::snprintf(buffer, sizeof buffer, "%.7f", v);
            text = buffer;
        }
        if (text.find('.') != std::string::npos) {
            while (!text.empty() && text.back() == '0')
                text.pop_back();
            if (!text.empty() && text.back() == '.')
                text.pop_back();
        }
        return text;
    }
    int intDigits = 1;
    for (double p = 10.0; v >= p; p *= 10.0)
        ++intDigits;
    int decimals = 7 - intDigits;
    double scale = 1.0;
    for (int k = 0; k < decimals; ++k)
        scale *= 10.0;
    long long scaled = std::llround(v * scale);
    if (decimals > 0 && scaled >= 10000000LL) {
        // Rounding carried into a new integer digit: one decimal fewer.
        --decimals;
        scale /= 10.0;
        scaled = std::llround(v * scale);
    }
    long long whole = scaled;
    long long fraction = 0;
    long long divisor = 1;
    for (int k = 0; k < decimals; ++k)
        divisor *= 10;
    whole = scaled / divisor;
    fraction = scaled % divisor;
    int length = std::snprintf(buffer, sizeof buffer, "%lld", whole);
    if (fraction != 0) {
        int width = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --width;
        }
        std::snprintf(buffer + length, sizeof buffer - std::size_t(length), ".%0*lld", width, fraction);
    }
    return buffer;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!IsDigit(c))
            return false;
    return true;
}

std::int32_t LeadingHexValue(std::string_view text)
{
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        if (value > 0x07FFFFFFu)
            return INT32_MAX;
        value = value * 16 + unsigned(digit);
        if (value > 0x7FFFFFFFu)
            return INT32_MAX;
    }
    return std::int32_t(value);
}

} // namespace telvorn
