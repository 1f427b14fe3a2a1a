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

TEST(FrameDecoder, RecordsThatDoNotReachTheTable)
{
    const std::string frame = "8D4840D6202CC371C32CE0576098";
    struct Row {
        std::string line;
        const char* rawPanel;
    };
    const Row rows[] = {
        {"", "NO RAW DATA MODE"},
        {"+", "NO RAW DATA MODE"},
        {"+" + frame + ",,17,4840D6,,,,,,,,,,,", "NO RAW DATA MODE"},     // 15 fields
        {"+" + frame + ",,17,4840D6,,,,,,,,,,,,,", "NO RAW DATA MODE"},   // 17 fields
        {Record({{0, frame}, {2, "18"}, {3, "4840D6"}}), frame.c_str()},  // DF 18: RAW only
        {Record({{0, frame}, {2, "19"}, {3, "4840D6"}}), frame.c_str()},
        {Record({{2, ""}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {Record({{2, "17x"}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {Record({{2, " 17"}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {Record({{2, "+17"}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {Record({{2, "17.0"}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {Record({{2, "1"}, {3, "4840D6"}}), "NO RAW DATA MODE"},
        {"+" + std::string(5000, ','), "NO RAW DATA MODE"},
    };
    for (const Row& row : rows) {
        CoreHarness h;
        h.state.PosLat[1] = "kept";
        h.decode(row.line);
        EXPECT_TRUE(h.table.empty()) << row.line;
        EXPECT_EQ(h.panels.text(Panel::Raw), row.rawPanel) << row.line;
        EXPECT_EQ(h.state.PosLat[1], "kept") << row.line;
    }
}

TEST(FrameDecoder, AcceptedFormatsAndAnyMarker)
{
    for (const char* df : {"0", "4", "5", "11", "16", "17", "20", "21", "017"}) {
        CoreHarness h;
        h.decode(Record({{2, df}, {3, "4840D6"}}));
        EXPECT_EQ(h.table.size(), 1u) << df;
        EXPECT_FALSE(h.state.TableBusy);
    }
    CoreHarness h;
    h.decode("#,,17,4840D6,,,,,,,,,,,,");
    EXPECT_EQ(h.table.size(), 1u);
}

TEST(FrameDecoder, DecodedPositionGoesToTheLastPosition)
{
    CoreHarness h;
    h.decode(Record17("4840D6", {{6, "0"}, {7, "48.85000"}, {8, "2.35000"}}));
    EXPECT_EQ(h.state.PosLat[1], "48.85000");
    EXPECT_EQ(h.state.PosLon[1], "2.35000");
    // Any accepted record empties it first.
    h.decode(Record17("4840D6", {{13, "100"}}));
    EXPECT_EQ(h.state.PosLat[1], "");
    EXPECT_EQ(h.state.PosLon[1], "");
}

TEST(FrameDecoder, RawPositionsAreDecodedLocally)
{
    CoreHarness h;
    h.state.RawMode = true;
    h.decode(Record17("4840D6", {{6, "1"}, {7, "74158"}, {8, "50194"}}));
    EXPECT_EQ(h.state.PosLat[1], "46.16409");
    EXPECT_EQ(h.state.PosLon[1], "3.44655");
    // The table shows the fields as received.
    EXPECT_EQ(h.cell("4840D6", Column::Lat0), "74158");
    // Halves of the flag round to even: 0.5 is even.
    h.decode(Record17("4840D6", {{6, "0.5"}, {7, "93000"}, {8, "51372"}}));
    EXPECT_EQ(h.state.PosLat[1], "46.25720");
    EXPECT_EQ(h.state.PosLon[1], "3.44140");
}

TEST(FrameDecoder, UndecodableRawPositionsLeaveItEmpty)
{
    for (const char* flag : {"2", "3", "255", "256", "-1", "1e9"}) {
        CoreHarness h;
        h.state.RawMode = true;
        h.decode(Record17("4840D6", {{6, flag}, {7, "74158"}, {8, "50194"}, {9, "35000"}}));
        EXPECT_EQ(h.state.PosLat[1], "") << flag;
        EXPECT_EQ(h.state.PosLon[1], "") << flag;
        EXPECT_FALSE(h.state.TableBusy) << flag;
        EXPECT_EQ(h.cell("4840D6", Column::Alti), "035000") << flag;
        EXPECT_EQ(h.cell("4840D6", Column::Cpr0), flag);
    }
}
