// The built `telvorn crc` and `telvorn cpr` (output exact: tools parse it); the parsing they share.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "ArgParse.h"
#include "ProgramRun.h"
#include "TextFields.h"

namespace telvorn::app {
namespace {

// Good input: `text` is all of standard output, and standard error is empty.
// Bad input: exit code 2, nothing on standard output (not even for a good
// frame before a bad one), one line on standard error that contains `text`.
TEST(TelvornCommands, Contracts)
{
    const struct { const char* args; int exitCode; const char* text; } rows[] = {
        {"crc 8d4840d6202cc371c32ce0576098 5D4840D6F8740A 8D4840D6202CC371C32CE0576099 8D4840D6202CC371C32CE0576018",
         0, "OK 576098 000000\n?? F8740F 000005\n?? 576098 000001\nKO 576098 000080\n"},
        {"cpr 1 74158.0 5.0194e4", 0, "46.16409 3.44655\n"},
        {"cpr 1 131071 131071", 0, "48.81351 -0.00007\n"},
        {"cpr --ref -33.9,18.6 0 20000 40000", 0, "-35.08447 16.93599\n"},
        {"cpr 0 93000 51372 --ref 52.258,3.918", 0, "52.25720 3.91937\n"},
        {"crc", 2, "usage: telvorn crc"},
        {"crc 8D4840D6202CC371C32CE0576098 8D4840D6202CC371C32CE057609", 2, "'8D4840D6202CC371C32CE057609'"},
        {"crc 8D4840D6202CC371C32CE057609G", 2, "'8D4840D6202CC371C32CE057609G'"},
        {"cpr 1 74158", 2, "usage: telvorn cpr"},
        {"cpr 2 74158 50194", 2, "flag '2'"},
        {"cpr 0.5 74158 50194", 2, "flag '0.5'"},
        {"cpr 1 131072 50194", 2, "latitude '131072'"},
        {"cpr 1 74158 -1", 2, "longitude '-1'"},
        {"cpr --ref 48.7 1 74158 50194", 2, "reference '48.7'"},
        {"cpr 1 74158 50194 --ref", 2, "usage: telvorn cpr"},
        {"cpr --bogus 1 74158 50194", 2, "'--bogus'"},
        {"cpr --ref 89.9,0 1 0 0", 2, "cannot decode"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        const auto [exitCode, out, err] = test::RunProgram(TELVORN_EXE, test::Split(row.args, ' '));
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_EQ(out, row.exitCode == 0 ? row.text : "");
        const bool oneLineNamingIt = err.find(row.text) != std::string::npos && err.find('\n') == err.size() - 1;
        EXPECT_TRUE(row.exitCode == 0 ? err.empty() : oneLineNamingIt) << err;
    }
}

TEST(ArgParse, DecimalAndLatLon)
{
    const struct { const char* text; std::optional<double> value; } decimals[] = {
        {"-33.9", -33.9}, {"+18.6", 18.6}, {".5", 0.5}, {"5.", 5.0}, {"2.5E-1", 0.25}, {"", {}}, {".", {}},
        {"1,5", {}}, {" 1", {}}, {"0x10", {}}, {"inf", {}}, {"nan", {}}, {"1e999", {}}, {"1e-999", {}},
    };
    for (const auto& row : decimals)
        EXPECT_EQ(ParseDecimal(row.text), row.value) << '"' << row.text << '"';
    const struct { const char* text; std::optional<std::pair<double, double>> value; } latLons[] = {
        {"-33.9,18.6", std::pair{-33.9, 18.6}}, {"90,-180", std::pair{90.0, -180.0}},
        {"-90,180", std::pair{-90.0, 180.0}}, {"90.1,0", {}}, {"0,180.5", {}}, {"48.7", {}}, {",2.3", {}},
        {"48.7, 2.3", {}}, {"1,2,3", {}},
    };
    for (const auto& row : latLons)
        EXPECT_EQ(ParseLatLon(row.text), row.value) << '"' << row.text << '"';
}

} // namespace
} // namespace telvorn::app
