// The board through a pseudo-terminal, used as the host uses its serial port.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "BoardServer.h"
#include "Geo.h"
#include "ModeSReader.h"
#include "PositionCode.h"
#include "SerialClient.h"
#include "TrafficRun.h"
#include "modes/POS_Calc.h"

namespace telvorn::board {
namespace {

using namespace std::chrono_literals;
using test::RecordFields;
using test::SerialClient;

const std::string kXon(1, '\x11');
const std::string kXoff(1, '\x13');

BoardOptions Fast(std::uint64_t seed = 1)
{
    BoardOptions options;
    options.seed = seed;
    options.rate = 4000;
    options.aircraft = 30;
    return options;
}

std::size_t Count(const std::string& text, char c)
{
    return std::size_t(std::count(text.begin(), text.end(), c));
}

// Sets output options with the traffic held, then lets it flow again: every
// line read afterwards was written under the new options.
std::vector<std::vector<std::string>> RecordsAfter(SerialClient& client, const std::string& commands, std::size_t count)
{
    client.write(kXoff + commands);
    client.sync();
    client.flushInput();
    client.write(kXon);
    std::vector<std::vector<std::string>> records;
    for (const std::string& line : client.readLines(count, 5s))
        if (line.starts_with("+"))
            records.push_back(RecordFields(line));
    return records;
}

TEST(PtyBoard, AnswersTheVersionQueryWhileHeld)
{
    BoardServer server(Fast());
    server.start();
    SerialClient client(server.devicePath());
    ASSERT_TRUE(client.isOpen());
    client.write(kXoff);
    client.drain(100ms, 3s);
    client.write("x0");
    const std::string reply = client.sync();
    EXPECT_NE(reply.find("ADSB 2.8 "), std::string::npos) << reply;
    EXPECT_EQ(reply.find("RYRY"), std::string::npos);
}

TEST(PtyBoard, VersionTestModeAndMute)
{
    BoardOptions options = Fast();
    options.version = "2.7";
    options.testMode = true;
    BoardServer testBoard(options);
    testBoard.start();
    SerialClient client(testBoard.devicePath());
    client.write(kXoff);
    client.drain(100ms, 3s);
    client.write("?");
    const std::string reply =
        client.readUntil([](const std::string& text) { return text.find("RYRY") != std::string::npos; }, 3s);
    EXPECT_NE(reply.find("ADSB 2.7"), std::string::npos) << reply;
    EXPECT_NE(reply.find("\r\nRYRY"), std::string::npos) << reply;

    options.mute = true;
    BoardServer muteBoard(options);
    muteBoard.start();
    SerialClient host(muteBoard.devicePath());
    host.write(kXoff);
    host.drain(100ms, 3s);
    host.write("?p");
    const std::string answer = host.readUntil([](const std::string& text) { return text.ends_with(";"); }, 3s);
    EXPECT_EQ(answer.find("ADSB"), std::string::npos);
    EXPECT_TRUE(answer.starts_with("|")) << answer; // the position still answers
}

TEST(PtyBoard, PositionSetReadsBackAsTheHostReadsIt)
{
    BoardServer server(Fast());
    server.start();
    SerialClient client(server.devicePath());
    client.write(kXoff);
    client.drain(100ms, 3s);

    const std::int32_t lat = *PositionUnits(-33.9);
    const std::int32_t lon = *PositionUnits(151.2);
    client.write("P");
    std::this_thread::sleep_for(40ms);
    client.writeSlowly(PositionHex(lat) + PositionHex(lon), 1ms);
    client.write("p");
    const std::string reply = client.readUntil([](const std::string& text) { return text.ends_with(";"); }, 3s);
    ASSERT_TRUE(reply.starts_with("|")) << reply;
    const std::size_t comma = reply.find(',');
    ASSERT_NE(comma, std::string::npos);
    EXPECT_EQ(std::floor(std::atof(reply.substr(1, comma - 1).c_str()) * 100000.0), lat);
    EXPECT_EQ(std::floor(std::atof(reply.substr(comma + 1, reply.size() - comma - 2).c_str()) * 100000.0), lon);

    // The traffic moves with the receiver.
    const auto records = RecordsAfter(client, "l", 300);
    int positions = 0;
    for (const auto& f : records)
        if (!f[6].empty() && f[9] != "@") {
            ++positions;
            EXPECT_LT(DistanceNm({-33.9, 151.2}, {std::atof(f[7].c_str()), std::atof(f[8].c_str())}), 255.0);
        }
    EXPECT_GT(positions, 10);
}

TEST(PtyBoard, XoffHoldsTheTrafficUntilXon)
{
    BoardServer server(Fast());
    server.start();
    SerialClient client(server.devicePath());
    EXPECT_GE(Count(client.readUntil([](const std::string& t) { return Count(t, '\n') >= 5; }, 3s), '\n'), 5u);

    client.write(kXoff);
    client.drain(150ms, 3s); // lines already on their way
    EXPECT_EQ(client.readFor(300ms), "");

    client.write(kXon);
    EXPECT_GE(Count(client.readUntil([](const std::string& t) { return Count(t, '\n') >= 5; }, 3s), '\n'), 5u);
}

TEST(PtyBoard, OutputOptionsShapeTheRecords)
{
    BoardServer server(Fast());
    server.start();
    SerialClient client(server.devicePath());
    const GeoPoint station = BoardState{}.station();

    for (const auto& f : RecordsAfter(client, "WDl", 200)) {
        ASSERT_EQ(f.size(), 16u);
        EXPECT_EQ(f[0], "");
        if (!f[6].empty()) {
            EXPECT_NE(f[7].find('.'), std::string::npos);
        }
    }

    // Raw frames with decoded positions: the frame is real and the host's
    // decoder finds the record's position in it.
    POS_Calc decoder;
    int checked = 0;
    for (const auto& f : RecordsAfter(client, "w", 400)) {
        const auto frame = test::ReadModeS(f[0]);
        EXPECT_EQ(frame.df, std::atoi(f[2].c_str())) << f[0];
        if (frame.df != 17 || !frame.cprFlag || frame.onGround)
            continue;
        EXPECT_EQ(frame.parityStatus, "OK");
        EXPECT_EQ(frame.altitude, std::atoi(f[9].c_str()));
        const GeoPoint reported{std::atof(f[7].c_str()), std::atof(f[8].c_str())};
        if (DistanceNm(station, reported) > 170.0)
            continue;
        decoder.LocallyPos(std::uint8_t(*frame.cprFlag), double(frame.yz), double(frame.xz));
        EXPECT_NEAR(decoder.LatDec(), reported.lat, 0.0002);
        EXPECT_NEAR(decoder.LonDec(), reported.lon, 0.0002);
        ++checked;
    }
    EXPECT_GT(checked, 5);

    int raw = 0;
    for (const auto& f : RecordsAfter(client, "L", 200)) {
        if (f[6].empty())
            continue;
        const auto frame = test::ReadModeS(f[0]);
        EXPECT_EQ(f[7], std::to_string(frame.yz));
        EXPECT_EQ(f[8], std::to_string(frame.xz));
        ++raw;
    }
    EXPECT_GT(raw, 5);

    int ranged = 0;
    for (const auto& f : RecordsAfter(client, "ld", 200)) {
        if (f[6].empty())
            continue;
        const double distance = std::atof(f[7].c_str());
        const double bearing = std::atof(f[8].c_str());
        EXPECT_GE(distance, 0.0);
        EXPECT_LT(distance, 255.0);
        EXPECT_GE(bearing, 0.0);
        EXPECT_LE(bearing, 360.0);
        ++ranged;
    }
    EXPECT_GT(ranged, 5);
}

std::string FirstBytes(BoardServer& server, std::size_t size)
{
    SerialClient client(server.devicePath());
    std::string bytes = client.readUntil([size](const std::string& t) { return t.size() >= size; }, 5s);
    return bytes.substr(0, std::min(bytes.size(), size));
}

TEST(PtyBoard, SameSeedSameBytesAndARecordOfThem)
{
    const std::string record = testing::TempDir() + "board-record.txt";
    BoardOptions options = Fast(42);
    options.record = record;
    BoardServer first(options);
    first.start();
    const std::string a = FirstBytes(first, 8192);
    first.stop();

    BoardServer second(Fast(42));
    second.start();
    BoardServer other(Fast(43));
    other.start();
    const std::string b = FirstBytes(second, 8192);
    ASSERT_EQ(a.size(), 8192u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, FirstBytes(other, 8192));

    std::ifstream in(record, std::ios::binary);
    std::stringstream logged;
    logged << in.rdbuf();
    EXPECT_EQ(logged.str().substr(0, a.size()), a);
    std::remove(record.c_str());
}

TEST(PtyBoard, LinkFaultsReachTheHost)
{
    BoardOptions options = Fast();
    options.faults.bareLf = 1.0;
    options.faults.noise = 1.0;
    BoardServer server(options);
    server.start();
    SerialClient client(server.devicePath());
    const auto lines = client.readLines(50, 5s);
    ASSERT_EQ(lines.size(), 50u);
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.ends_with(";\n")) << line;
        // Garbage comes before each line's marker.
        EXPECT_GT(line.find_first_of("*+-!"), 0u) << line;
    }
}

} // namespace
} // namespace telvorn::board
