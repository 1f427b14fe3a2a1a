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
        const char* address;
        const char* last;
        bool stays;
    };
    // Now is 10000 seconds into the day.
    const Row rows[] = {
        {"000001", "9820", true},       // 180
        {"000002", "9819", false},      // 181
        {"000003", "9819.5", true},     // 180.5 rounds to 180
        {"000004", "9818.5", false},    // 181.5 rounds to 182
        {"000010", "9819.4", false},    // 180.6 rounds to 181: the age is rounded, not cut
        {"000005", "9999.9", true},
        {"000006", "86390", false},      // before midnight: 10010 s old
        {"000007", "not a time", false},
        {"000008", "", false},
        {"000009", "1e300", false},     // no time of day: would never age out
    };
    CoreHarness h;
    for (const Row& row : rows) {
        h.decode(Record17(row.address));
        h.table.setCell(*h.table.FindAircraftRow(row.address), Column::Last, row.last);
    }
    DayClock clock;
    clock.seconds = 10000.0;
    TimerClean_Timer(h.table, h.panels, h.state, clock);
    for (const Row& row : rows)
        EXPECT_EQ(h.row(row.address) != nullptr, row.stays) << row.address;
    EXPECT_EQ(h.panels.text(Panel::Prc), "3");
}

TEST(StalePurge, RowsFromBeforeMidnightAgeAcrossIt)
{
    EXPECT_EQ(RowAge(100.0, 86390.0), 110.0);
    EXPECT_EQ(RowAge(200.0, 86390.0), 210.0);
    EXPECT_EQ(RowAge(10.0, 5.0), 5.0);

    CoreHarness h;
    h.decode(Record17("4840D6"));
    h.table.setCell(*h.table.FindAircraftRow("4840D6"), Column::Last, "86350.5");
    DayClock clock;
    clock.seconds = 100.0; // 149.5 s later, across midnight
    TimerClean_Timer(h.table, h.panels, h.state, clock);
    EXPECT_NE(h.row("4840D6"), nullptr);
    clock.seconds = 140.0; // 189.5 s later
    TimerClean_Timer(h.table, h.panels, h.state, clock);
    EXPECT_EQ(h.row("4840D6"), nullptr);
}

TEST(StalePurge, BusyTableAndEmptyTable)
{
    CoreHarness h;
    DayClock clock;
    TimerClean_Timer(h.table, h.panels, h.state, clock);
    EXPECT_EQ(h.panels.text(Panel::Prc), "0");

    h.decode(Record17("4840D6"));
    h.table.setCell(*h.table.FindAircraftRow("4840D6"), Column::Last, "0");
    clock.seconds = 5000.0;
    h.panels.setText(Panel::Prc, "unchanged");
    h.state.TableBusy = true;
    EXPECT_EQ(TimerClean_Timer(h.table, h.panels, h.state, clock), 0u);
    EXPECT_EQ(h.table.size(), 1u);
    EXPECT_EQ(h.panels.text(Panel::Prc), "unchanged");

    h.state.TableBusy = false;
    EXPECT_EQ(TimerClean_Timer(h.table, h.panels, h.state, clock), 1u);
    EXPECT_EQ(h.panels.text(Panel::Prc), "0");
}

TEST(StalePurge, APurgedAddressComesBackAsANewRow)
{
    CoreHarness h;
    h.decode(Record17("4840D6", {{4, "KLM1023"}, {9, "35000"}, {10, "1000"}}));
    h.decode(Record17("4840D6"));
    h.clock.advance(std::chrono::seconds(200));
    TimerClean_Timer(h.table, h.panels, h.state, h.clock);
    ASSERT_EQ(h.row("4840D6"), nullptr);

    h.decode(Record17("4840D6", {{13, "250"}}));
    const AircraftRow* row = h.row("4840D6");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ((*row)[Column::Numb], "1");
    EXPECT_EQ((*row)[Column::Call], "");
    EXPECT_EQ((*row)[Column::Alti], "");
    EXPECT_EQ((*row)[Column::Sqwk], "");
    EXPECT_FALSE(row->callColoured);
    EXPECT_EQ((*row)[Column::Nsv], "250");
}
