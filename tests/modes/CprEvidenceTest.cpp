// Local CPR decoding checked against evidence that does not come from the
// decoder: frames published with their decoded position, and positions
// encoded here with the standard airborne CPR encoding (full-precision pi,
// closed-form zone count) or decoded here as an even/odd pair.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "modes/FrameBits.h"
#include "modes/POS_Calc.h"

namespace telvorn {
namespace {

constexpr double kScale = 131072.0;

double Mod(double a, double b)
{
    return a - b * std::floor(a / b);
}

int StandardNL(double lat)
{
    const double v = std::fabs(lat);
    if (v == 0.0)
        return 59;
    if (v >= 87.0)
        return v == 87.0 ? 2 : 1;
    const double pi = std::numbers::pi;
    const double c = std::cos(pi / 180.0 * v);
    return int(std::floor(2.0 * pi / std::acos(1.0 - (1.0 - std::cos(pi / 30.0)) / (c * c))));
}

struct Encoded {
    std::uint8_t flag;
    double yz, xz, dLon;
};

Encoded Encode(double lat, double lon, std::uint8_t flag)
{
    const double dLat = 360.0 / (60 - flag);
    const double yz = std::floor(kScale * Mod(lat, dLat) / dLat + 0.5);
    const double rLat = dLat * (yz / kScale + std::floor(lat / dLat));
    const int zones = StandardNL(rLat) - flag;
    const double dLon = zones > 0 ? 360.0 / zones : 360.0;
    const double xz = std::floor(kScale * Mod(lon, dLon) / dLon + 0.5);
    return {flag, Mod(yz, kScale), Mod(xz, kScale), dLon};
}

struct Position {
    double lat, lon;
};

// Unambiguous decode of an even/odd pair, positioned by the newer message.
Position GlobalDecode(const Encoded& even, const Encoded& odd, bool oddNewer)
{
    const double j = std::floor((59 * even.yz - 60 * odd.yz) / kScale + 0.5);
    double lat = oddNewer ? 360.0 / 59 * (Mod(j, 59) + odd.yz / kScale) : 6.0 * (Mod(j, 60) + even.yz / kScale);
    if (lat >= 270.0)
        lat -= 360.0;
    const int nl = StandardNL(lat);
    const int zones = std::max(nl - (oddNewer ? 1 : 0), 1);
    const double m = std::floor((even.xz * (nl - 1) - odd.xz * nl) / kScale + 0.5);
    double lon = 360.0 / zones * (Mod(m, zones) + (oddNewer ? odd.xz : even.xz) / kScale);
    if (lon >= 180.0)
        lon -= 360.0;
    return {lat, lon};
}

Position DecodeLocally(const Encoded& message, Position reference)
{
    POS_Calc pos;
    pos.LatLoc(reference.lat);
    pos.LonLoc(reference.lon);
    pos.LocallyPos(message.flag, message.yz, message.xz);
    return {pos.LatDec(), pos.LonDec()};
}

Encoded FromFrame(const char* hex)
{
    using test::FrameBits;
    return {std::uint8_t(FrameBits(hex, 54, 1)), double(FrameBits(hex, 55, 17)), double(FrameBits(hex, 72, 17)), 0};
}

TEST(CprEvidence, PublishedAirbornePositionPair)
{
    const Encoded even = FromFrame("8D40621D58C382D690C8AC2863A7");
    const Encoded odd = FromFrame("8D40621D58C386435CC412692AD6");
    ASSERT_EQ(even.flag, 0);
    ASSERT_EQ(odd.flag, 1);
    EXPECT_EQ(even.yz, 93000);
    EXPECT_EQ(even.xz, 51372);
    EXPECT_EQ(odd.yz, 74158);
    EXPECT_EQ(odd.xz, 50194);

    const Position published{52.2572, 3.9194};
    const Position reference{52.258, 3.918};
    const Position pairEven = GlobalDecode(even, odd, false);
    EXPECT_NEAR(pairEven.lat, published.lat, 2e-4);
    EXPECT_NEAR(pairEven.lon, published.lon, 2e-4);

    const Position localEven = DecodeLocally(even, reference);
    EXPECT_NEAR(localEven.lat, published.lat, 2e-4);
    EXPECT_NEAR(localEven.lon, published.lon, 2e-4);

    // The odd message places the aircraft about 0.009 degrees further north,
    // so its check is the pair decoded with the odd message as the newer.
    const Position pairOdd = GlobalDecode(even, odd, true);
    const Position localOdd = DecodeLocally(odd, reference);
    EXPECT_NEAR(localOdd.lat, pairOdd.lat, 1e-6);
    EXPECT_NEAR(localOdd.lon, pairOdd.lon, 1e-6);
}

// The decoded longitude is the one within half a zone of the reference, so
// near the antimeridian it may lie beyond +-180 instead of being wrapped.
TEST(CprEvidence, EncodedPositionsRoundTrip)
{
    const struct {
        const char* name;
        Position aircraft, reference;
    } rows[] = {
        {"Cape Town", {-34.2, 18.9}, {-33.9, 18.6}},
        {"south of the equator, west of Greenwich", {-0.3, -0.2}, {0.1, 0.1}},
        {"antimeridian, receiver east", {52.1, -179.95}, {52.0, 179.9}},
        {"antimeridian, receiver west", {52.1, 179.95}, {52.0, -179.9}},
        {"antimeridian, south", {-41.3, 179.8}, {-41.2, -179.7}},
        {"far north", {80.5, 100.0}, {80.0, 101.0}},
    };
    for (const auto& row : rows) {
        for (std::uint8_t flag : {std::uint8_t{0}, std::uint8_t{1}}) {
            SCOPED_TRACE(std::string(row.name) + (flag ? ", odd" : ", even"));
            const Encoded message = Encode(row.aircraft.lat, row.aircraft.lon, flag);
            const Position decoded = DecodeLocally(message, row.reference);
            const double expectedLon =
                row.aircraft.lon + 360.0 * std::round((row.reference.lon - row.aircraft.lon) / 360.0);
            EXPECT_NEAR(decoded.lat, row.aircraft.lat, 360.0 / (60 - flag) / kScale);
            EXPECT_NEAR(decoded.lon, expectedLon, message.dLon / kScale);
            EXPECT_LE(std::fabs(decoded.lon - row.reference.lon), message.dLon / 2);
        }
    }
}

} // namespace
} // namespace telvorn
