#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace telvorn::app {

// A whole argument read as a decimal number ("12", "-3.5", "1e3"); anything
// left over, an empty text, infinities and NaNs are refused.
std::optional<double> ParseDecimal(std::string_view text);

// "LAT,LON" as two decimal numbers.
std::optional<std::pair<double, double>> ParseLatLon(std::string_view text);

} // namespace telvorn::app
