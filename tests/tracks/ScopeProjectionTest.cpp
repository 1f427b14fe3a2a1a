#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tracks/ScopeProjection.h"

using namespace telvorn;

// One degree of a great circle on the program's sphere.
const double kDegreeNm = kEarthRadiusNm * std::numbers::pi / 180.0;

TEST(ScopeProjection, KnownPositionsLandOnTheirPixels)
{
    struct Row {
        const char* name;
        GeoPoint receiver;
        double rangeNm, width, height;
        GeoPoint point;
        ScopePixel expected;
    };
    const Row rows[] = {
        // 400 x 300 at 100 NM: 1.5 pixels a mile about (200, 150).
        {"receiver", {48.5, 2.0}, 100, 400, 300, {48.5, 2.0}, {200, 150}},
        {"50 NM north", {48.5, 2.0}, 100, 400, 300, {48.5 + 50 / kDegreeNm, 2.0}, {200, 75}},
        {"100 NM south, on the edge", {48.5, 2.0}, 100, 400, 300, {48.5 - 100 / kDegreeNm, 2.0}, {200, 300}},
        // On the equator a degree of longitude is a degree of great circle.
        {"a degree east", {0, 0}, 120, 400, 400, {0, 1}, {200 + kDegreeNm * 200 / 120, 200}},
        {"a degree west", {0, 0}, 120, 400, 400, {0, -1}, {200 - kDegreeNm * 200 / 120, 200}},
        {"across the antimeridian", {0, 179.5}, 60, 200, 200, {0, -179.5}, {100 + kDegreeNm * 100 / 60, 100}},
    };
    for (const Row& row : rows) {
        const ScopeProjection p(row.receiver, row.rangeNm, row.width, row.height);
        const ScopePixel px = p.toPixel(row.point);
        EXPECT_NEAR(px.x, row.expected.x, 1e-6) << row.name;
        EXPECT_NEAR(px.y, row.expected.y, 1e-6) << row.name;
        // A click on the pixel finds the point again.
        const GeoPoint back = p.toPosition(px);
        EXPECT_NEAR(back.lat, row.point.lat, 1e-9) << row.name;
        EXPECT_NEAR(std::remainder(back.lon - row.point.lon, 360.0), 0.0, 1e-9) << row.name;
    }
}

TEST(ScopeProjection, RangeRingsAreCirclesAndSizesNeverDivideByZero)
{
    const ScopeProjection p({60.0, 10.0}, 50, 600, 400);
    EXPECT_DOUBLE_EQ(p.pixelsPerNm(), 4.0);
    for (double bearing = 0; bearing < 360; bearing += 45) {
        const ScopePixel px = p.toPixel(Destination({60.0, 10.0}, bearing, 25));
        EXPECT_NEAR(std::hypot(px.x - 300, px.y - 200), 100.0, 1e-6) << bearing;
    }
    for (const ScopeProjection& odd : {ScopeProjection({0, 0}, 0, 0, 0), ScopeProjection({0, 0}, -5, 100, -1),
                                       ScopeProjection({0, 0}, std::nan(""), 100, 100)}) {
        const ScopePixel px = odd.toPixel({0.5, 0.5});
        EXPECT_TRUE(std::isfinite(px.x) && std::isfinite(px.y));
        EXPECT_GT(odd.pixelsPerNm(), 0.0);
    }
}
