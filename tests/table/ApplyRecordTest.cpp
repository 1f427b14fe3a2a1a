#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "CoreHarness.h"

using namespace telvorn;
using namespace telvorn::test;

namespace {

void ExpectCells(const CoreHarness& h, std::initializer_list<std::pair<Column, const char*>> cells)
{
    for (const auto& [column, text] : cells)
        EXPECT_EQ(h.cell("4840D6", column), text) << "column " << int(column);
}

} // namespace

TEST(ApplyRecord, FirstRecordCreatesTheRowAndLaterOnesCount)
{
    CoreHarness h;
    h.state.FrameTime = "20261205132545123";
    h.decode(Record17("4840D6", {{4, "KLM1023"}, {5, "A3"}}));
    ASSERT_NE(h.row("4840D6"), nullptr);
    ExpectCells(h, {{Column::Numb, "1"}, {Column::Df, "17"}, {Column::Time, "13254512"},
                    {Column::Cont, "Netherlands"}, {Column::Call, "KLM1023"}});
    EXPECT_TRUE(h.row("4840D6")->callColoured);
    EXPECT_FALSE(h.row("4840D6")->squawkColoured);
    EXPECT_FALSE(h.cell("4840D6", Column::Last).empty());
    EXPECT_EQ(h.panels.text(Panel::Prc), "1");

    // A second record without identification keeps the call sign; "N." counts.
    h.decode(Record17("4840D6", {{10, "7000"}}));
    ExpectCells(h, {{Column::Numb, "2"}, {Column::Call, "KLM1023"}, {Column::Cat, "A3"}, {Column::Sqwk, "7000"}});
    EXPECT_TRUE(h.row("4840D6")->squawkColoured);

    // Identification without a category empties the category.
    h.decode(Record17("4840D6", {{4, "KLM1024"}}));
    EXPECT_EQ(h.cell("4840D6", Column::Cat), "");

    h.decode(Record17("3C6444"));
    EXPECT_EQ(h.panels.text(Panel::Prc), "2");
    EXPECT_EQ(h.cell("3C6444", Column::Cont), "Germany");
    // Addresses compare as whole texts: case makes a different row.
    h.decode(Record17("3c6444"));
    EXPECT_EQ(h.table.size(), 3u);
}

// One row through a run of altitudes: the cell padded to six characters
// after any sign, the trend against the altitude before, level within 25 ft.
TEST(ApplyRecord, AltitudeTrendAndPadding)
{
    struct Step {
        const char* altitude;
        const char* cell;
        const char* trend;
    };
    const Step steps[] = {
        {"35000", "035000", ""}, {"35025", "035025", "="}, {"35100", "035100", "^"}, {"35075", "035075", "="},
        {"35049", "035049", "v"}, {"@", "Landed", ""},
        {"1500", "001500", "^"}, // compares against "Landed", which reads as 0
        {"500", "000500", "v"}, {"123456", "123456", "^"}, {"1234567", "1234567", "^"},
        {"-100", "-00100", "v"}, {"-30", "-00030", "^"}, // padded after its sign, reads back as -100
    };
    CoreHarness h;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.altitude);
        h.decode(Record17("4840D6", {{9, s.altitude}}));
        ExpectCells(h, {{Column::Alti, s.cell}, {Column::Altt, s.trend}});
    }
    // Any record without altitude clears the trend and keeps the altitude.
    h.decode(Record17("4840D6", {{13, "120"}}));
    ExpectCells(h, {{Column::Altt, ""}, {Column::Alti, "-00030"}});
}

TEST(ApplyRecord, PositionAndVelocityCells)
{
    CoreHarness h;
    h.decode(Record17("4840D6", {{6, "0"}, {7, "48.85000"}, {8, "2.35000"}, {11, "-640"}, {12, "-120"},
                                 {13, "300"}, {14, "275"}, {15, "320"}}));
    ExpectCells(h, {{Column::Cpr0, "0"}, {Column::Lat0, "48.85000"}, {Column::Lng0, "2.35000"}, {Column::Vrt, "-640"},
                    {Column::Ewv, "-120"}, {Column::Nsv, "300"}, {Column::Mgh, "275"}, {Column::Asp, "320"}});

    // Velocity cells change only with a value; a flag with empty position
    // fields empties both position cells.
    h.decode(Record17("4840D6", {{6, "1"}, {12, "-118"}}));
    ExpectCells(h, {{Column::Cpr0, "1"}, {Column::Lat0, ""}, {Column::Lng0, ""}, {Column::Vrt, "-640"},
                    {Column::Ewv, "-118"}});

    // With the distance flag the distance is written whole, in six digits
    // or more after any sign; the bearing as it came.
    h.state.DstFlag = true;
    for (const auto& [field, cell] : {std::pair{"12.4", "000012"}, {"123.7", "000124"}, {"", "000000"},
                                      {"12.5", "000013"}, {"-5.2", "-000005"}, {"-0.4", "000000"},
                                      {"1234567.8", "1234568"}}) {
        SCOPED_TRACE(field);
        h.decode(Record17("4840D6", {{6, "0"}, {7, field}, {8, "271.5"}}));
        ExpectCells(h, {{Column::Lat0, cell}, {Column::Lng0, "271.5"}});
    }
}
