// The receiver position as "P" stores it and "p" reports it, and the
// commands as the board obeys them; what each does to the output is tested
// through the pseudo-terminal.

#include <gtest/gtest.h>

#include "BoardCommands.h"
#include "BoardTestKit.h"
#include "PositionCode.h"

namespace telvorn::board {
namespace {

using TimePoint = BoardCommands::TimePoint;
const std::string kXoff(1, '\x13');

TEST(PositionCode, EncodesAsTheHostDoes)
{
    const std::pair<double, const char*> rows[] = {
        {48.721710, "004A57EB"}, {2.374030, "00039F5B"}, {-0.5, "FFFF3CB0"},
        {151.2, "00E6B67F"}, // the product lies just below 15120000
        {-180.0, "FEED5780"}, {90.0, "00895440"},
    };
    for (const auto& [degrees, hex] : rows) {
        SCOPED_TRACE(degrees);
        const auto units = PositionUnits(degrees);
        ASSERT_TRUE(units);
        EXPECT_EQ(PositionHex(*units), hex);
        EXPECT_EQ(PositionFromHex(hex), units);
    }
    EXPECT_FALSE(PositionFromHex("004A57E"));
    EXPECT_FALSE(PositionFromHex("004A57EG"));
    EXPECT_FALSE(PositionUnits(30000.0));
}

// Whatever is stored, the "p" reply read back by the host's rule gives the
// stored integers, so the host's position sync is settled after one "P".
TEST(PositionCode, ReplyReadsBackToTheStoredUnits)
{
    for (const std::int32_t units : {0, 1, -1, 4872171, 237403, -50000, 15119999, -18000000, 9000000, -9000000, 99999,
                                     -99999, 100000, -100000}) {
        BoardState state;
        state.latitudeUnits = units;
        state.longitudeUnits = -units;
        EXPECT_EQ(test::ReadPositionReply(BoardCommands::PositionReply(state)), std::make_pair(units, -units)) << units;
    }
}

// Bytes as the host may send them, fed at moments in milliseconds: the
// replies, the stored position and the options set, by their command
// letters ("h" while held).
TEST(BoardCommands, ObeyedAsTheHostSendsThem)
{
    struct Row {
        const char* name;
        std::vector<std::pair<int, std::string>> sent;
        std::int32_t lat = 4872171, lon = 237403;
        const char* flags = "";
        const char* replies = "";
    };
    const Row rows[] = {
        {"asked", {{0, "?p"}}, 4872171, 237403, "", "ADSB 2.8 Telvorn board emulator\r\n|48.721715,2.374035;"},
        {"options", {{0, "wdL" + kXoff + "x0\r\nZz#"}}, 4872171, 237403, "hwdL"}, // the last accepted or ignored
        {"options cleared", {{0, "wdL" + kXoff + "WDl\x11"}}},
        // The host waits 40 ms after "P"; XOFF may come in between; "0" and
        // "D" are digits here, and after the sixteenth digit commands again.
        {"accepted", {{0, "P"}, {40, "FFFF3CB0" + kXoff + "FEED5780"}, {41, "d"}}, -50000, -18000000, "hd"},
        {"lower case", {{0, "P00000001fffffffe"}}, 1, -2},
        // A non-digit ends the set, and is itself obeyed.
        {"broken off", {{0, "P004AL57EB00039F5Bd"}}, 4872171, 237403, "dL"},
        // A pause of more than a second ends it; the late digits are commands.
        {"timed out", {{0, "P00000000"}, {1500, "0000000d"}}, 4872171, 237403, "d"},
        {"off the globe", {{0, "P0089544100000000"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BoardCommands commands(FirmwareIdentity{}, BoardState{});
        std::string replies;
        for (const auto& [ms, bytes] : row.sent)
            replies += commands.feed(bytes, TimePoint{} + std::chrono::milliseconds(10000 + ms));
        const BoardState& s = commands.state();
        EXPECT_EQ(s.latitudeUnits, row.lat);
        EXPECT_EQ(s.longitudeUnits, row.lon);
        EXPECT_EQ(std::string(s.held ? "h" : "") + (s.rawFrames ? "w" : "") + (s.distance ? "d" : "") +
                      (s.rawPosition ? "L" : ""),
                  row.flags);
        EXPECT_EQ(replies, row.replies);
    }
}

} // namespace
} // namespace telvorn::board
