#include "shell/CoordinateText.h"

#include <gtest/gtest.h>

#include <string>


namespace telvorn {
namespace {

TEST(CoordinateText, ValidatesAsTheBoxesDo)
{
    const struct { const char* text; int limit; const char* expected; } rows[] = {
        {"48.7217149", 90, " 48.72171"}, {"-2.5", 90, "-2.5"},        {"0", 90, " 0"},
        {"0.5", 90, " .5"},              {"-0.5", 180, "-.5"},        {"95", 90, " 0"},
        {"48,5", 90, " 48"},             {"-91", 90, " 0"},           {"90", 90, " 90"},
        {"-90", 90, "-90"},              {"-180", 180, "-180"},       {"180.1", 180, " 0"},
        {"2.3740349", 180, " 2.37403"},  {"abc", 180, " 0"},          {"", 90, " 0"},
        {"48.721710", 90, " 48.72171"},  {"  +7xyz", 90, " 7"},       {"1e2", 90, " 0"},
        {"1e2", 180, " 100"},            {"1e999", 180, " 0"},        {"-1e-999", 90, " 0"},
        // Halves of the decimal text go to the even fifth decimal, although
        // 0.000015 and 12.345675 lie below their halves in binary.
        {"0.000015", 90, " .00002"},     {"0.000025", 90, " .00002"}, {"12.345675", 90, " 12.34568"},
        {"12.345665", 90, " 12.34566"},  {"0.000005", 90, " 0"},      {"-0.000005", 90, " 0"},
        {"0.0000051", 90, " .00001"},    {"-0.000004", 90, " 0"},     {"0.00009999", 90, " .0001"},
        // Rounding decides the range: 90.000004 is 90, 90.000006 is past it.
        {"90.000004", 90, " 90"},        {"90.000006", 90, " 0"},     {"180.000005", 180, " 180"},
        {"-179.999995", 180, "-180"},
        // Tiny values in plain decimals, which read back as the same text.
        {"0.00003", 90, " .00003"},      {" .00003", 90, " .00003"},  {"-0.00009", 90, "-.00009"},
        {"-.00009", 90, "-.00009"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CoordinateText(row.text, row.limit), row.expected) << row.text << " within " << row.limit;
    }
}

} // namespace
} // namespace telvorn
