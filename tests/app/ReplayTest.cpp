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

// One folder for the whole run, removed when the tests end.
const fs::path& TempDir()
{
    static const TempFolder dir;
    return dir.path();
}

fs::path WriteFile(const std::string& name, const std::string& bytes)
{
    const fs::path path = TempDir() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// `telvorn replay ARGS` (split at spaces) in UTC, so the local time of day
// is predictable.
Ran Replay(const std::string& args, const std::string& input = "/dev/null")
{
    Args split;
    for (std::string& arg : Split(args, ' '))
        if (!arg.empty())
            split.push_back(arg);
    return RunProgram(TELVORN_BIN, Args{"replay"} + split, {{"TZ=UTC"}, "", input});
}

const std::string kClock = "--clock 2026-12-05T13:27:35.042Z ";

const std::string kStream =
    "*8D4840D6202CC371C32CE0576098;\r\n"
    "+8D4840D6202CC371C32CE0576098,,17,4840D6,KLM1023,A3,,,,,,,,,,;\r\n"
    "line noise+,,17,4840D6,,,0,48.85000,2.35000,35000,,,,,,;\r\n"
    "+,,4,3C6444,,,,,,12000,1000,,,,,;\r\n"
    "!4CA1B2,7,S;\r\n";

const std::string kColumns =
    "\"columns\": [\"NUMB\", \"DF\", \"TIME\", \"ICAO\", \"CONT\", \"CALL\", \"CAT\", \"SQWK\", \"ALTI\", \"ALTT\", "
    "\"CPR0\", \"LAT0\", \"LNG0\", \"VRT\", \"EWV\", \"NSV\", \"MGH\", \"ASP\", \"LAST\"]";

} // namespace

TEST(Replay, PrintsTheTableAsOneJsonObject)
{
    const fs::path input = WriteFile("stream.txt", kStream);
    const Ran run = Replay(kClock + input.string());
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
        EXPECT_EQ(Replay(kClock + "--chunk " + chunk + " " + input.string()).out, expected) << chunk;
    EXPECT_EQ(Replay(kClock + "-", input.string()).out, expected);
}

TEST(Replay, EmptyInputShowsTheInitialPanels)
{
    const fs::path input = WriteFile("empty.txt", "");
    const Ran run = Replay(input.string());
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "{\"panels\": {\"RAW\": \"NO RAW DATA MODE\", \"CRC\": \"\", \"PRC\": \"\", \"ALL\": \"\", "
                       "\"ALT\": \"\"}, " + kColumns + ", \"rows\": [], \"last_position\": [\"\", \"\"], "
                       "\"positions\": {}}\n");
}

TEST(Replay, SortPurgeDistanceAndRawOptions)
{
    const fs::path input = WriteFile("stream.txt", kStream);
    // Each key orders these rows its own way, and none as the default does
    // (by time, here the same for all, then by address).
    const fs::path three = WriteFile("three.txt", "+,,17,3C6444,ZZZ1,,,,,12000,,,,,,;\r\n"
                                                  "+,,11,4840D6,AAA1,,,,,35000,,,,,,;\r\n"
                                                  "+,,4,4CA1B2,MMM1,,,,,5000,,,,,,;\r\n");
    const std::pair<const char*, const char*> orders[] = {{"", "3C6444 4840D6 4CA1B2"},
                                                          {"--sort 1 ", "4CA1B2 4840D6 3C6444"},
                                                          {"--sort 4 ", "3C6444 4CA1B2 4840D6"},
                                                          {"--sort 5 ", "4840D6 4CA1B2 3C6444"},
                                                          {"--sort=8 ", "4CA1B2 3C6444 4840D6"}};
    for (const auto& [sort, order] : orders) {
        const std::vector<std::string> a = Split(order, ' ');
        const std::string out = Replay(kClock + sort + three.string()).out;
        EXPECT_LT(out.find(a[0]), out.find(a[1])) << sort << out;
        EXPECT_LT(out.find(a[1]), out.find(a[2])) << sort;
    }

    const Ran kept = Replay(kClock + "--purge-after 180 " + input.string());
    EXPECT_NE(kept.out.find("\"PRC\": \"2\""), std::string::npos);
    const Ran purged = Replay(kClock + "--purge-after 181 " + input.string());
    EXPECT_NE(purged.out.find("\"PRC\": \"0\""), std::string::npos);
    EXPECT_NE(purged.out.find("\"rows\": []"), std::string::npos);

    const fs::path distance = WriteFile("dst.txt", "+,,17,4840D6,,,0,12.4,271.5,,,,,,,;\r\n");
    const Ran dst = Replay(kClock + "--dst " + distance.string());
    EXPECT_NE(dst.out.find("\"0\", \"000012\", \"271.5\""), std::string::npos) << dst.out;
    EXPECT_NE(dst.out.find(kColumns), std::string::npos) << "keys do not follow the captions";

    const fs::path raw = WriteFile("raw.txt", "+,,17,4840D6,,,1,74158,50194,,,,,,,;\r\n");
    const Ran rawRun = Replay(kClock + "--raw-mode " + raw.string());
    EXPECT_NE(rawRun.out.find("\"last_position\": [\"46.16409\", \"3.44655\"], "
                              "\"positions\": {\"4840D6\": [46.16409, 3.44655]}"),
              std::string::npos) << rawRun.out;
    // Due north of the receiver: on its meridian, 60 NM being about a degree.
    const fs::path north = WriteFile("north.txt", "+,,17,4840D6,,,0,60.0,0.0,,,,,,,;\r\n");
    const Ran northRun = Replay(kClock + "--dst --ref 48.5,2.0 " + north.string());
    EXPECT_NE(northRun.out.find("\"positions\": {\"4840D6\": [49.499326, 2]}"), std::string::npos) << northRun.out;
    EXPECT_NE(Replay(kClock + raw.string()).out.find("\"last_position\": [\"74158\", \"50194\"]"), std::string::npos);
}

TEST(Replay, ClockReachesTheEndsOfWhatItHolds)
{
    const fs::path input = WriteFile("stream.txt", kStream);
    const Ran last = Replay("--clock 2262-04-11T23:47:16Z --purge-after 0.5 " + input.string());
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_NE(last.out.find("\"23471600\", \"3C6444\""), std::string::npos) << last.out;
    const Ran first = Replay("--clock 1677-09-21T00:12:44Z " + input.string());
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("\"00124400\", \"3C6444\""), std::string::npos) << first.out;
}

TEST(Replay, LogHoldsTheLinesAsReceived)
{
    const fs::path input = WriteFile("stream.txt", kStream);
    const fs::path log = TempDir() / "Output.txt";
    std::ofstream(log) << std::string(10000, 'x'); // an older, longer log
    ASSERT_EQ(Replay(kClock + "--log " + log.string() + " " + input.string()).status, 0);
    std::string expected = kStream;
    expected.erase(expected.find("line noise"), 10);
    EXPECT_EQ(Read(log), expected);
}

TEST(Replay, EscapesEveryByteThatIsNotPrintableAscii)
{
    const fs::path input = WriteFile("bytes.txt", std::string("+,,17,4840D6,\"A\\\xe9\x01\t\x7f,,,,,,,,,,,;\r\n"));
    const Ran run = Replay(kClock + input.string());
    EXPECT_NE(run.out.find("\"\\\"A\\\\\\u00e9\\u0001\\t\\u007f\""), std::string::npos) << run.out;
}

TEST(Replay, BadUsageAndUnreadableInput)
{
    const fs::path input = WriteFile("stream.txt", kStream);
    const struct {
        std::string args;
        const char* named;
    } rows[] = {
        {"--sort 19 " + input.string(), "--sort"},
        {"--sort x " + input.string(), "--sort"},
        {"--bogus " + input.string(), "--bogus"},
        {"--ref 48.7 " + input.string(), "--ref"},
        {"--ref 91,2 " + input.string(), "--ref"},
        {"--clock 2026-13-05T13:27:35Z " + input.string(), "--clock"},
        {"--clock 2026-12-05 " + input.string(), "--clock"},
        {"--chunk 0 " + input.string(), "--chunk"},
        {"--purge-after -1 " + input.string(), "--purge-after"},
        // Hour 24, minute 60 and second 60 are no time of day.
        {"--clock 2026-12-05T24:00:00Z " + input.string(), "--clock"},
        {"--clock 2026-12-05T13:60:00Z " + input.string(), "--clock"},
        {"--clock 2026-12-05T13:27:60Z " + input.string(), "--clock"},
        // Beyond what the nanosecond clock holds, before and after.
        {"--clock 9999-12-31T23:59:59Z " + input.string(), "--clock"},
        {"--clock 1677-09-21T00:12:43Z " + input.string(), "--clock"},
        {"--clock 2262-01-01T00:00:00Z --purge-after 1000000000 " + input.string(), "--purge-after"},
        // A line feed in a value stays out of the one-line message.
        {"--sort 1\n2 " + input.string(), "--sort"},
        {"--raw-mode=1 " + input.string(), "--raw-mode"},
        {"", "FILE"},
        {input.string() + " " + input.string(), "unexpected"},
    };
    for (const auto& row : rows) {
        const Ran run = Replay(row.args);
        EXPECT_EQ(run.status, 2) << row.args;
        EXPECT_TRUE(run.out.empty()) << row.args;
        EXPECT_NE(run.err.find(row.named), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const Ran missing = Replay((TempDir() / "no-such-file").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no-such-file"), std::string::npos);
}
