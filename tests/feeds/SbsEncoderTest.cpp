// BaseStation lines against lines that BaseStation itself wrote, as
// published in the node-sbs1 README (github.com/wiseman/node-sbs1), one of
// every transmission type; they are the examples of the socket data
// description at woodair.net/SBS/Article/Barebones42_Socket_Data.htm.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "CoreHarness.h"
#include "FeedTestKit.h"
#include "TextFields.h"
#include "feeds/FeedHub.h"
#include "feeds/LocalTime.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;
using namespace std::chrono;

namespace {

// "yyyy/MM/dd" and "HH:mm:ss.fff" as an instant, read as UTC: the tests run
// with TZ=UTC, so the local time of the lines is the UTC one.
system_clock::time_point Instant(const std::string& date, const std::string& time)
{
    const auto number = [](const std::string& t, std::size_t at, std::size_t n) { return std::stoi(t.substr(at, n)); };
    const year_month_day day{year{number(date, 0, 4)}, month{unsigned(number(date, 5, 2))},
                             std::chrono::day{unsigned(number(date, 8, 2))}};
    return sys_days{day} + hours{number(time, 0, 2)} + minutes{number(time, 3, 2)} + seconds{number(time, 6, 2)} +
           milliseconds{number(time, 9, 3)};
}

struct Row {
    const char* name;
    std::string published;
    std::string record;              // the board's record line for the same message
    std::vector<std::string> alerts{}; // alert lines before it
    bool rawMode = false;
    bool dstFlag = false;
    std::map<int, std::string> differs{}; // 1-based field: what we send instead, and why (comment)
    int surplus = 0;                     // 1-based field of the published line that is one too many
};

} // namespace

TEST(SbsEncoder, LinesOfEveryTransmissionTypeMatchPublishedOnes)
{
    test::SetTimeZone("UTC0");
    const std::string msg3 = "MSG,3,496,211,4CA2D6,10057,2008/11/28,14:53:50.594,2008/11/28,14:58:51.153,,37000,,,"
                             "51.45735,-1.02826,,,0,0,0,0";
    const std::string msg6 = "MSG,6,496,237,4CA215,27864,2010/02/19,17:58:12.846,2010/02/19,17:58:13.368,,33325,,,,,,"
                             "0271,0,0,0,0";
    const Row rows[] = {
        {"MSG,1 identification", "MSG,1,145,256,7404F2,11267,2008/11/28,23:48:18.611,2008/11/28,23:53:19.161,RJA1118,,,,,,,,,,,",
         test::Record17("7404F2", {{4, "RJA1118"}, {5, "A3"}})},
        // The published line has one empty field too many after the times
        // (23 in all); it is compared without its field 11. The board sends
        // no surface speed and track, and no altitude on the ground but "@",
        // which is also its on-ground report.
        {"MSG,2 surface position", "MSG,2,496,603,400CB6,13168,2008/10/13,12:24:32.414,2008/10/13,12:28:52.074,,,0,76.4,258.3,54.05735,-4.38826,,,,,,0",
         test::Record17("400CB6", {{6, "0"}, {7, "54.05735"}, {8, "-4.38826"}, {9, "@"}}), {}, false, false,
         {{12, ""}, {13, ""}, {14, ""}, {22, "-1"}}, 11},
        {"MSG,3 airborne position", msg3, test::Record17("4CA2D6", {{6, "0"}, {7, "51.45735"}, {8, "-1.02826"}, {9, "37000"}})},
        // Raw position mode: the CPR fields decoded here, against the
        // decoder's creation reference, as the frame decoder's own case has it.
        {"MSG,3 decoded locally", msg3, test::Record17("4CA2D6", {{6, "1"}, {7, "74158"}, {8, "50194"}, {9, "37000"}}), {},
         true, false, {{15, "46.16409"}, {16, "3.44655"}}},
        // Distance and bearing in fields 7 and 8: no position goes out.
        {"MSG,3 with distances", msg3, test::Record17("4CA2D6", {{6, "0"}, {7, "12.4"}, {8, "231.0"}, {9, "37000"}}), {},
         false, true, {{15, ""}, {16, ""}}},
        // East 281, north -66 knots: 288.6 knots on track 103.2 degrees.
        {"MSG,4 velocity", "MSG,4,496,469,4CA767,27854,2010/02/19,17:58:13.039,2010/02/19,17:58:13.368,,,288.6,103.2,,,-832,,,,,",
         test::Record17("4CA767", {{11, "-832"}, {12, "281"}, {13, "-66"}})},
        {"MSG,5 altitude reply", "MSG,5,496,329,394A65,27868,2010/02/19,17:58:12.644,2010/02/19,17:58:13.368,,10000,,,,,,,0,,0,0",
         test::Record({{2, "4"}, {3, "394A65"}, {9, "10000"}})},
        // Identity replies carry no altitude; BaseStation adds the one it tracks.
        {"MSG,6 identity reply", msg6, test::Record({{2, "21"}, {3, "4CA215"}, {10, "271"}}), {}, false, false, {{12, ""}}},
        {"MSG,6 emergency squawk", msg6, test::Record({{2, "5"}, {3, "4CA215"}, {10, "7700"}}), {"!4CA215,1,S"}, false,
         false, {{12, ""}, {18, "7700"}, {19, "-1"}, {20, "-1"}}},
        {"MSG,6 emergency by message", msg6, test::Record({{2, "5"}, {3, "4CA215"}, {10, "0271"}}),
         {"!4ca215,5,M", "!4CA216,1,S"}, false, false, {{12, ""}, {20, "-1"}}},
        {"MSG,6 emergency over", msg6, test::Record({{2, "21"}, {3, "4CA215"}, {10, "0271"}}),
         {"!4CA215,1,S", "!4CA215,0,S"}, false, false, {{12, ""}}},
        {"MSG,7 air-to-air", "MSG,7,496,742,51106E,27929,2011/03/06,07:57:36.523,2011/03/06,07:57:37.054,,3775,,,,,,,,,,0",
         test::Record({{2, "0"}, {3, "51106E"}, {9, "3775"}})},
        {"MSG,8 all-call reply", "MSG,8,496,194,405F4E,27884,2010/02/19,17:58:13.244,2010/02/19,17:58:13.368,,,,,,,,,,,,0",
         test::Record({{2, "11"}, {3, "405F4E"}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> published = test::Split(row.published);
        if (row.surplus)
            published.erase(published.begin() + row.surplus - 1);
        ASSERT_EQ(published.size(), 22u);
        FrozenClock clock(Instant(published[6], published[7]));
        ReceiveChain chain(clock);
        chain.state().RawMode = row.rawMode;
        chain.state().DstFlag = row.dstFlag;
        FeedHub hub(clock);
        test::CaptureSink sink;
        hub.attach(FeedProtocol::Sbs, sink);
        chain.addObserver(&hub);
        for (const std::string& alert : row.alerts)
            chain.received(alert + ";\r\n");
        chain.received(row.record + ";\r\n");

        const std::vector<std::string> lines = sink.lines();
        ASSERT_EQ(lines.size(), 1u) << sink.bytes;
        const std::vector<std::string> ours = test::Split(lines[0]);
        ASSERT_EQ(ours.size(), 22u) << lines[0];
        for (std::size_t i = 0; i < 22; ++i) {
            const int field = int(i) + 1;
            std::string expected = published[i];
            if (field == 3 || field == 4 || field == 6)
                expected = "1"; // BaseStation's database record numbers
            else if (field == 9 || field == 10)
                expected = published[i - 2]; // logged when received
            else if (row.differs.contains(field))
                expected = row.differs.at(field);
            EXPECT_EQ(ours[i], expected) << "field " << field << " of " << lines[0];
        }
    }
}

// A record gives one line per kind of value it carries, and none for what a
// BaseStation client could not take: each line here as its type, its hex
// ident and its fields 11 to 22.
TEST(SbsEncoder, LinesPerRecord)
{
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {test::Record({{2, "20"}, {3, "4ca215"}, {4, "AFR1234"}, {9, "@"}}),
         {"1,4CA215,AFR1234,,,,,,,,,,,", "5,4CA215,,,,,,,,,0,,0,-1"}},
        {test::Record17("4CA215", {{11, "64"}}), {"4,4CA215,,,,,,,64,,,,,"}},
        // Westbound, and just west of north: the track is brought into 0 to 360.
        {test::Record17("4CA215", {{12, "-281"}, {13, "66"}}), {"4,4CA215,,,288.6,283.2,,,,,,,,"}},
        {test::Record17("4CA215", {{12, "-1"}, {13, "2000"}}), {"4,4CA215,,,2000.0,0.0,,,,,,,,"}},
        {test::Record17("4CA215", {{12, "-10"}}), {}},              // half a velocity
        {test::Record17("4CA215", {{14, "270"}, {15, "250"}}), {}}, // heading and airspeed: no ground track
        {test::Record17("4CA215", {{9, "35000"}}), {"3,4CA215,,35000,,,,,,,0,0,0,0"}},
        {test::Record({{2, "18"}, {3, "4CA215"}, {4, "FIRE6"}}), {}}, // not written into the table
        {test::Record({{2, "11"}, {3, "4CA2G5"}}), {}},               // no address BaseStation could show
        {test::Record({{2, "16"}, {3, "0004CA"}, {9, "@"}}), {"7,0004CA,,,,,,,,,,,,-1"}},
        // A carriage return would cut the line in two for its client (found by fuzzing).
        {test::Record({{2, "11"}, {3, "4CA215"}, {4, "4\rCA2D6"}}), {"8,4CA215,,,,,,,,,,,,0"}},
    };
    FrozenClock clock;
    ReceiveChain chain(clock);
    FeedHub hub(clock);
    test::CaptureSink sink;
    hub.attach(FeedProtocol::Sbs, sink);
    chain.addObserver(&hub);
    for (const auto& [record, expected] : rows) {
        SCOPED_TRACE(record);
        sink.bytes.clear();
        chain.received(record + ";\r\n");
        std::vector<std::string> got;
        for (const std::string& line : sink.lines()) {
            const std::vector<std::string> f = test::Split(line);
            std::string text = f.size() == 22 ? f[1] + "," + f[4] : line;
            for (std::size_t i = 10; i < f.size() && f.size() == 22; ++i)
                text += "," + f[i];
            got.push_back(text);
        }
        EXPECT_EQ(got, expected);
    }
}

// The local date and time of UTC instants, in zones as far from UTC as
// there are, and across a change to summer time. One converter per zone:
// the zone of a process does not change while it runs.
TEST(LocalTime, DateAndTimeInTheProcessZone)
{
    const auto at = [](int y, unsigned mo, unsigned d, int h, int mi, int s, int ms) {
        return ToUtcDateTime(sys_days{year{y} / mo / d} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms});
    };
    struct Case {
        const char* zone;
        UtcDateTime utc;
        LocalDateTime local;
    };
    const Case cases[] = {
        {"UTC0", at(2026, 12, 5, 13, 27, 35, 42), {2026, 12, 5, 13, 27, 35, 42}},
        {"JST-9", at(2026, 12, 31, 20, 0, 0, 123), {2027, 1, 1, 5, 0, 0, 123}},
        {"<+14>-14", at(2026, 12, 31, 10, 0, 0, 999), {2027, 1, 1, 0, 0, 0, 999}},
        {"<-10>10", at(2026, 12, 31, 10, 0, 0, 999), {2026, 12, 31, 0, 0, 0, 999}},
        {"<-12>12", at(2028, 3, 1, 6, 30, 0, 0), {2028, 2, 29, 18, 30, 0, 0}},
        {"<+0545>-5:45", at(2026, 6, 1, 18, 14, 59, 500), {2026, 6, 1, 23, 59, 59, 500}},
        {"CET-1CEST,M3.5.0,M10.5.0/3", at(2026, 3, 29, 0, 59, 59, 999), {2026, 3, 29, 1, 59, 59, 999}},
        {"CET-1CEST,M3.5.0,M10.5.0/3", at(2026, 3, 29, 1, 0, 0, 0), {2026, 3, 29, 3, 0, 0, 0}},
        {"CET-1CEST,M3.5.0,M10.5.0/3", at(2026, 3, 29, 1, 0, 59, 999), {2026, 3, 29, 3, 0, 59, 999}},
    };
    std::map<std::string, LocalTime> converters;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        test::SetTimeZone(c.zone);
        const LocalDateTime t = converters[c.zone].of(c.utc);
        EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond}),
                  std::vector<int>({c.local.year, c.local.month, c.local.day, c.local.hour, c.local.minute,
                                    c.local.second, c.local.millisecond}));
    }
}
