#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/QuotedValue.h"

namespace telvorn::app {

// Strict parsing of command-line values: the whole text must be the value,
// so a typo is reported instead of being read as a prefix or as zero (the
// forgiving leading-number parse is for receiver data, not for the user).

// A finite decimal number: optional sign, digits with an optional "." part,
// optional exponent. No blanks, no hexadecimal, no "inf" or "nan"; "." is
// the only decimal separator whatever the locale.
std::optional<double> ParseDecimal(std::string_view text);

// "LAT,LON" in decimal degrees, latitude within -90..90 and longitude within
// -180..180, as given for a receiver position.
std::optional<std::pair<double, double>> ParseLatLon(std::string_view text);

// A value as a one-line message shows it, between quotes; bytes that would
// break the line or the terminal (line feeds, escapes) as \xHH.
using telvorn::QuotedValue;

} // namespace telvorn::app
