#include "ArgParse.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace telvorn::app {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the run of digits at the start of text.
std::size_t DigitRun(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    return n;
}

// The grammar is checked here because from_chars on its own would also take
// "inf", "nan" and hexadecimal floats, and refuses a leading "+".
bool IsDecimalSyntax(std::string_view text)
{
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    const std::size_t whole = DigitRun(text);
    text.remove_prefix(whole);
    std::size_t fraction = 0;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        fraction = DigitRun(text);
        text.remove_prefix(fraction);
    }
    if (whole + fraction == 0)
        return false;
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            text.remove_prefix(1);
        const std::size_t exponent = DigitRun(text);
        if (exponent == 0)
            return false;
        text.remove_prefix(exponent);
    }
    return text.empty();
}

} // namespace

std::optional<double> ParseDecimal(std::string_view text)
{
    if (!IsDecimalSyntax(text))
        return std::nullopt;
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Out of range covers both overflow and underflow; a value too small to
    // represent is no more what the user meant than one too large.
    if (ec != std::errc{} || ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::pair<double, double>> ParseLatLon(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto lat = ParseDecimal(text.substr(0, comma));
    const auto lon = ParseDecimal(text.substr(comma + 1));
    if (!lat || !lon || *lat < -90.0 || *lat > 90.0 || *lon < -180.0 || *lon > 180.0)
        return std::nullopt;
    return std::pair{*lat, *lon};
}


} // namespace telvorn::app
