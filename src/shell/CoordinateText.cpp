#include "shell/CoordinateText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr int kDecimals = 5;
constexpr std::int64_t kScale = 100000; // 10^kDecimals

// |value| * 10^5 rounded half to even, worked on the shortest decimal text
// that reads back as value, so that a half written in decimal is a half here
// even though 0.000015 is a little below it in binary. Only for magnitudes
// that fit: the caller has already turned anything far out of range to 0.
std::int64_t ScaledMagnitude(double magnitude)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const std::string_view text(buffer, std::size_t(result.ptr - buffer));
    // "d.ddde±xx": the significant digits, then the power of ten of the first.
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.')
            digits += c;
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    // Digits up to and including the fifth decimal are kept; the rest decide
    // the rounding.
    const int kept = exponent + 1 + kDecimals;
    std::int64_t scaled = 0;
    for (int i = 0; i < kept; ++i)
        scaled = scaled * 10 + (i < int(digits.size()) ? digits[std::size_t(i)] - '0' : 0);
    if (kept < 0 || kept >= int(digits.size()))
        return scaled; // nothing worth a half is dropped
    const std::string_view dropped = std::string_view(digits).substr(std::size_t(kept));
    const bool exactHalf = dropped[0] == '5' && dropped.find_first_not_of('0', 1) == std::string_view::npos;
    if (dropped[0] > '5' || (dropped[0] == '5' && (!exactHalf || scaled % 2 == 1)))
        ++scaled;
    return scaled;
}

} // namespace

std::string CoordinateText(std::string_view text, int limit)
{
    const double value = LeadingNumber(text);
    std::int64_t scaled = 0;
    // Beyond limit + 1 the number cannot round back into range; leaving it
    // out keeps the scaled value small.
    if (std::fabs(value) <= double(limit) + 1.0)
        scaled = ScaledMagnitude(std::fabs(value));
    if (scaled > std::int64_t(limit) * kScale)
        scaled = 0;

    std::string out(1, scaled != 0 && value < 0 ? '-' : ' ');
    const std::int64_t whole = scaled / kScale;
    const std::int64_t fraction = scaled % kScale;
    if (whole != 0 || fraction == 0)
        out += std::to_string(whole);
    if (fraction != 0) {
        std::string decimals = std::to_string(fraction + kScale).substr(1);
        decimals.erase(decimals.find_last_not_of('0') + 1);
        out += '.';
        out += decimals;
    }
    return out;
}

} // namespace telvorn
