#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvorn::board {

// The receiver position as the "P" and "p" commands carry it. A coordinate
// is stored as floor(degrees × 100000) in a 32-bit two's-complement integer,
// sent as eight upper-case hexadecimal digits.

// floor(degrees × 100000) of the double product; nothing when it does not fit 32 bits.
std::optional<std::int32_t> PositionUnits(double degrees);
std::string PositionHex(std::int32_t units);
// Eight hexadecimal digits of either case; nothing for anything else.
std::optional<std::int32_t> PositionFromHex(std::string_view digits);
// Decimal degrees for the "p" reply. The text names the middle of the
// stored 0.00001 degree cell, so whoever reads it back and takes
// floor(value × 100000) recovers the stored integer exactly, whatever the
// rounding of the parse.
std::string PositionText(std::int32_t units);

} // namespace telvorn::board
