// The shape of what the board writes: record fields under each output
// option, the link faults, and the pace, all without a serial line.

#include <gtest/gtest.h>

#include <algorithm>

#include "BoardOptions.h"
#include "LineFormatter.h"
#include "Pacer.h"
#include "TrafficRun.h"
#include "TrafficStream.h"

namespace telvorn::board {
namespace {

using test::RecordFields;
using namespace std::chrono_literals;

// A position record one degree of longitude east of a receiver on the equator.
Message PositionRecord()
{
    Message m;
    m.df = 17;
    m.address = 0x3C6444;
    m.frame = FrameEncoder::ExtendedSquitter(17, 5, 0x3C6444, 0);
    m.position = PositionReport{true, 74158, 50194, false, {0.0, 1.0}};
    m.altitude = 38000;
    return m;
}

TEST(LineFormatter, PositionFieldsFollowTheOutputOptions)
{
    BoardState state;
    state.latitudeUnits = 0;
    state.longitudeUnits = 0;
    const Message m = PositionRecord();

    EXPECT_EQ(LineFormatter::Format(m, state), "+,,17,3C6444,,,1,0.00000,1.00000,38000,,,,,,;\r\n");

    state.distance = true; // nautical miles and degrees true
    auto f = RecordFields(LineFormatter::Format(m, state));
    EXPECT_EQ(f[7], "60.0");
    EXPECT_EQ(f[8], "90.0");

    state.rawPosition = true; // raw CPR wins over distance
    f = RecordFields(LineFormatter::Format(m, state));
    EXPECT_EQ(f[6], "1");
    EXPECT_EQ(f[7], "74158");
    EXPECT_EQ(f[8], "50194");
    EXPECT_EQ(f[0], "");

    state.rawFrames = true;
    f = RecordFields(LineFormatter::Format(m, state));
    EXPECT_EQ(f[0], m.frame.hex());
    EXPECT_EQ(f.size(), 16u);
}

TEST(LineFormatter, OtherLineKinds)
{
    Message m = PositionRecord();
    m.kind = LineKind::DamagedFrame;
    EXPECT_EQ(LineFormatter::Format(m, BoardState{}), "-" + m.frame.hex() + ";\r\n");
    m.kind = LineKind::Frame;
    EXPECT_EQ(LineFormatter::Format(m, BoardState{}), "*" + m.frame.hex() + ";\r\n");
    m.kind = LineKind::Alert;
    m.address = 0x4CA1B2;
    m.alertCode = 5;
    m.alertSource = 'M';
    EXPECT_EQ(LineFormatter::Format(m, BoardState{}), "!4CA1B2,5,M;\r\n");

    Message ground;
    ground.df = 5;
    ground.address = 0x00A001;
    ground.onGround = true;
    ground.squawk = 356;
    ground.verticalRate = -64;
    ground.heading = 243.984375;
    EXPECT_EQ(LineFormatter::Format(ground, BoardState{}), "+,,5,00A001,,,,,,@,0356,-64,,,244.0,;\r\n");
}

std::vector<std::string> Lines(const BoardOptions& options, std::uint64_t seed, int count)
{
    TrafficStream stream(options, seed);
    std::vector<std::string> lines;
    while (int(lines.size()) < count)
        if (std::string line = stream.next(BoardState{}); !line.empty())
            lines.push_back(std::move(line));
    return lines;
}

// Faults change the bytes, never the traffic underneath.
TEST(FaultInjector, FaultsDoWhatTheySay)
{
    BoardOptions clean;
    clean.aircraft = 30;
    const auto reference = Lines(clean, 11, 3000);

    BoardOptions bare = clean;
    bare.faults.bareLf = 0.5;
    const auto bareLines = Lines(bare, 11, 3000);
    int bareEndings = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        std::string restored = bareLines[i];
        if (restored.ends_with(";\n")) {
            ++bareEndings;
            restored.insert(restored.size() - 1, "\r");
        }
        ASSERT_EQ(restored, reference[i]);
    }
    EXPECT_GT(bareEndings, 1300);
    EXPECT_LT(bareEndings, 1700);

    BoardOptions noisy = clean;
    noisy.faults.noise = 0.2;
    const auto noisyLines = Lines(noisy, 11, 3000);
    int garbled = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const std::string& line = noisyLines[i];
        const std::size_t start = line.size() - reference[i].size();
        ASSERT_EQ(line.substr(start), reference[i]);
        const std::string garbage = line.substr(0, start);
        garbled += garbage.empty() ? 0 : 1;
        // Nothing in it a host would act on: flow control, a line start or end.
        EXPECT_EQ(garbage.find_first_of(std::string("\x11\x13\n*+-!")), std::string::npos);
    }
    EXPECT_GT(garbled, 450);
    EXPECT_LT(garbled, 750);

    BoardOptions lossy = clean;
    lossy.faults.drop = 0.01;
    const auto lossyLines = Lines(lossy, 11, 3000);
    std::size_t sent = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        sent += reference[i].size();
        kept += lossyLines[i].size();
        ASSERT_LE(lossyLines[i].size(), reference[i].size());
    }
    const double lost = 1.0 - double(kept) / double(sent);
    EXPECT_GT(lost, 0.008);
    EXPECT_LT(lost, 0.012);
}

TEST(TrafficStream, SameSeedAndOptionsSameBytes)
{
    BoardOptions options;
    options.linkBitsPerSecond = 115200;
    options.faults = {0.1, 0.1, 0.001};
    EXPECT_EQ(Lines(options, 3, 2000), Lines(options, 3, 2000));
    EXPECT_NE(Lines(options, 3, 2000), Lines(options, 4, 2000));
}

TEST(Pacer, LinesKeepTheirScheduleAndBurstOnlyBriefly)
{
    const Pacer::TimePoint start{};
    Pacer pacer(Pacer::Unit::Lines, 100.0);
    pacer.restart(start);
    EXPECT_TRUE(pacer.due(start));
    pacer.charge(1, 80, start);
    EXPECT_FALSE(pacer.due(start + 9ms));
    EXPECT_TRUE(pacer.due(start + 10ms));
    // Replies cost no line.
    pacer.charge(0, 500, start + 10ms);
    EXPECT_TRUE(pacer.due(start + 10ms));

    // Woken late, it catches up, but by no more than the burst allowance.
    const auto late = start + 1s;
    int burst = 0;
    while (pacer.due(late)) {
        pacer.charge(1, 80, late);
        ++burst;
    }
    EXPECT_EQ(burst, 6); // the line due now, and 50 ms worth at 100 lines per second
}

TEST(Pacer, BytesFollowTheLinkSpeed)
{
    const Pacer::TimePoint start{};
    Pacer pacer(Pacer::Unit::Bytes, 115200 / 10.0);
    pacer.restart(start);
    // 1152 bytes fill a 115200 bit/s link for 100 ms.
    pacer.charge(1, 1152, start);
    EXPECT_FALSE(pacer.due(start + 99ms));
    EXPECT_TRUE(pacer.due(start + 100ms));
    pacer.charge(0, 576, start + 100ms);
    EXPECT_FALSE(pacer.due(start + 149ms));
    EXPECT_TRUE(pacer.due(start + 150ms));
}

TEST(BoardOptions, ParsesAndRefusesWithAReason)
{
    bool help = false;
    const std::vector<std::string_view> args{"--link",   "1000000", "--seed",  "42",    "--noise", "0.1",
                                             "--symlink", "/tmp/x",  "--aircraft", "5", "--position", "-33.9,18.6",
                                             "--hangup-after", "3", "--down", "1.5", "--mute", "--version", "3.0"};
    const BoardOptions o = ParseBoardOptions(args, help);
    EXPECT_FALSE(help);
    EXPECT_EQ(o.linkBitsPerSecond, 1000000.0);
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.faults.noise, 0.1);
    EXPECT_EQ(o.symlink, "/tmp/x");
    EXPECT_EQ(o.aircraft, 5);
    EXPECT_EQ(o.position.lat, -33.9);
    EXPECT_EQ(o.hangupAfter, 3.0);
    EXPECT_EQ(o.down, 1.5);
    EXPECT_TRUE(o.mute);
    EXPECT_EQ(o.version, "3.0");

    const std::vector<std::vector<std::string_view>> refused{
        {"--rate", "10", "--link", "115200"}, {"--rate", "fast"}, {"--noise", "2"},
        {"--seed"},                            {"--position", "48"}, {"--colour"},
    };
    for (const auto& bad : refused)
        EXPECT_THROW(ParseBoardOptions(bad, help), OptionError) << bad.front();
    ParseBoardOptions(std::vector<std::string_view>{"--help"}, help);
    EXPECT_TRUE(help);
}

} // namespace
} // namespace telvorn::board
