#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace telvorn {

// The current UTC date and time as 17 digits without separators:
// yyyymmddhhmmssmmm, for example 20261205132735042. Consumers cut fields out
// of it by 1-based character position (hour 9-10, ..., milliseconds 15-17).
std::string GetUTCStamp(const Clock& clock);
// The same written into `out`, reusing its storage: the receive path stamps
// every line, and a 17-character text does not fit a string's inline buffer.
void WriteUTCStamp(const Clock& clock, std::string& out);
// A stamp read back as seconds since 1970-01-01 UTC, with its milliseconds;
// empty unless the text is 17 digits of a valid date and time.
std::optional<double> UTCStampSeconds(std::string_view stamp);

// The state of registry of a 24-bit ICAO address, from the address blocks
// of the ICAO allocation; empty when no block holds the address.
std::string_view GetCountry(std::int32_t address);

} // namespace telvorn
