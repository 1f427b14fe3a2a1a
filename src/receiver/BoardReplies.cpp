#include "receiver/BoardReplies.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr std::string_view kVersionTag = "ADSB ";
constexpr std::string_view kOldestFirmware = "2.8";

double Cell(double degrees)
{
    return std::floor(degrees * 100000.0);
}

} // namespace

std::optional<std::string> FirmwareVersionOf(std::string_view reply)
{
    const std::size_t at = reply.find(kVersionTag);
    if (at == std::string_view::npos)
        return std::nullopt;
    return std::string(reply.substr(at + kVersionTag.size(), 3));
}

bool IsTestModeReply(std::string_view reply)
{
    return reply.find("\r\nRYRY") != std::string_view::npos;
}

bool IsSupportedFirmware(std::string_view version)
{
    return LeadingNumber(version) >= LeadingNumber(kOldestFirmware);
}

std::optional<StoredPosition> ParsePositionReply(std::string_view reply)
{
    const std::size_t comma = reply.find(',');
    if (comma == std::string_view::npos || reply.empty() || reply.front() != '|')
        return std::nullopt;
    std::string_view longitude = reply.substr(comma + 1);
    if (!longitude.empty())
        longitude.remove_suffix(1);
    return StoredPosition{LeadingNumber(reply.substr(1, comma - 1)), LeadingNumber(longitude)};
}

bool SamePositionCell(double latitudeA, double longitudeA, double latitudeB, double longitudeB)
{
    return Cell(latitudeA) == Cell(latitudeB) && Cell(longitudeA) == Cell(longitudeB);
}

std::optional<std::string> PositionDigits(double degrees)
{
    const double cell = Cell(degrees);
    if (!(cell >= double(INT32_MIN) && cell <= double(INT32_MAX)))
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(cell));
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", unsigned(bits));
    return std::string(digits, 8);
}

} // namespace telvorn
