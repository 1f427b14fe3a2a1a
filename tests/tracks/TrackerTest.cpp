#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "CoreHarness.h"
#include "receiver/ReceiveChain.h"
#include "table/Common.h"

using namespace telvorn;
using test::Record17;

namespace {

// The receive path as the window runs it, on a frozen clock that the test moves.
struct Chain {
    FrozenClock clock{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{13}};
    ReceiveChain chain{clock};

    Chain(bool rawMode = false, bool distance = false, const char* lat = "48.721710", const char* lon = "2.374030")
    {
        chain.state().RawMode = rawMode;
        chain.state().DstFlag = distance;
        chain.state().PosLat[0] = lat;
        chain.state().PosLon[0] = lon;
        chain.SetupColumns();
        chain.applyReference();
    }
    void line(const std::string& text) { chain.received(text + ";\r\n"); }
    void after(double seconds, const std::string& text)
    {
        clock.advance(std::chrono::milliseconds(std::llround(seconds * 1000)));
        line(text);
    }
    const AircraftTrack* track(std::string_view address) const
    {
        const std::optional<RowId> id = chain.table().FindAircraftRow(address);
        return id ? chain.tracker().track(*id) : nullptr;
    }
};

std::string At(const char* flag, const char* a, const char* b)
{
    return Record17("4840D6", {{6, flag}, {7, a}, {8, b}});
}

// One degree of a great circle on the program's sphere.
const double kDegreeNm = kEarthRadiusNm * std::numbers::pi / 180.0;

} // namespace

TEST(Tracker, KeepsThePositionOfEachRecordInEachMode)
{
    struct Row {
        const char* name;
        bool raw, distance;
        const char *refLat, *refLon;
        std::string record;
        std::optional<GeoPoint> expected;
    };
    const std::string degree = std::to_string(kDegreeNm);
    const char* d = degree.c_str();
    const char *lat = "48.72171", *lon = "2.37403";
    const Row rows[] = {
        {"decoded", false, false, lat, lon, At("0", "48.85000", "2.35000"), GeoPoint{48.85, 2.35}},
        // The locally referenced decode of a published odd message.
        {"raw", true, false, lat, lon, At("1", "74158", "50194"), GeoPoint{46.16409, 3.44655}},
        // Raw output wins over the distance flag, as on the board.
        {"raw with distance flag", true, true, lat, lon, At("0", "93000", "51372"), GeoPoint{46.25720, 3.44140}},
        // A local decode lies within half a zone of the reference, here past 180 east.
        {"raw past the antimeridian", true, false, "0", "179.99", At("0", "0", "66847"),
         GeoPoint{0.0, (29 + 66847 / 131072.0) * 360.0 / 59.0 - 360.0}},
        {"distance east on the equator", false, true, "0", "0", At("0", d, "90"), GeoPoint{0.0, 1.0}},
        {"distance south", false, true, "0.0000", "10 E", At("0", d, "180"), GeoPoint{-1.0, 10.0}},
        {"no position fields", false, false, lat, lon, Record17("4840D6", {{9, "35000"}}), std::nullopt},
        {"latitude past the pole", false, false, lat, lon, At("0", "90.5", "2.0"), std::nullopt},
        {"longitude out of range", false, false, lat, lon, At("0", "48.0", "180.5"), std::nullopt},
        {"no number", false, false, lat, lon, At("0", "abc", "2.0"), std::nullopt},
        {"infinite", false, false, lat, lon, At("0", "1e999", "2.0"), std::nullopt},
        {"negative distance", false, true, "48.5", "2.0", At("0", "-1", "10"), std::nullopt},
        {"distance beyond the antipode", false, true, "48.5", "2.0", At("0", "10900", "10"), std::nullopt},
        {"bearing out of range", false, true, "48.5", "2.0", At("0", "10", "361"), std::nullopt},
        {"receiver off the earth", false, true, "95", "2.0", At("0", "10", "10"), std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Chain c(row.raw, row.distance, row.refLat, row.refLon);
        c.line(row.record);
        const AircraftTrack* track = c.track("4840D6");
        ASSERT_NE(track, nullptr);
        ASSERT_EQ(track->position().has_value(), row.expected.has_value());
        if (row.expected) {
            EXPECT_NEAR(track->position()->lat, row.expected->lat, 1e-6);
            EXPECT_NEAR(track->position()->lon, row.expected->lon, 1e-6);
        }
    }

    // A nonsense record leaves the last good position in place.
    Chain c;
    c.line(At("0", "48.85000", "2.35000"));
    c.after(1, At("0", "99", "2.35000"));
    EXPECT_NEAR(c.track("4840D6")->position()->lat, 48.85, 1e-9);
}

// Over the ground from the velocity (east, north), else the magnetic heading.
TEST(Tracker, TrackFromTheVelocityElseTheMagneticHeading)
{
    struct Row {
        const char *east, *north, *heading;
        std::optional<double> track;
    };
    const Row rows[] = {
        {"400", "0", "", 90.0}, {"0", "-400", "", 180.0}, {"-300", "300", "", 315.0}, {"-300", "300", "10.0", 315.0},
        {"", "", "42.5", 42.5}, {"0", "0", "370", 10.0}, {"", "", "", std::nullopt},
    };
    for (const Row& row : rows) {
        Chain c;
        c.line(Record17("4840D6", {{9, "35000"}, {12, row.east}, {13, row.north}, {14, row.heading}}));
        EXPECT_EQ(c.track("4840D6")->track(), row.track) << row.east << " " << row.north << " " << row.heading;
    }
    // The components may come in different records: the cells keep the latest of each.
    Chain c;
    c.line(Record17("4840D6", {{12, "100"}, {13, "100"}}));
    c.line(Record17("4840D6", {{13, "-100"}}));
    EXPECT_EQ(c.track("4840D6")->track(), 135.0);
}

TEST(Tracker, TrailIsBoundedInCountAndAge)
{
    Chain c;
    // A position every second for ten minutes, moving north.
    c.line(At("0", "48.0", "2.0"));
    const double start = UTCStampSeconds(c.chain.state().FrameTime).value_or(-1);
    for (int s = 1; s < 600; ++s)
        c.after(1.0, At("0", std::to_string(48.0 + s * 0.001).c_str(), "2.0"));
    const AircraftTrack* t = c.track("4840D6");
    ASSERT_NE(t, nullptr);
    EXPECT_DOUBLE_EQ(t->lastHeard(), start + 599.0);
    EXPECT_NEAR(t->position()->lat, 48.599, 1e-9);
    ASSERT_GT(t->trailSize(), 1u);
    EXPECT_LE(t->trailSize(), AircraftTrack::kTrailPoints);
    EXPECT_LE(t->lastHeard() - t->trailPoint(0).time, AircraftTrack::kTrailAge);
    EXPECT_GE(t->lastHeard() - t->trailPoint(0).time, AircraftTrack::kTrailAge - 2 * AircraftTrack::kTrailSpacing);
    for (std::size_t i = 1; i < t->trailSize(); ++i)
        EXPECT_GE(t->trailPoint(i).time - t->trailPoint(i - 1).time, AircraftTrack::kTrailSpacing) << i;
    EXPECT_LT(t->positionTime() - t->trailPoint(t->trailSize() - 1).time, AircraftTrack::kTrailSpacing);

    // Heard without positions, the trail ages away; the position stays.
    for (int s = 0; s < 10; ++s)
        c.after(20.0, Record17("4840D6", {{9, "35000"}}));
    EXPECT_EQ(t->trailSize(), 0u);
    EXPECT_TRUE(t->position());

    // A clock set back starts the trail again rather than leaving it out of order.
    c.after(1.0, At("0", "48.0", "2.0"));
    c.after(10.0, At("0", "48.1", "2.0"));
    c.after(-3600.0, At("0", "48.2", "2.0"));
    EXPECT_EQ(t->trailSize(), 1u);
    EXPECT_NEAR(t->trailPoint(0).position.lat, 48.2, 1e-5);
}

// One aircraft through a run of squawks and alert lines; after each line,
// the tooltip a view shows (empty: no emergency).
TEST(EmergencyWatch, FollowsTheSquawkAndTheAlertLines)
{
    Chain c;
    auto squawk = [](const char* code) { return Record17("4840D6", {{10, code}}); };
    struct Step {
        std::string line;
        const char* text;
    };
    const Step steps[] = {
        {squawk("1200"), ""},
        {squawk("7700"), "general emergency"},
        {Record17("4840D6", {{9, "35000"}}), "general emergency"}, // no squawk in the record: unchanged
        {squawk("7600"), "radio failure"},
        {squawk("7500"), "hijack"},
        {squawk("1000"), ""},
        {"!4840D6,5,M", "Unlawful Intercept"},
        {squawk("7700"), "Unlawful Intercept"}, // the alert's text comes first
        {"!4840D6,0,M", "general emergency"},   // code 0 ends the alert, the squawk stays
        {squawk("2000"), ""},
        {"!4840d6 ,3,M,extra", "Minimum Fuel"}, // the address in another case, with a blank
        {"!4840D6,2,X", "Lifeguard/Medical"},
        {"!4840D6,6,M", ""}, // "Reserved" is no emergency, and replaces the one before
        {"!4840D6,8,M", "Military Interceptor"},
        {"!4840D6,9,M", ""},
        {"!4840D6,1,M", "General Emergency"},
        {"!4840D6,01,M", ""},
        {"!4840D6,4", ""}, // too few fields: ignored
        {"!4840D6,4,S", "No Communications"},
        {squawk("2000"), "No Communications"}, // the same squawk again
        {squawk("2001"), ""},                  // the squawk the board took it from changed
        {"!4840D6,1,M", "General Emergency"},
        {squawk("3000"), "General Emergency"}, // a Mode S alert does not follow the squawk
        {"!ABCDEF,0,M", "General Emergency"},  // another address, with no row
    };
    for (const Step& step : steps) {
        c.line(step.line);
        const RowId row = *c.chain.table().FindAircraftRow("4840D6");
        EXPECT_EQ(c.chain.tracker().emergencyText(row), step.text) << step.line;
        EXPECT_EQ(c.chain.tracker().inEmergency(row), *step.text != '\0') << step.line;
    }
    // The status bar's alert panel stays the decoder's own.
    EXPECT_EQ(c.chain.panels().text(Panel::Alt), "ABCDEF (MODE-S) No Emergency");
    EXPECT_FALSE(c.chain.table().FindAircraftRow("ABCDEF"));
}

TEST(Tracker, PurgeTakesTheTrackAndTheEmergencyWithTheRow)
{
    Chain c;
    c.line(Record17("4840D6", {{4, "KLM1023"}, {6, "0"}, {7, "48.85"}, {8, "2.35"}, {9, "35000"}, {10, "7700"},
                               {12, "100"}, {13, "0"}}));
    c.line(Record17("3C6444", {{6, "0"}, {7, "50.0"}, {8, "8.0"}}));
    c.line("!3C6444,3,M");
    const RowId first = *c.chain.table().FindAircraftRow("4840D6");
    const RowId second = *c.chain.table().FindAircraftRow("3C6444");
    ASSERT_TRUE(c.chain.tracker().inEmergency(first));
    ASSERT_TRUE(c.chain.tracker().inEmergency(second));

    c.clock.advance(std::chrono::seconds(100));
    c.line(Record17("3C6444"));
    c.clock.advance(std::chrono::seconds(100));
    ASSERT_EQ(c.chain.TimerClean_Timer(), 1u);
    EXPECT_EQ(c.chain.tracker().track(first), nullptr);
    EXPECT_FALSE(c.chain.tracker().inEmergency(first));
    EXPECT_NE(c.chain.tracker().track(second), nullptr);
    EXPECT_EQ(c.chain.tracker().emergencyText(second), "Minimum Fuel");
    int tracks = 0;
    c.chain.tracker().forEachTrack([&](RowId id, const AircraftTrack&) { tracks += id == second ? 1 : 100; });
    EXPECT_EQ(tracks, 1);

    // The address comes back, in whatever slot: nothing of its old life, in
    // the cells (the east velocity would give a track) or beside them.
    c.line(Record17("4840D6", {{13, "250"}}));
    const RowId again = *c.chain.table().FindAircraftRow("4840D6");
    const AircraftRow& row = c.chain.table().row(again);
    for (Column column : {Column::Call, Column::Alti, Column::Sqwk, Column::Ewv})
        EXPECT_EQ(row[column], "") << int(column);
    EXPECT_EQ(row[Column::Numb], "1");
    EXPECT_FALSE(row.callColoured || row.squawkColoured);
    const AircraftTrack* t = c.chain.tracker().track(again);
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(t->position());
    EXPECT_FALSE(t->track());
    EXPECT_EQ(t->trailSize(), 0u);
    EXPECT_FALSE(c.chain.tracker().inEmergency(again));
}
