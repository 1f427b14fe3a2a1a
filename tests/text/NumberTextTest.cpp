#include <gtest/gtest.h>

#include <cfloat>
#include <utility>

#include "text/NumberText.h"

using namespace telvorn;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText)
{
    struct Row {
        const char* text;
        std::optional<double> value;
    };
    const Row rows[] = {
        {"35000", 35000.0},     {"  -12.5xyz", -12.5},  {"+7", 7.0},         {"1e3", 1000.0},
        {"2.5E-1 m", 0.25},     {"1e", 1.0},            {"1e+", 1.0},        {".5", 0.5},
        {"5.", 5.0},            {"48,5", 48.0},         {"\t42", 42.0},      {"00123", 123.0},
        {"", std::nullopt},     {"abc", std::nullopt},  {"-", std::nullopt}, {".", std::nullopt},
        {"Landed", std::nullopt}, {"- 5", std::nullopt}, {"1e999", DBL_MAX}, {"-1e999", -DBL_MAX},
        {"1e-999", 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<double> got = ParseLeadingNumber(row.text);
        ASSERT_EQ(got.has_value(), row.value.has_value());
        if (row.value) {
            EXPECT_DOUBLE_EQ(*got, *row.value);
        }
    }
    EXPECT_EQ(LeadingNumber("no number"), 0.0);
}

TEST(LeadingNumber, RoundsHalvesToEven)
{
    for (const auto& [value, rounded] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {2.4999, 2.0}, {-0.6, -1.0}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

// Seven significant digits and no trailing zeros, so a time of day in
// seconds reads back to the hundredth.
TEST(NumberFormatting, SingleAndIntegerTexts)
{
    for (const auto& [value, text] : {std::pair{48345.67f, "48345.67"}, {48345.5f, "48345.5"}, {7.0f, "7"},
                                      {9999.123f, "9999.123"}, {86399.99f, "86399.99"}, {3600.001f, "3600.001"},
                                      {0.0f, "0"}, {0.25f, "0.25"}, {1e-7f, "0.0000001"}, {1e8f, "100000000"}})
        EXPECT_EQ(SingleText(value), text) << value;
    for (const auto& [value, text] : {std::pair{42.0, "42"}, {0.0, "0"}, {-3.0, "-3"}, {1e20, "100000000000000000000"}})
        EXPECT_EQ(IntegerText(value), text) << value;
}
