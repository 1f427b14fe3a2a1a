#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "BoardCommands.h"
#include "PositionCode.h"

namespace telvorn::board {
namespace {

using namespace std::chrono_literals;
using TimePoint = BoardCommands::TimePoint;

constexpr char kXon = 17;
constexpr char kXoff = 19;

// Host-side reading of a "p" reply: the numbers between "|" and "," and
// after ",", less the final character, each floored at 0.00001 degree.
std::pair<std::int32_t, std::int32_t> ReadPositionReply(const std::string& reply)
{
    const std::size_t comma = reply.find(',');
    const double lat = std::strtod(reply.substr(1, comma - 1).c_str(), nullptr);
    const double lon = std::strtod(reply.substr(comma + 1, reply.size() - comma - 2).c_str(), nullptr);
    return {std::int32_t(std::floor(lat * 100000.0)), std::int32_t(std::floor(lon * 100000.0))};
}

TEST(PositionCode, EncodesAsTheHostDoes)
{
    struct Row {
        double degrees;
        const char* hex;
    };
    const Row rows[] = {
        {48.721710, "004A57EB"}, {2.374030, "00039F5B"}, {-0.5, "FFFF3CB0"},
        {151.2, "00E6B67F"}, // the product lies just below 15120000
        {-180.0, "FEED5780"}, {90.0, "00895440"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.degrees);
        const auto units = PositionUnits(row.degrees);
        ASSERT_TRUE(units);
        EXPECT_EQ(PositionHex(*units), row.hex);
        EXPECT_EQ(PositionFromHex(row.hex), units);
    }
    EXPECT_EQ(PositionFromHex("004a57eb"), 4872171);
    EXPECT_FALSE(PositionFromHex("004A57E"));
    EXPECT_FALSE(PositionFromHex("004A57EG"));
    EXPECT_FALSE(PositionUnits(30000.0));
}

// Whatever is stored, the "p" reply read back by the host's rule gives the
// stored integers, so the host's position sync is settled after one "P".
TEST(PositionCode, ReplyReadsBackToTheStoredUnits)
{
    const std::int32_t samples[] = {0, 1, -1, 4872171, 237403, -50000, 15119999, -18000000, 9000000, -9000000, 99999,
                                    -99999, 100000, -100000};
    for (const std::int32_t units : samples) {
        SCOPED_TRACE(units);
        BoardState state;
        state.latitudeUnits = units;
        state.longitudeUnits = -units;
        const auto [lat, lon] = ReadPositionReply(BoardCommands::PositionReply(state));
        EXPECT_EQ(lat, units);
        EXPECT_EQ(lon, -units);
    }
    EXPECT_EQ(PositionText(-1), "-0.000005");
}

class BoardCommandsTest : public testing::Test {
protected:
    std::string feed(std::string_view bytes, TimePoint at = TimePoint{} + 1s) { return commands.feed(bytes, at); }
    BoardCommands commands{FirmwareIdentity{}, BoardState{}};
};

TEST_F(BoardCommandsTest, OutputOptionsFollowTheirCommands)
{
    EXPECT_EQ(feed("wdL"), "");
    EXPECT_TRUE(commands.state().rawFrames);
    EXPECT_TRUE(commands.state().distance);
    EXPECT_TRUE(commands.state().rawPosition);
    feed("WDl");
    EXPECT_FALSE(commands.state().rawFrames);
    EXPECT_FALSE(commands.state().distance);
    EXPECT_FALSE(commands.state().rawPosition);
    // Accepted and ignored: "x", "0", line ends, anything unknown.
    const BoardState before = commands.state();
    EXPECT_EQ(feed("x0\r\nZz#*+ \xff"), "");
    EXPECT_EQ(commands.state().rawFrames, before.rawFrames);
    EXPECT_EQ(commands.state().latitudeUnits, before.latitudeUnits);
}

TEST_F(BoardCommandsTest, FlowControlHoldsAndReleases)
{
    feed(std::string(1, kXoff));
    EXPECT_TRUE(commands.state().held);
    // Replies still come while held: the host holds the traffic to read them.
    EXPECT_NE(feed("?").find("ADSB 2.8"), std::string::npos);
    feed(std::string(1, kXon));
    EXPECT_FALSE(commands.state().held);
}

TEST_F(BoardCommandsTest, VersionReplies)
{
    EXPECT_EQ(feed("?"), "ADSB 2.8 Telvorn board emulator\r\n");
    BoardCommands testMode({"3.0", true, false}, BoardState{});
    const std::string reply = testMode.feed("?", TimePoint{});
    EXPECT_EQ(reply.substr(0, 8), "ADSB 3.0");
    EXPECT_NE(reply.find("\r\nRYRY"), std::string::npos);
    BoardCommands mute({"2.8", false, true}, BoardState{});
    EXPECT_EQ(mute.feed("?p", TimePoint{}).find("ADSB"), std::string::npos);
}

TEST_F(BoardCommandsTest, PositionSetDigitByDigit)
{
    TimePoint at = TimePoint{} + 1s;
    feed("P", at);
    // The host waits 40 ms after "P", then 1 ms after each digit; XOFF may
    // come in between, and "0", "D" are digits here, not commands.
    at += 40ms;
    for (const char digit : std::string("FFFF3CB0") + kXoff + "00E6B67F") {
        feed(std::string(1, digit), at);
        at += 1ms;
    }
    EXPECT_EQ(commands.state().latitudeUnits, -50000);
    EXPECT_EQ(commands.state().longitudeUnits, 15119999);
    EXPECT_FALSE(commands.state().distance);
    const auto [lat, lon] = ReadPositionReply(feed("p", at));
    EXPECT_EQ(lat, -50000);
    EXPECT_EQ(lon, 15119999);
    // After the sixteenth digit, "D" is a command again.
    feed("d", at);
    EXPECT_TRUE(commands.state().distance);
}

TEST_F(BoardCommandsTest, IncompletePositionIsAbandoned)
{
    const BoardState before = commands.state();
    // A non-digit ends the set and is itself obeyed.
    EXPECT_NE(feed("P004A?").find("ADSB"), std::string::npos);
    feed("57EB00039F5B");
    EXPECT_EQ(commands.state().latitudeUnits, before.latitudeUnits);

    // A pause of more than a second ends it too; the late digits are commands.
    TimePoint at = TimePoint{} + 10s;
    feed("P00000000", at);
    feed("0000000d", at + 1500ms);
    EXPECT_EQ(commands.state().latitudeUnits, before.latitudeUnits);
    EXPECT_TRUE(commands.state().distance);

    // A position off the globe is refused.
    feed("P0089544100000000", at + 2s);
    EXPECT_EQ(commands.state().latitudeUnits, before.latitudeUnits);
}

TEST_F(BoardCommandsTest, PowerCycleKeepsOnlyThePosition)
{
    feed(std::string("wdL") + kXoff + "P0000000100000002");
    commands.powerCycle();
    EXPECT_FALSE(commands.state().held);
    EXPECT_FALSE(commands.state().rawFrames);
    EXPECT_FALSE(commands.state().distance);
    EXPECT_FALSE(commands.state().rawPosition);
    EXPECT_EQ(commands.state().latitudeUnits, 1);
    EXPECT_EQ(commands.state().longitudeUnits, 2);
}

} // namespace
} // namespace telvorn::board
