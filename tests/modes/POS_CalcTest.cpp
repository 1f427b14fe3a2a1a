#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <initializer_list>
#include <locale>
#include <stdexcept>

#include "modes/POS_Calc.h"

namespace telvorn {
namespace {

TEST(POS_Calc, ZoneThresholdsUseFiveDecimalPi)
{
    // These rows differ from full-precision thresholds in the fifth to
    // seventh decimal, so they tell the approximate pi apart from the exact one.
    const struct {
        int index;
        double latitude;
    } rows[] = {{0, 90.0}, {1, 87.0000760}, {2, 86.5354442}, {38, 49.4278062},
                {39, 48.1604320}, {57, 14.8281869}, {58, 10.4704802}, {59, 0.0}};
    const POS_Calc pos;
    for (const auto& row : rows)
        EXPECT_NEAR(pos.NLThreshold(row.index), row.latitude, 5e-8) << "row " << row.index;
}

TEST(POS_Calc, ZoneCount)
{
    const struct {
        double latitude;
        int zones;
    } rows[] = {{0, 59},   {10.47, 59}, {10.4705, 58}, {48.7, 39}, {-48.7, 39},
                {87.0, 2}, {87.0001, 1}, {89.99, 1},   {90, 0},    {-95, 0}};
    const POS_Calc pos;
    for (const auto& row : rows)
        EXPECT_EQ(pos.GetNL(row.latitude), row.zones) << "latitude " << row.latitude;
}

TEST(POS_Calc, LocalDecode)
{
    // Where only the five-decimal texts are known, the tolerance is theirs.
    const struct {
        const char* name;
        double refLat, refLon;
        std::uint8_t flag;
        double yz, xz;
        double lat, lon, tolerance, dLon;
        const char* latText;
        const char* lonText;
    } rows[] = {
        {"even", 48.72171, 2.37403, 0, 93000, 51372, 46.2572021, 3.4414003, 5e-8, 360.0 / 41, "46.25720", "3.44140"},
        {"odd", 48.72171, 2.37403, 1, 74158, 50194, 46.1640853, 3.4465485, 5e-8, 9.0, "46.16409", "3.44655"},
        {"even zero fields", 48.72171, 2.37403, 0, 0, 0, 48.0, 0.0, 0.0, 9.0, "48.00000", "0.00000"},
        {"odd top fields", 48.72171, 2.37403, 1, 131071, 131071, 48.81351, -0.00007, 5e-6, 360.0 / 38, "48.81351",
         "-0.00007"},
        // These two were published to about six decimals only.
        {"south, even", -33.9, 18.6, 0, 20000, 40000, -35.0844727, 16.9359854, 1e-6, 360.0 / 49, "-35.08447",
         "16.93599"},
        {"south, odd", -33.9, 18.6, 1, 20000, 40000, -35.6791250, 17.6566664, 1e-6, 360.0 / 47, "-35.67912",
         "17.65667"},
        // Exact halves round away from zero.
        {"half up", 0.0, 0.0, 0, 3072, 0, 0.140625, 0.0, 0.0, 360.0 / 59, "0.14063", "0.00000"},
        {"half down", -1.0, 0.0, 0, 128000, 0, -0.140625, 0.0, 0.0, 360.0 / 59, "-0.14063", "0.00000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        POS_Calc pos;
        pos.LatLoc(row.refLat);
        pos.LonLoc(row.refLon);
        pos.LocallyPos(row.flag, row.yz, row.xz);
        EXPECT_NEAR(pos.LatDec(), row.lat, row.tolerance);
        EXPECT_NEAR(pos.LonDec(), row.lon, row.tolerance);
        EXPECT_DOUBLE_EQ(pos.DLon(), row.dLon);
        EXPECT_EQ(pos.LAT(), row.latText);
        EXPECT_EQ(pos.LON(), row.lonText);
    }
}

TEST(POS_Calc, TextsIgnoreTheLocale)
{
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const bool cGerman = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    POS_Calc pos;
    EXPECT_EQ(pos.LAT(), "0.00000") << "before any decode";
    pos.LocallyPos(1, 74158, 50194);
    EXPECT_EQ(pos.LAT() + " " + pos.LON(), "46.16409 3.44655") << "C locale switched: " << cGerman;
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

TEST(POS_Calc, Failures)
{
    POS_Calc pos;
    pos.LocallyPos(0, 93000, 51372);

    // A flag above 1 changes nothing.
    for (std::uint8_t flag : std::initializer_list<std::uint8_t>{2, 3, 255})
        EXPECT_THROW(pos.LocallyPos(flag, 0, 0), std::out_of_range) << int(flag);
    EXPECT_EQ(pos.LAT() + " " + pos.LON(), "46.25720 3.44140");

    // Odd message beyond the last zone near a pole: the latitude is written,
    // the longitude and zone size are kept.
    pos.LatLoc(89.9);
    EXPECT_THROW(pos.LocallyPos(1, 0, 0), std::overflow_error);
    EXPECT_GT(pos.LatDec(), 90.0);
    EXPECT_EQ(pos.LON(), "3.44140");
    EXPECT_DOUBLE_EQ(pos.DLon(), 360.0 / 41);

    // A longitude zone number beyond 16 bits.
    pos.LatLoc(48.72171);
    pos.LonLoc(1e6);
    EXPECT_THROW(pos.LocallyPos(0, 93000, 51372), std::overflow_error);

    // A reference latitude whose zone number does not fit keeps the old one.
    EXPECT_THROW(pos.LatLoc(1e6), std::overflow_error);
    pos.LonLoc(2.37403);
    pos.LocallyPos(1, 74158, 50194);
    EXPECT_EQ(pos.LAT() + " " + pos.LON(), "46.16409 3.44655");
}

} // namespace
} // namespace telvorn
