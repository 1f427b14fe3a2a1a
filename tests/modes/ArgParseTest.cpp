#include <gtest/gtest.h>

#include <optional>

#include "ArgParse.h"

namespace telvorn::app {
namespace {

TEST(ArgParse, Decimal)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } rows[] = {
        {"131071", 131071.0}, {"-33.9", -33.9}, {"+18.6", 18.6}, {".5", 0.5}, {"5.", 5.0}, {"2.5E-1", 0.25},
        {"", {}}, {".", {}}, {"1,5", {}}, {" 1", {}}, {"12x", {}}, {"0x10", {}}, {"inf", {}}, {"nan", {}},
        {"1e", {}}, {"1e999", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseDecimal(row.text), row.value) << '"' << row.text << '"';
}

TEST(ArgParse, LatLon)
{
    using Pair = std::pair<double, double>;
    const struct {
        const char* text;
        std::optional<Pair> value;
    } rows[] = {
        {"48.72171,2.37403", Pair{48.72171, 2.37403}},
        {"-33.9,18.6", Pair{-33.9, 18.6}},
        {"90,-180", Pair{90.0, -180.0}},
        {"90.1,0", {}},
        {"0,180.5", {}},
        {"48.7", {}},
        {",2.3", {}},
        {"48.7, 2.3", {}},
        {"1,2,3", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseLatLon(row.text), row.value) << '"' << row.text << '"';
}

} // namespace
} // namespace telvorn::app
