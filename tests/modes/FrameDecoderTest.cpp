#include <gtest/gtest.h>

#include "CoreHarness.h"

using namespace telvorn;
using namespace telvorn::test;

TEST(FrameDecoder, FrameLinesAreCountedAndNothingElse)
{
    CoreHarness h;
    h.decode("*8D4840D6202CC371C32CE0576098");
    h.decode("-5D4840D6");
    EXPECT_EQ(h.panels.text(Panel::Crc), "2");
    h.panels.setText(Panel::Crc, "41");
    h.decode("*");
    EXPECT_EQ(h.panels.text(Panel::Crc), "42");
    EXPECT_TRUE(h.table.empty());
    EXPECT_EQ(h.panels.text(Panel::Raw), "NO RAW DATA MODE");
}

// Sixteen fields behind any marker, of an accepted downlink format, make a
// row; the RAW panel shows the frame of every record that splits.
TEST(FrameDecoder, RecordsThatReachTheTableAndThoseThatDoNot)
{
    const std::string frame = "8D4840D6202CC371C32CE0576098";
    const char* none = "NO RAW DATA MODE";
    auto df = [](const char* format) { return Record({{2, format}, {3, "4840D6"}}); };
    struct Row {
        std::string line;
        std::size_t rows;
        const char* rawPanel;
    };
    const Row rows[] = {
        {"", 0, none}, {"+", 0, none}, {"+" + std::string(5000, ','), 0, none},
        {"+" + frame + ",,17,4840D6,,,,,,,,,,,", 0, none},   // 15 fields
        {"+" + frame + ",,17,4840D6,,,,,,,,,,,,,", 0, none}, // 17 fields
        {"#" + frame + ",,17,4840D6,,,,,,,,,,,,", 1, frame.c_str()},
        {Record({{0, frame}, {2, "18"}, {3, "4840D6"}}), 0, frame.c_str()},
        {Record({{0, frame}, {2, "19"}, {3, "4840D6"}}), 0, frame.c_str()},
        {df("0"), 1, none}, {df("4"), 1, none}, {df("5"), 1, none}, {df("11"), 1, none}, {df("16"), 1, none},
        {df("20"), 1, none}, {df("21"), 1, none}, {df("017"), 1, none},
        {df(""), 0, none}, {df("17x"), 0, none}, {df(" 17"), 0, none}, {df("+17"), 0, none}, {df("17.0"), 0, none},
        {df("1"), 0, none},
    };
    for (const Row& row : rows) {
        CoreHarness h;
        h.state.PosLat[1] = "kept";
        h.decode(row.line);
        EXPECT_EQ(h.table.size(), row.rows) << row.line;
        EXPECT_EQ(h.panels.text(Panel::Raw), row.rawPanel) << row.line;
        EXPECT_EQ(h.state.PosLat[1], row.rows ? "" : "kept") << row.line;
        EXPECT_FALSE(h.state.TableBusy) << row.line;
    }
}

// The last position, as the tracks read it: the fields as sent, or in raw
// output their local decode; empty after any record that has none. The
// table's cells show the fields as received either way.
TEST(FrameDecoder, LastPositionOfEachRecord)
{
    struct Row {
        bool raw;
        const char *flag, *lat, *lon, *lastLat, *lastLon;
    };
    const Row rows[] = {
        {false, "0", "48.85000", "2.35000", "48.85000", "2.35000"},
        {false, "", "48.85000", "2.35000", "", ""},
        {true, "1", "74158", "50194", "46.16409", "3.44655"},
        {true, "0.5", "93000", "51372", "46.25720", "3.44140"}, // halves of the flag round to even
        {true, "2", "74158", "50194", "", ""},
        {true, "256", "74158", "50194", "", ""},
        {true, "-1", "74158", "50194", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flag);
        CoreHarness h;
        h.state.RawMode = row.raw;
        h.state.PosLat[1] = h.state.PosLon[1] = "old";
        h.decode(Record17("4840D6", {{6, row.flag}, {7, row.lat}, {8, row.lon}, {9, "35000"}}));
        EXPECT_EQ(h.state.PosLat[1], row.lastLat);
        EXPECT_EQ(h.state.PosLon[1], row.lastLon);
        EXPECT_EQ(h.cell("4840D6", Column::Lat0), *row.flag ? row.lat : "");
        EXPECT_EQ(h.cell("4840D6", Column::Alti), "035000");
    }
}
