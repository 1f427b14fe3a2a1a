#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <locale>
#include <numbers>
#include <stdexcept>
#include <string>

#include "modes/POS_Calc.h"

namespace telvorn {
namespace {

POS_Calc Decode(double refLat, double refLon, int flag, double yz, double xz)
{
    POS_Calc pos;
    pos.LatLoc(refLat);
    pos.LonLoc(refLon);
    pos.LocallyPos(std::uint8_t(flag), yz, xz);
    return pos;
}

// Thresholds built with pi to five decimals differ from full-precision ones in the fifth
// to seventh decimal: these rows, and the counts at 87 and 10.47048, tell the two apart.
TEST(POS_Calc, ZoneThresholdsAndCounts)
{
    const POS_Calc pos;
    const struct { int index; double latitude; } thresholds[] = {
        {1, 87.0000760}, {2, 86.5354442}, {38, 49.4278062}, {39, 48.1604320}, {58, 10.4704802}};
    for (const auto& row : thresholds)
        EXPECT_NEAR(pos.NLThreshold(row.index), row.latitude, 5e-8) << "index " << row.index;
    const struct { double latitude; int zones; } counts[] = {
        {0, 59}, {10.47048, 59}, {10.4705, 58}, {-48.7, 39}, {87.0, 2}, {87.0001, 1}, {90, 0}, {-95, 0}};
    for (const auto& row : counts)
        EXPECT_EQ(pos.GetNL(row.latitude), row.zones) << "latitude " << row.latitude;
    EXPECT_THROW(pos.GetNL(std::nan("")), std::domain_error);
}

// Texts have five decimals, exact halves rounded away from zero, and "."
// whatever the C and C++ locales say.
TEST(POS_Calc, LocalDecodeTexts)
{
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const bool cGerman = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const struct { const char* name; double refLat, refLon; int flag; double yz, xz; const char* text; } rows[] = {
        // The even message of the published pair 8D40621D58C382D690C8AC2863A7 / ...C386435CC412692AD6
        // (bits 55-71 and 72-88), and its published local decode.
        {"published", 52.258, 3.918, 0, 93000, 51372, "52.25720 3.91937"},
        {"even", 48.72171, 2.37403, 0, 93000, 51372, "46.25720 3.44140"},
        {"odd", 48.72171, 2.37403, 1, 74158, 50194, "46.16409 3.44655"},
        {"even zero fields", 48.72171, 2.37403, 0, 0, 0, "48.00000 0.00000"},
        {"odd top fields", 48.72171, 2.37403, 1, 131071, 131071, "48.81351 -0.00007"},
        {"south, even", -33.9, 18.6, 0, 20000, 40000, "-35.08447 16.93599"},
        {"south, odd", -33.9, 18.6, 1, 20000, 40000, "-35.67912 17.65667"},
        {"half up", 0.0, 0.0, 0, 3072, 0, "0.14063 0.00000"},
        {"half down", -1.0, 0.0, 0, 128000, 0, "-0.14063 0.00000"},
    };
    for (const auto& row : rows) {
        const POS_Calc pos = Decode(row.refLat, row.refLon, row.flag, row.yz, row.xz);
        EXPECT_EQ(pos.LAT() + " " + pos.LON(), row.text) << row.name << "; C locale switched: " << cGerman;
    }
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

TEST(POS_Calc, FailuresKeepState)
{
    POS_Calc pos = Decode(48.72171, 2.37403, 0, 93000, 51372);
    for (int flag : {2, 255})
        EXPECT_THROW(pos.LocallyPos(std::uint8_t(flag), 0, 0), std::out_of_range) << flag;
    EXPECT_EQ(pos.LAT() + " " + pos.LON(), "46.25720 3.44140");
    // Zone numbers beyond 16 bits; a rejected reference latitude keeps the old one.
    EXPECT_THROW(pos.LatLoc(1e6), std::overflow_error);
    pos.LonLoc(1e6);
    EXPECT_THROW(pos.LocallyPos(0, 93000, 51372), std::overflow_error);
    pos.LonLoc(2.37403);
    pos.LocallyPos(1, 74158, 50194);
    EXPECT_EQ(pos.LAT() + " " + pos.LON(), "46.16409 3.44655");
    // Odd message past the last zone near a pole: latitude written, longitude and zone size kept.
    pos.LatLoc(89.9);
    EXPECT_THROW(pos.LocallyPos(1, 0, 0), std::overflow_error);
    EXPECT_GT(pos.LatDec(), 90.0);
    EXPECT_EQ(pos.LON(), "3.44655");
    EXPECT_DOUBLE_EQ(pos.DLon(), 9.0);
}

// Evidence that does not come from the decoder: positions encoded here with
// the closed-form zone count and full-precision pi.
constexpr double kScale = 131072.0;

double Mod(double a, double b) { return a - b * std::floor(a / b); }

// Not for the equator or the poles, which no row comes near.
int StandardNL(double lat)
{
    const double pi = std::numbers::pi;
    const double c = std::cos(pi / 180.0 * lat);
    return int(std::floor(2.0 * pi / std::acos(1.0 - (1.0 - std::cos(pi / 30.0)) / (c * c))));
}

// The decoded longitude is the one within half a zone of the reference, so
// near the antimeridian it may lie beyond +-180 instead of being wrapped.
TEST(CprEvidence, EncodedPositionsRoundTrip)
{
    const struct { const char* name; double lat, lon, refLat, refLon; } rows[] = {
        {"Cape Town", -34.2, 18.9, -33.9, 18.6},
        {"antimeridian, receiver east", 52.1, -179.95, 52.0, 179.9},
        {"antimeridian, receiver west", 52.1, 179.95, 52.0, -179.9},
        {"antimeridian, south", -41.3, 179.8, -41.2, -179.7},
        {"far north", 80.5, 100.0, 80.0, 101.0},
    };
    for (const auto& row : rows)
        for (int flag : {0, 1}) {
            SCOPED_TRACE(std::string(row.name) + (flag ? ", odd" : ", even"));
            const double dLat = 360.0 / (60 - flag);
            const double yz = std::floor(kScale * Mod(row.lat, dLat) / dLat + 0.5);
            const double dLon = 360.0 / (StandardNL(dLat * (yz / kScale + std::floor(row.lat / dLat))) - flag);
            const double xz = std::floor(kScale * Mod(row.lon, dLon) / dLon + 0.5);
            const POS_Calc pos = Decode(row.refLat, row.refLon, flag, Mod(yz, kScale), Mod(xz, kScale));
            EXPECT_NEAR(pos.LatDec(), row.lat, dLat / kScale);
            EXPECT_NEAR(pos.LonDec(), row.lon + 360.0 * std::round((row.refLon - row.lon) / 360.0), dLon / kScale);
        }
}

} // namespace
} // namespace telvorn
