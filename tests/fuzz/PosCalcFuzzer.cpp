// The CPR decoder with any reference and any fields, NaN and infinities
// included. Whatever it is given it either throws one of its documented
// errors or decodes; a decode of a real message (flag 0 or 1, fields within
// 17 bits) against a reference it accepted lies within half a zone of that
// reference in latitude and in longitude, and its texts read back as the
// decoded values with five decimals.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "modes/POS_Calc.h"

using namespace telvorn;

namespace {

constexpr double kFieldMax = 131071.0;

// Raw doubles a quarter of the time, so NaN, infinities and huge values come
// up; otherwise values a receiver or a board could really give.
double Coordinate(FuzzedDataProvider& in, double limit)
{
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0)
        return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    return in.ConsumeFloatingPointInRange<double>(-limit, limit);
}

double Field(FuzzedDataProvider& in)
{
    if (in.ConsumeIntegralInRange<int>(0, 7) == 0)
        return Coordinate(in, 1e6);
    return double(in.ConsumeIntegralInRange<std::uint32_t>(0, std::uint32_t(kFieldMax)));
}

void CheckText(const std::string& text, double value)
{
    const std::size_t dot = text.find('.');
    FUZZ_CHECK(dot != std::string::npos && text.size() - dot - 1 == 5, "text '" + text + "' has not five decimals");
    FUZZ_CHECK(text.find_first_not_of("-0.") != std::string::npos || text[0] != '-', "negative zero text " + text);
    const double back = std::strtod(text.c_str(), nullptr);
    FUZZ_CHECK(std::fabs(back - value) <= 0.5e-5 * (1.0 + 1e-9) + std::fabs(value) * 1e-15,
               "text '" + text + "' is not the value " + std::to_string(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    POS_Calc pos;
    double latRef = 48.72171;
    double lonRef = 2.37403;
    bool referenceSane = true;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0: {
            const double lat = Coordinate(in, 90.0);
            try {
                pos.LatLoc(lat);
                latRef = lat;
            } catch (const std::overflow_error&) {
            }
            break;
        }
        case 1:
            lonRef = Coordinate(in, 180.0);
            pos.LonLoc(lonRef);
            break;
        default: {
            const auto flag = in.ConsumeIntegralInRange<std::uint8_t>(0, 3);
            const double yz = Field(in);
            const double xz = Field(in);
            const double latBefore = pos.LatDec();
            try {
                pos.LocallyPos(flag, yz, xz);
            } catch (const std::out_of_range&) {
                FUZZ_CHECK(flag > 1, "range error for a flag of 0 or 1");
                FUZZ_CHECK(pos.LatDec() == latBefore || std::isnan(latBefore), "range error changed LatDec");
                break;
            } catch (const std::overflow_error&) {
                break;
            } catch (const std::domain_error&) {
                break;
            }
            FUZZ_CHECK(flag <= 1, "flag above 1 decoded");
            referenceSane = std::isfinite(latRef) && std::isfinite(lonRef) && std::fabs(lonRef) < 1e6;
            const bool realMessage = yz >= 0.0 && yz <= kFieldMax && xz >= 0.0 && xz <= kFieldMax;
            if (!referenceSane || !realMessage)
                break;
            const double dLat = flag == 0 ? 6.0 : 360.0 / 59.0;
            const double slack = 1e-9 * (1.0 + std::fabs(latRef) + std::fabs(lonRef));
            FUZZ_CHECK(std::fabs(pos.LatDec() - latRef) <= dLat / 2 + slack,
                       "latitude " + std::to_string(pos.LatDec()) + " more than half a zone from the reference");
            FUZZ_CHECK(std::fabs(pos.LonDec() - lonRef) <= pos.DLon() / 2 + slack,
                       "longitude " + std::to_string(pos.LonDec()) + " more than half a zone from the reference");
            CheckText(pos.LAT(), pos.LatDec());
            CheckText(pos.LON(), pos.LonDec());
            break;
        }
        }
    }
    return 0;
}
