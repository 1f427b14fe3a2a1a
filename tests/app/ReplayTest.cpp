// `telvorn replay` as a script runs it: the table a stream leaves, as JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "TempFolder.h"
#include "TextFields.h"

namespace {

namespace fs = std::filesystem;
using namespace telvorn::test;

const std::string kStream =
    "*8D4840D6202CC371C32CE0576098;\r\n"
    "+8D4840D6202CC371C32CE0576098,,17,4840D6,KLM1023,A3,,,,,,,,,,;\r\n"
    "line noise+,,17,4840D6,,,0,48.85000,2.35000,35000,,,,,,;\r\n"
    "+,,4,3C6444,,,,,,12000,1000,,,,,;\r\n"
    "!4CA1B2,7,S;\r\n";

const std::string kColumns =
    "\"columns\": [\"NUMB\", \"DF\", \"TIME\", \"ICAO\", \"CONT\", \"CALL\", \"CAT\", \"SQWK\", \"ALTI\", \"ALTT\", "
    "\"CPR0\", \"LAT0\", \"LNG0\", \"VRT\", \"EWV\", \"NSV\", \"MGH\", \"ASP\", \"LAST\"]";

// A file of these bytes, in a folder removed when the tests end.
std::string FileOf(const std::string& bytes)
{
    static const TempFolder dir;
    static int files = 0;
    const fs::path path = dir.path() / ("input" + std::to_string(++files));
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

// `telvorn replay ARGS` (split at spaces, "%" a file of kStream) in UTC, so
// the local time of day is predictable; a clock given first.
Ran Replay(const std::string& args, const std::string& input = "/dev/null")
{
    static const std::string stream = FileOf(kStream);
    Args split{"replay", "--clock", "2026-12-05T13:27:35.042Z"};
    for (const std::string& arg : Split(args, ' '))
        if (!arg.empty())
            split.push_back(arg == "%" ? stream : arg);
    return RunProgram(TELVORN_BIN, split, {{"TZ=UTC"}, "", input});
}

} // namespace

TEST(Replay, PrintsTheTableAsOneJsonObject)
{
    const Ran run = Replay("%");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected =
        "{\"panels\": {\"RAW\": \"8D4840D6202CC371C32CE0576098\", \"CRC\": \"1\", \"PRC\": \"2\", \"ALL\": \"5\", "
        "\"ALT\": \"4CA1B2 (SQUACK) Reserved\"}, " +
        kColumns +
        ", \"rows\": ["
        "[\"1\", \"4\", \"13273504\", \"3C6444\", \"Germany\", \"\", \"\", \"1000\", \"012000\", \"\", \"\", \"\", "
        "\"\", \"\", \"\", \"\", \"\", \"\", \"48455.04\"], "
        "[\"2\", \"17\", \"13273504\", \"4840D6\", \"Netherlands\", \"KLM1023\", \"A3\", \"\", \"035000\", \"\", "
        "\"0\", \"48.85000\", \"2.35000\", \"\", \"\", \"\", \"\", \"\", \"48455.04\"]], "
        "\"last_position\": [\"\", \"\"], \"positions\": {\"4840D6\": [48.85, 2.35]}}\n";
    EXPECT_EQ(run.out, expected);

    // Any chunking, and standard input, give the same table.
    for (const char* chunk : {"1", "3", "17"})
        EXPECT_EQ(Replay("--chunk " + std::string(chunk) + " %").out, expected) << chunk;
    EXPECT_EQ(Replay("-", FileOf(kStream)).out, expected);
}

TEST(Replay, OptionsShapeTheTable)
{
    const std::string raw = FileOf("+,,17,4840D6,,,1,74158,50194,,,,,,,;\r\n");
    const std::string distance = FileOf("+,,17,4840D6,,,0,12.4,271.5,,,,,,,;\r\n");
    const struct {
        std::string args;
        std::string found;
    } rows[] = {
        {FileOf(""), "{\"panels\": {\"RAW\": \"NO RAW DATA MODE\", \"CRC\": \"\", \"PRC\": \"\", \"ALL\": \"\", "
                     "\"ALT\": \"\"}, " + kColumns + ", \"rows\": [], \"last_position\": [\"\", \"\"], "
                     "\"positions\": {}}\n"},
        {"--purge-after 180 %", "\"PRC\": \"2\""},
        {"--purge-after 181 %", "\"PRC\": \"0\""},
        {"--purge-after 181 %", "\"rows\": []"},
        {"--dst " + distance, "\"0\", \"000012\", \"271.5\""},
        {"--dst " + distance, kColumns}, // the keys do not follow the captions
        {"--raw-mode " + raw, "\"last_position\": [\"46.16409\", \"3.44655\"], "
                              "\"positions\": {\"4840D6\": [46.16409, 3.44655]}"},
        {raw, "\"last_position\": [\"74158\", \"50194\"]"},
        // Due north of the receiver: on its meridian, 60 NM being about a degree.
        {"--dst --ref 48.5,2.0 " + FileOf("+,,17,4840D6,,,0,60.0,0.0,,,,,,,;\r\n"),
         "\"positions\": {\"4840D6\": [49.499326, 2]}"},
        // The ends of what the clock holds.
        {"--clock 2262-04-11T23:47:16Z --purge-after 0.5 %", "\"23471600\", \"3C6444\""},
        {"--clock 1677-09-21T00:12:44Z %", "\"00124400\", \"3C6444\""},
        // Every byte that is not printable ASCII escaped.
        {FileOf("+,,17,4840D6,\"A\\\xe9\x01\t\x7f,,,,,,,,,,,;\r\n"), "\"\\\"A\\\\\\u00e9\\u0001\\t\\u007f\""},
    };
    for (const auto& row : rows) {
        const Ran run = Replay(row.args);
        EXPECT_EQ(run.status, 0) << row.args << run.err;
        EXPECT_NE(run.out.find(row.found), std::string::npos) << row.args << "\n" << run.out;
    }

    // Each key orders these rows its own way, and none as the default does
    // (by time, here the same for all, then by address).
    const std::string three = FileOf("+,,17,3C6444,ZZZ1,,,,,12000,,,,,,;\r\n"
                                     "+,,11,4840D6,AAA1,,,,,35000,,,,,,;\r\n"
                                     "+,,4,4CA1B2,MMM1,,,,,5000,,,,,,;\r\n");
    const std::pair<const char*, const char*> orders[] = {{"", "3C6444 4840D6 4CA1B2"},
                                                          {"--sort 1 ", "4CA1B2 4840D6 3C6444"},
                                                          {"--sort 4 ", "3C6444 4CA1B2 4840D6"},
                                                          {"--sort 5 ", "4840D6 4CA1B2 3C6444"},
                                                          {"--sort=8 ", "4CA1B2 3C6444 4840D6"}};
    for (const auto& [sort, order] : orders) {
        const std::vector<std::string> a = Split(order, ' ');
        const std::string out = Replay(sort + three).out;
        EXPECT_LT(out.find(a[0]), out.find(a[1])) << sort << out;
        EXPECT_LT(out.find(a[1]), out.find(a[2])) << sort;
    }
}

TEST(Replay, LogHoldsTheLinesAsReceived)
{
    const std::string log = FileOf(std::string(10000, 'x')); // an older, longer log
    ASSERT_EQ(Replay("--log " + log + " %").status, 0);
    std::string expected = kStream;
    expected.erase(expected.find("line noise"), 10);
    EXPECT_EQ(Read(log), expected);
}

TEST(Replay, BadUsageAndUnreadableInput)
{
    const std::pair<const char*, const char*> rows[] = {
        {"--sort 19 %", "--sort"},
        {"--sort x %", "--sort"},
        {"--bogus %", "--bogus"},
        {"--ref 48.7 %", "--ref"},
        {"--ref 91,2 %", "--ref"},
        {"--clock 2026-13-05T13:27:35Z %", "--clock"},
        {"--clock 2026-12-05 %", "--clock"},
        {"--chunk 0 %", "--chunk"},
        {"--purge-after -1 %", "--purge-after"},
        // Hour 24, minute 60 and second 60 are no time of day.
        {"--clock 2026-12-05T24:00:00Z %", "--clock"},
        {"--clock 2026-12-05T13:60:00Z %", "--clock"},
        {"--clock 2026-12-05T13:27:60Z %", "--clock"},
        // Beyond what the nanosecond clock holds, before and after.
        {"--clock 9999-12-31T23:59:59Z %", "--clock"},
        {"--clock 1677-09-21T00:12:43Z %", "--clock"},
        {"--clock 2262-01-01T00:00:00Z --purge-after 1000000000 %", "--purge-after"},
        // A line feed in a value stays out of the one-line message.
        {"--sort 1\n2 %", "--sort"},
        {"--raw-mode=1 %", "--raw-mode"},
        {"", "FILE"},
        {"% %", "unexpected"},
    };
    for (const auto& [args, named] : rows) {
        const Ran run = Replay(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const Ran missing = Replay("no-such-file");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no-such-file"), std::string::npos);
}
