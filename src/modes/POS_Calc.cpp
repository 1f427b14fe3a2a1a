#include "modes/POS_Calc.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace telvorn {

namespace {

// Airborne position reports carry 17-bit encoded latitude and longitude.
constexpr double kCprScale = 131072.0;

// The zone thresholds are computed with pi to five decimals. They lie up to
// 0.00008 degrees above the exact ones. That is deliberate and part of the
// decoder's contract: a latitude in that sliver gets one zone fewer than a
// full-precision decoder would give it.
constexpr double kPi = 3.14159;
constexpr double kTwoPi = 6.28318;

std::int16_t ToInt16(double value, const char* what)
{
    // The comparison fails for NaN as well, which must not reach the cast.
    if (!(value >= std::numeric_limits<std::int16_t>::min() &&
          value <= std::numeric_limits<std::int16_t>::max()))
        throw std::overflow_error(std::string("CPR ") + what + " is outside the 16-bit range");
    return static_cast<std::int16_t>(value);
}

// Five decimals with "." whatever the locale; to_chars never consults it.
// Exact halves (at five decimals only odd multiples of 1/64 are exact halves)
// round away from zero, the usual rule for displayed decimals; to_chars alone
// would round them to even.
std::string FiveDecimals(double value)
{
    const double sixtyFourths = value * 64.0;
    if (sixtyFourths == std::floor(sixtyFourths) && std::fmod(sixtyFourths, 2.0) != 0.0)
        value = std::nextafter(value, value < 0 ? -HUGE_VAL : HUGE_VAL);
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 5);
    std::string text(buffer, result.ptr);
    // A value that rounds to zero reads "0.00000", never "-0.00000".
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace

POS_Calc::POS_Calc()
{
    // The thresholds depend on nothing but the constants, so they are built
    // once here rather than at every change of reference.
    nlTable_[0] = 90.0;
    nlTable_[59] = 0.0;
    const double numerator = 1.0 - std::cos(kPi / 30.0);
    for (std::size_t i = 1; i <= 58; ++i) {
        const double zones = double(i + 1);
        nlTable_[i] = ArcCos(std::sqrt(numerator / (1.0 - std::cos(kTwoPi / zones)))) * (180.0 / kPi);
    }
    PrepareRef();
}

std::uint8_t POS_Calc::GetNL(const double& lat) const
{
    if (std::isnan(lat))
        throw std::domain_error("CPR zone count asked for a latitude that is not a number");
    const double v = std::fabs(lat);
    for (std::size_t i = 0; i < nlTable_.size(); ++i)
        if (nlTable_[i] <= v)
            return static_cast<std::uint8_t>(i);
    return 59; // unreachable: the last threshold is 0
}

void POS_Calc::LonLoc(double lon)
{
    lonRef_ = lon;
    PrepareRef();
}

void POS_Calc::LatLoc(double lat)
{
    const double previous = latRef_;
    latRef_ = lat;
    try {
        PrepareRef();
    } catch (...) {
        latRef_ = previous;
        throw;
    }
}

std::string POS_Calc::LON() const
{
    return FiveDecimals(lonDec_);
}

std::string POS_Calc::LAT() const
{
    return FiveDecimals(latDec_);
}

void POS_Calc::LocallyPos(const std::uint8_t& flag, const double& yz, const double& xz)
{
    if (flag > 1)
        throw std::out_of_range("CPR format flag " + std::to_string(flag) + " is neither 0 (even) nor 1 (odd)");
    const std::size_t f = flag;

    const double y = yz / kCprScale;
    const double x = xz / kCprScale;

    const double j = std::floor(refFrac_[f] - y) + refZone_[f];
    const double lat = (j + y) * dLat_[f];
    if (!std::isfinite(lat))
        throw std::overflow_error("encoded CPR latitude is out of range");
    latDec_ = lat;

    // An odd message has one zone fewer than the latitude's count; at a pole
    // (count 0) that leaves none, and the latitude itself is already wrong.
    const int n = int(GetNL(latDec_)) - int(flag);
    if (n < 0)
        throw std::overflow_error("odd CPR message decodes to latitude " + LAT() +
                                  ", where no longitude zone is left; is the reference position right?");
    dLon_ = n > 0 ? 360.0 / n : 360.0;

    const double m = std::floor(FloorMod(lonRef_, dLon_) / dLon_ + 0.5 - x) + std::floor(lonRef_ / dLon_);
    lonDec_ = (ToInt16(m, "longitude zone number") + x) * dLon_;
}

double POS_Calc::FloorMod(double x, double y)
{
    return x - std::floor(x / y) * y;
}

double POS_Calc::ArcCos(double x)
{
    return std::atan(-x / std::sqrt(1.0 - x * x)) + 2.0 * std::atan(1.0);
}

void POS_Calc::PrepareRef()
{
    std::array<std::int16_t, 3> zone{};
    std::array<double, 3> frac{};
    std::array<double, 3> size{};
    size[0] = 360.0 / 60.0;
    size[1] = 360.0 / 59.0;
    for (std::size_t f = 0; f < 2; ++f) {
        zone[f] = ToInt16(std::floor(latRef_ / size[f]), "reference latitude zone number");
        frac[f] = FloorMod(latRef_, size[f]) / size[f] + 0.5;
    }
    refZone_ = zone;
    refFrac_ = frac;
    dLat_ = size;
}

} // namespace telvorn
