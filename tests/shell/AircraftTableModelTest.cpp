// The model adapter follows the core table exactly, in batches.
#include <gtest/gtest.h>

#include <random>

#include <QAbstractItemModelTester>

#include "CoreHarness.h"
#include "shell/AircraftTableModel.h"
#include "table/StalePurge.h"

namespace telvorn {
namespace {

void ExpectSameAsCore(const AircraftTableModel& model, const AircraftTable& table, int step)
{
    ASSERT_EQ(std::size_t(model.rowCount()), table.size()) << "step " << step;
    for (std::size_t r = 0; r < table.size(); ++r) {
        ASSERT_EQ(model.idAt(int(r)), table.idAt(r)) << "step " << step << " row " << r;
        for (std::size_t c = 0; c < kColumnCount; ++c)
            ASSERT_EQ(model.index(int(r), int(c)).data().toString().toStdString(), table.rowAt(r).cells[c]) << step;
    }
}

TEST(AircraftTableModel, FollowsInsertsMovesRemovalsAndResortsExactly)
{
    test::CoreHarness core;
    AircraftTableModel model(core.table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    std::mt19937 random(3);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int step = 0; step < 300; ++step) {
        const int records = 1 + pick(12);
        for (int i = 0; i < records; ++i) {
            char address[8];
            std::snprintf(address, sizeof address, "%06X", 0x3C0000 + pick(40));
            core.decode(test::Record17(address, {{9, std::to_string(1000 + pick(300) * 25)},
                                                  {4, pick(3) == 0 ? "AFR" + std::to_string(pick(99)) : ""}}));
            core.clock.advance(std::chrono::milliseconds(50 + pick(4000)));
        }
        if (pick(10) == 0)
            TimerClean_Timer(core.table, core.panels, core.state, core.clock); // purge, ids set free
        if (pick(25) == 0)
            core.table.setSortColumn(pick(int(kColumnCount)));
        if (pick(3) != 0) {
            model.flush();
            ExpectSameAsCore(model, core.table, step);
        }
    }
    model.flush();
    ExpectSameAsCore(model, core.table, -1);
}

TEST(AircraftTableModel, ShowsARowPurgedAndItsIdReusedInOneBatchRight)
{
    test::CoreHarness core;
    AircraftTableModel model(core.table);
    core.decode(test::Record17("4840D6", {{4, "KLM1"}, {10, "7700"}}));
    model.flush();
    core.clock.advance(std::chrono::seconds(200));
    TimerClean_Timer(core.table, core.panels, core.state, core.clock);
    core.decode(test::Record17("3C6444"));
    ASSERT_EQ(core.table.FindAircraftRow("3C6444"), model.idAt(0)) << "the new address took the freed id";
    EXPECT_EQ(model.index(0, int(Index(Column::Icao))).data().toString(), "4840D6") << "until the next flush";
    model.flush();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, int(Index(Column::Icao))).data().toString(), "3C6444");
    EXPECT_EQ(model.index(0, int(Index(Column::Call))).data().toString(), "");
    EXPECT_EQ(model.displayRowOf(*core.table.FindAircraftRow("3C6444")), 0);
}

} // namespace
} // namespace telvorn
