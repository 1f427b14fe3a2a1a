#include "ArgParse.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace telvorn::app {

std::optional<double> ParseDecimal(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::string_view digits = text;
    bool negative = false;
    if (digits.front() == '+' || digits.front() == '-') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits.front())) || digits.front() == '.'))
        return std::nullopt;
    double value = 0.0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::pair<double, double>> ParseLatLon(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const std::optional<double> lat = ParseDecimal(text.substr(0, comma));
    const std::optional<double> lon = ParseDecimal(text.substr(comma + 1));
    if (!lat || !lon)
        return std::nullopt;
    return std::pair{*lat, *lon};
}

} // namespace telvorn::app
