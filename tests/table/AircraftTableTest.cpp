#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "CoreHarness.h"
#include "table/ColumnSort.h"
#include "table/Common.h"
#include "text/NumberText.h"
#include "table/StalePurge.h"

using namespace telvorn;
using namespace telvorn::test;

namespace {

// The order a full sort of the rows gives: the reference the table's
// incremental order must match after every change.
std::vector<std::string> ReferenceOrder(const AircraftTable& table)
{
    std::vector<const AircraftRow*> rows;
    table.forEachRow([&](RowId, const AircraftRow& row) { rows.push_back(&row); });
    const std::size_t c = std::size_t(table.sortColumn());
    const bool numeric = table.columns()[c].numeric;
    std::sort(rows.begin(), rows.end(),
              [&](const AircraftRow* a, const AircraftRow* b) { return RowBefore(*a, *b, c, numeric); });
    std::vector<std::string> out;
    for (const AircraftRow* r : rows)
        out.push_back((*r)[Column::Icao]);
    return out;
}

std::vector<std::string> TableOrder(const AircraftTable& table)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < table.size(); ++i)
        out.push_back(table.rowAt(i)[Column::Icao]);
    return out;
}

// Replays the observer's notifications on a plain list, as a view would.
struct MirrorView : TableObserver {
    const AircraftTable* table = nullptr;
    std::vector<std::string> rows;
    void rowInserted(std::size_t p) override { rows.insert(rows.begin() + long(p), table->rowAt(p)[Column::Icao]); }
    void rowRemoved(std::size_t p) override { rows.erase(rows.begin() + long(p)); }
    void rowMoved(std::size_t from, std::size_t to) override
    {
        rows.erase(rows.begin() + long(from));
        rowInserted(to);
    }
    void orderReset() override { rows = TableOrder(*table); }
};

} // namespace

TEST(AircraftTable, IncrementalOrderMatchesAFullSortUnderRandomTraffic)
{
    std::mt19937 random(1234);
    for (int column : {2, 3, 0, 8, 5, 13, 18}) {
        SCOPED_TRACE(column);
        CoreHarness h;
        MirrorView view;
        view.table = &h.table;
        h.table.setObserver(&view);
        h.table.setSortColumn(column);
        std::uniform_int_distribution<int> pick(0, 59);
        std::uniform_int_distribution<int> value(-50, 50);
        for (int step = 0; step < 600; ++step) {
            char address[8];
            std::snprintf(address, sizeof address, "%06X", 0x400000 + pick(random) * 7919);
            const int v = value(random);
            const std::string text = v % 5 == 0 ? "" : std::to_string(v);
            h.clock.advance(std::chrono::milliseconds(10 * pick(random)));
            h.state.FrameTime = GetUTCStamp(h.clock);
            h.decode(Record17(address, {{4, v % 3 ? "CALL" + text : ""}, {9, text}, {13, text}}));
            if (step % 97 == 96) {
                h.clock.advance(std::chrono::seconds(120));
                TimerClean_Timer(h.table, h.panels, h.state, h.clock);
            }
            ASSERT_EQ(TableOrder(h.table), ReferenceOrder(h.table)) << "after step " << step;
            ASSERT_EQ(view.rows, TableOrder(h.table)) << "observer out of step after " << step;
        }
        for (std::size_t i = 0; i < h.table.size(); ++i)
            ASSERT_EQ(h.table.positionOf(h.table.idAt(i)), i);
    }
}

TEST(AircraftTable, NumericColumnsSortByValueAndTextColumnsByBytes)
{
    CoreHarness h;
    h.decode(Record17("AAAAA1", {{15, "9"}}));
    h.decode(Record17("AAAAA2", {{15, "10"}}));
    h.decode(Record17("AAAAA3", {{15, ""}}));
    h.decode(Record17("AAAAA4", {{15, "-3"}}));
    h.decode(Record17("AAAAA0", {{15, "9"}}));
    ListView_ColumnClick(h.table, h.state, 18); // "ASP"
    EXPECT_EQ(h.state.SortColumn, 17);
    const std::vector<std::string> bySpeed{"AAAAA3", "AAAAA4", "AAAAA0", "AAAAA1", "AAAAA2"};
    EXPECT_EQ(TableOrder(h.table), bySpeed);
    // A second click on the same header keeps the ascending order.
    ListView_ColumnClick(h.table, h.state, 18);
    EXPECT_EQ(TableOrder(h.table), bySpeed);

    ListView_ColumnClick(h.table, h.state, 4); // "ICAO": byte order
    EXPECT_EQ(TableOrder(h.table), (std::vector<std::string>{"AAAAA0", "AAAAA1", "AAAAA2", "AAAAA3", "AAAAA4"}));

    // Clicks outside the header row change nothing.
    ListView_ColumnClick(h.table, h.state, 0);
    ListView_ColumnClick(h.table, h.state, 20);
    EXPECT_EQ(h.state.SortColumn, 3);
    EXPECT_EQ(ValidSortColumn(-1), 2);
    EXPECT_EQ(ValidSortColumn(19), 2);
    EXPECT_EQ(ValidSortColumn(18), 18);
}

TEST(AircraftTable, DefaultSortIsByTimeSoTheLatestRecordIsLast)
{
    CoreHarness h;
    for (const char* address : {"4840D6", "3C6444", "A00001", "4840D6"}) {
        h.clock.advance(std::chrono::milliseconds(250));
        h.state.FrameTime = GetUTCStamp(h.clock);
        h.decode(Record17(address));
    }
    EXPECT_EQ(TableOrder(h.table), (std::vector<std::string>{"3C6444", "A00001", "4840D6"}));
    EXPECT_EQ(h.table.selected(), h.table.FindAircraftRow("4840D6"));
}
