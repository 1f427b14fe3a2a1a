#include <gtest/gtest.h>

#include "CoreHarness.h"
#include "table/StalePurge.h"

using namespace telvorn;
using namespace telvorn::test;

namespace {

// A clock that reports a chosen local time of day.
struct DayClock : Clock {
    double seconds = 0.0;
    UtcDateTime utcNow() const override { return {}; }
    double localSecondsOfDay() const override { return seconds; }
};

} // namespace

TEST(StalePurge, RemovesRowsOlderThanThreeMinutesAfterRounding)
{
    struct Row {
        double now;
        const char* last;
        bool stays;
    };
    const Row rows[] = {
        {10000, "9820", true},        // 180 s old
        {10000, "9819", false},       // 181
        {10000, "9819.5", true},      // 180.5 rounds to 180
        {10000, "9818.5", false},     // 181.5 rounds to 182
        {10000, "9819.4", false},     // 180.6 rounds to 181: the age is rounded, not cut
        {10000, "86390", false},      // heard before midnight: 10010 s old
        {100, "86350.5", true},       // 149.5 s old, across midnight
        {140, "86350.5", false},      // 189.5
        {100, "100", true},           // heard this instant
        {100, "-5", false},           // no time of day, whatever its age would be
        {10000, "not a time", false},
        {10000, "", false},
        {10000, "1e300", false},      // would never age out
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.now) + " " + row.last);
        CoreHarness h;
        h.decode(Record17("4840D6"));
        h.table.setCell(*h.table.FindAircraftRow("4840D6"), Column::Last, row.last);
        DayClock clock;
        clock.seconds = row.now;
        TimerClean_Timer(h.table, h.panels, h.state, clock);
        EXPECT_EQ(h.row("4840D6") != nullptr, row.stays);
        EXPECT_EQ(h.panels.text(Panel::Prc), row.stays ? "1" : "0");
    }
}

TEST(StalePurge, BusyTableAndEmptyTable)
{
    CoreHarness h;
    DayClock clock;
    TimerClean_Timer(h.table, h.panels, h.state, clock);
    EXPECT_EQ(h.panels.text(Panel::Prc), "0");

    for (const char* address : {"000001", "000002", "000003"}) {
        h.decode(Record17(address));
        h.table.setCell(*h.table.FindAircraftRow(address), Column::Last, address[5] == '2' ? "4990" : "0");
    }
    clock.seconds = 5000.0;
    h.panels.setText(Panel::Prc, "unchanged");
    h.state.TableBusy = true;
    EXPECT_EQ(TimerClean_Timer(h.table, h.panels, h.state, clock), 0u);
    EXPECT_EQ(h.table.size(), 3u);
    EXPECT_EQ(h.panels.text(Panel::Prc), "unchanged");

    h.state.TableBusy = false;
    EXPECT_EQ(TimerClean_Timer(h.table, h.panels, h.state, clock), 2u);
    EXPECT_NE(h.row("000002"), nullptr);
    EXPECT_EQ(h.panels.text(Panel::Prc), "1");
}
