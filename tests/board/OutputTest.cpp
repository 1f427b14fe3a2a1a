// What the board writes without a serial line: record fields, the link
// faults and the pace; and the options that set them.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "BoardOptions.h"
#include "LineFormatter.h"
#include "Pacer.h"
#include "TrafficStream.h"

namespace telvorn::board {
namespace {

using namespace std::chrono_literals;

// Fields the traffic tests cannot pin down: "@" for an aircraft on the
// ground, a squawk's four digits with their leading zero, a heading's one
// decimal.
TEST(LineFormatter, RecordOnTheGround)
{
    Message m;
    std::tie(m.df, m.address, m.onGround, m.altitude, m.squawk, m.verticalRate, m.heading) =
        std::tuple(5, 0x00A001, true, 300, 356, -64, 243.984375);
    EXPECT_EQ(LineFormatter::Format(m, BoardState{}), "+,,5,00A001,,,,,,@,0356,-64,,,244.0,;\r\n");
}

std::vector<std::string> Lines(FaultRates faults, int count)
{
    BoardOptions options;
    options.aircraft = 30;
    options.faults = faults;
    TrafficStream stream(options, 11);
    std::vector<std::string> lines;
    while (int(lines.size()) < count)
        if (std::string line = stream.next(BoardState{}); !line.empty())
            lines.push_back(std::move(line));
    return lines;
}

// Faults change the bytes, never the traffic underneath, and come at their
// rates within the statistical margin.
TEST(FaultInjector, FaultsDoWhatTheySay)
{
    const auto clean = Lines({}, 3000);
    const auto bare = Lines({0, 0.5, 0}, 3000);
    const auto noisy = Lines({0.2, 0, 0}, 3000);
    const auto lossy = Lines({0, 0, 0.01}, 3000);
    double bareLines = 0, noisyLines = 0, sent = 0, lost = 0;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        SCOPED_TRACE(clean[i]);
        std::string restored = bare[i];
        if (restored.ends_with(";\n")) {
            restored.insert(restored.size() - 1, "\r");
            ++bareLines;
        }
        EXPECT_EQ(restored, clean[i]);
        // Garbage comes before the line, with nothing in it a host would act
        // on: flow control, a line start or end.
        const std::size_t start = noisy[i].size() - clean[i].size();
        EXPECT_EQ(noisy[i].substr(start), clean[i]);
        EXPECT_EQ(noisy[i].find_first_of("\x11\x13\n*+-!"), start) << noisy[i];
        noisyLines += start > 0 ? 1 : 0;
        // What is left of a line that lost bytes is the line with bytes taken out.
        std::size_t at = 0;
        for (const char c : lossy[i])
            at = std::min(clean[i].find(c, at), clean[i].size()) + 1;
        EXPECT_LE(at, clean[i].size()) << lossy[i];
        sent += double(clean[i].size());
        lost += double(clean[i].size() - lossy[i].size());
    }
    const std::tuple<const char*, double, double, double> shares[] = {
        {"bare line feeds", bareLines / 3000, 0.43, 0.57},
        {"noisy lines", noisyLines / 3000, 0.15, 0.25},
        {"lost bytes", lost / sent, 0.008, 0.012},
    };
    for (const auto& [name, share, low, high] : shares) {
        EXPECT_GT(share, low) << name;
        EXPECT_LT(share, high) << name;
    }
}

// Output is released on a schedule counted in lines or in bytes; woken late,
// the pacer catches up by no more than the burst allowance.
TEST(Pacer, KeepsItsSchedule)
{
    const Pacer::TimePoint t0{};
    Pacer lines(Pacer::Unit::Lines, 100.0);
    lines.restart(t0);
    EXPECT_TRUE(lines.due(t0));
    lines.charge(1, 80, t0);
    EXPECT_FALSE(lines.due(t0 + 9ms));
    EXPECT_TRUE(lines.due(t0 + 10ms));
    lines.charge(0, 500, t0 + 10ms); // replies cost no line
    EXPECT_TRUE(lines.due(t0 + 10ms));
    int burst = 0;
    for (; lines.due(t0 + 1s); ++burst)
        lines.charge(1, 80, t0 + 1s);
    EXPECT_EQ(burst, 6); // the line due now, and 50 ms worth at 100 lines per second

    Pacer bytes(Pacer::Unit::Bytes, 115200 / 10.0); // a 115200 bit/s link
    bytes.restart(t0);
    bytes.charge(1, 1152, t0); // fills it for 100 ms
    EXPECT_FALSE(bytes.due(t0 + 99ms));
    EXPECT_TRUE(bytes.due(t0 + 100ms));
    bytes.charge(0, 576, t0 + 100ms); // replies cost their bytes
    EXPECT_FALSE(bytes.due(t0 + 149ms));
    EXPECT_TRUE(bytes.due(t0 + 150ms));
}

TEST(BoardOptions, ParsesAndRefusesWithAReason)
{
    bool help = false;
    const std::vector<std::string_view> args{"--link", "1000000", "--seed", "42", "--noise", "0.1", "--symlink", "/tmp/x",
                                             "--aircraft", "5", "--position", "-33.9,18.6", "--hangup-after", "3",
                                             "--down", "1.5", "--mute", "--version", "3.0", "--silent-after", "4",
                                             "--silent", "0.5"};
    const BoardOptions o = ParseBoardOptions(args, help);
    EXPECT_FALSE(help);
    EXPECT_EQ(std::tuple(o.linkBitsPerSecond, o.seed, o.faults.noise, o.symlink, o.aircraft, o.position.lat),
              std::tuple(1000000.0, 42u, 0.1, "/tmp/x", 5, -33.9));
    EXPECT_EQ(std::tuple(o.hangupAfter, o.down, o.silentAfter, o.silent, o.mute, o.version),
              std::tuple(3.0, 1.5, 4.0, 0.5, true, "3.0"));
    const std::vector<std::vector<std::string_view>> refused{
        {"--rate", "10", "--link", "115200"}, {"--rate", "fast"}, {"--noise", "2"}, {"--seed"}, {"--position", "48"},
        {"--colour"},
    };
    for (const auto& bad : refused)
        EXPECT_THROW(ParseBoardOptions(bad, help), OptionError) << bad.front();
    ParseBoardOptions(std::vector<std::string_view>{"--help"}, help);
    EXPECT_TRUE(help);
}

} // namespace
} // namespace telvorn::board
