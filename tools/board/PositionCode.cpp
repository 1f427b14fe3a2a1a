#include "PositionCode.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace telvorn::board {

std::optional<std::int32_t> PositionUnits(double degrees)
{
    const double units = std::floor(degrees * 100000.0);
    if (!(units >= double(std::numeric_limits<std::int32_t>::min()) &&
          units <= double(std::numeric_limits<std::int32_t>::max())))
        return std::nullopt;
    return std::int32_t(units);
}

std::string PositionHex(std::int32_t units)
{
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%08" PRIX32, static_cast<std::uint32_t>(units));
    return buffer.data();
}

std::optional<std::int32_t> PositionFromHex(std::string_view digits)
{
    if (digits.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | std::uint32_t(digit);
    }
    return static_cast<std::int32_t>(value);
}

std::string PositionText(std::int32_t units)
{
    // Millionths of a degree: the cell's lower edge plus half a cell.
    const std::int64_t millionths = std::int64_t(units) * 10 + 5;
    const std::int64_t magnitude = std::llabs(millionths);
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%s%" PRId64 ".%06" PRId64, millionths < 0 ? "-" : "",
                  magnitude / 1000000, magnitude % 1000000);
    return buffer.data();
}

} // namespace telvorn::board
