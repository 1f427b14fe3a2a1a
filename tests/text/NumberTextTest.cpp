#include <gtest/gtest.h>

#include <cfloat>

#include "table/Common.h"
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
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(180.5), 180.0);
    EXPECT_EQ(RoundHalfEven(181.5), 182.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(-0.6), -1.0);
}

TEST(NumberFormatting, SingleTextKeepsSevenSignificantDigits)
{
    EXPECT_EQ(SingleText(48345.67f), "48345.67");
    EXPECT_EQ(SingleText(48345.5f), "48345.5");
    EXPECT_EQ(SingleText(7.0f), "7");
    EXPECT_EQ(SingleText(9999.123f), "9999.123");
    EXPECT_EQ(SingleText(86399.99f), "86399.99");
    EXPECT_EQ(SingleText(0.0f), "0");
    EXPECT_EQ(SingleText(0.25f), "0.25");
    // Written text must read back as the value within single precision.
    for (float v : {1.0f, 12.75f, 3600.001f, 43210.98f, 86399.5f})
        EXPECT_NEAR(LeadingNumber(SingleText(v)), double(v), 0.006) << v;
}

TEST(NumberFormatting, IntegerTextIsPlainDecimal)
{
    EXPECT_EQ(IntegerText(42.0), "42");
    EXPECT_EQ(IntegerText(0.0), "0");
    EXPECT_EQ(IntegerText(-3.0), "-3");
    EXPECT_EQ(IntegerText(1e20), "100000000000000000000");
}

TEST(UtcStamp, HasSeventeenDigitsWithoutSeparators)
{
    using namespace std::chrono;
    const FrozenClock clock(sys_days{2026y / December / 5} + 13h + 27min + 35s + 42ms);
    EXPECT_EQ(GetUTCStamp(clock), "20261205132735042");
    const FrozenClock midnight(sys_days{2027y / January / 1});
    EXPECT_EQ(GetUTCStamp(midnight), "20270101000000000");
}
