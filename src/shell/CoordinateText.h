#pragma once

#include <string>
#include <string_view>

namespace telvorn {

inline constexpr int kLatitudeLimit = 90;
inline constexpr int kLongitudeLimit = 180;

// What a coordinate box of the configuration dialog holds once it is left:
// the text's leading number rounded to five decimals, halves to even, or 0
// when it lies beyond +-limit degrees (the limits themselves are kept).
// Written with "." whatever the locale, no trailing zeros, "-" or a blank
// in front and no 0 before the point: ' 48.72171', '-2.5', ' .5', ' 0'.
// Halves are those of the decimal text the number reads as: 0.000015 is
// a half and rounds up to ' .00002', whatever its binary value.
std::string CoordinateText(std::string_view text, int limit);

inline std::string LatitudeText(std::string_view text)
{
    return CoordinateText(text, kLatitudeLimit);
}

inline std::string LongitudeText(std::string_view text)
{
    return CoordinateText(text, kLongitudeLimit);
}

} // namespace telvorn
