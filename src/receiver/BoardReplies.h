#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telvorn {

// The firmware's answer to "?": valid when it holds "ADSB " (with the space);
// the version is the three characters after its first occurrence, fewer
// when the reply ends sooner ("2.10" reads "2.1").
std::optional<std::string> FirmwareVersionOf(std::string_view reply);

// A board in test mode follows a carriage return and line feed with "RYRY".
bool IsTestModeReply(std::string_view reply);

// The firmware versions this program works with.
bool IsSupportedFirmware(std::string_view version);

// The board's answer to "p": "|", latitude, ",", longitude and one final
// character. Empty when it does not start with "|" or has no comma.
struct StoredPosition {
    double latitude = 0.0;
    double longitude = 0.0;
};
std::optional<StoredPosition> ParsePositionReply(std::string_view reply);

// Two positions that "P" would store alike: floor(value x 100000) equal for
// both coordinates.
bool SamePositionCell(double latitudeA, double longitudeA, double latitudeB, double longitudeB);

// The eight upper-case hexadecimal digits that "P" takes for one coordinate:
// the floor of degrees x 100000 as a 32-bit two's-complement value. Empty
// when the product does not fit 32 bits (an edited setting can hold any
// number), so nothing wrong is ever stored on the board.
std::optional<std::string> PositionDigits(double degrees);

} // namespace telvorn
