// The board through a pseudo-terminal, used as the host uses its serial port.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <thread>
#include <tuple>

#include "BoardServer.h"
#include "BoardTestKit.h"
#include "Geo.h"
#include "ModeSReader.h"
#include "PositionCode.h"
#include "TempFolder.h"

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

std::string Started(BoardServer& server)
{
    server.start();
    return server.devicePath();
}

// Sets output options with the traffic held, then lets it flow again: every
// line read afterwards (the first, perhaps partial, is skipped) was written
// under the new options.
std::vector<std::vector<std::string>> RecordsAfter(SerialClient& host, const std::string& commands, std::size_t count)
{
    host.write(kXoff + commands);
    host.sync();
    host.write(kXon);
    std::vector<std::vector<std::string>> records;
    for (const std::string& line : host.readLines(count))
        if (line.starts_with("+"))
            records.push_back(RecordFields(line));
    return records;
}

// A session as the host holds it: XOFF silences the traffic; "p" and "?"
// answer at once while held, "?" as the firmware is; "P" stores a position
// that "p" reads back as the host reads it; XON lets the traffic flow again,
// now around the new position, and with the frames "w" asked for.
TEST(PtyBoard, HeldBoardAnswersAndTakesAPosition)
{
    struct Row {
        bool testMode, mute;
        GeoPoint position;
        const char* reply; // to "?"
    };
    const Row rows[] = {
        {true, false, {-33.9, 151.2}, "ADSB 2.7 Telvorn board emulator\r\nRYRY\r\n"},
        {false, true, {64.1, -21.9}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position.lat);
        BoardOptions options = Fast();
        std::tie(options.version, options.testMode, options.mute) = std::tuple("2.7", row.testMode, row.mute);
        BoardServer server(options);
        SerialClient host(Started(server));
        EXPECT_EQ(host.readLines(5).size(), 5u);
        host.write(kXoff);
        for (int i = 0; i < 20 && !host.read(150ms).empty(); ++i) {
        } // lines already on their way
        EXPECT_EQ(host.read(300ms), "");

        const std::int32_t lat = *PositionUnits(row.position.lat);
        const std::int32_t lon = *PositionUnits(row.position.lon);
        host.write("p?P" + PositionHex(lat) + PositionHex(lon) + "p");
        const std::string reply =
            host.read(3s, [](const std::string& t) { return std::ranges::count(t, ';') >= 2; });
        const std::size_t bar = reply.find('|', 1);
        ASSERT_TRUE(reply.starts_with("|") && bar != std::string::npos) << reply;
        EXPECT_EQ(test::ReadPositionReply(reply), std::make_pair(4872171, 237403));
        EXPECT_EQ(reply.substr(reply.find(';') + 1, bar - reply.find(';') - 1), row.reply);
        EXPECT_EQ(test::ReadPositionReply(reply.substr(bar)), std::make_pair(lat, lon));

        int positions = 0;
        for (const auto& f : RecordsAfter(host, "w", 300)) {
            EXPECT_EQ(test::ReadModeS(f[0]).df, std::atoi(f[2].c_str())) << f[0];
            if (!f[6].empty() && f[9] != "@") {
                ++positions;
                EXPECT_LT(DistanceNm(row.position, {std::atof(f[7].c_str()), std::atof(f[8].c_str())}), 255.0);
            }
        }
        EXPECT_GT(positions, 10);
    }
}

// With a seed two runs send the same bytes, link faults and all, and the
// record file holds them. The faults reach the host: every line ends in a
// bare line feed and has garbage before its marker.
TEST(PtyBoard, SameSeedSameBytesAndARecordOfThem)
{
    const auto options = [](std::uint64_t seed, const std::string& record) {
        BoardOptions o = Fast(seed);
        o.linkBitsPerSecond = 1000000;
        o.faults = {1.0, 1.0, 0.0};
        o.record = record;
        return o;
    };
    const auto firstBytes = [](BoardServer& server) {
        SerialClient host(Started(server));
        std::string bytes = host.read(5s, [](const std::string& t) { return t.size() >= 8192; });
        return bytes.substr(0, std::min<std::size_t>(bytes.size(), 8192));
    };
    // A folder of its own: suites of other checkouts may run beside this one.
    const test::TempFolder dir;
    const std::string record = (dir.path() / "board-record.txt").string();
    BoardServer first(options(42, record));
    const std::string a = firstBytes(first);
    first.stop();
    BoardServer second(options(42, ""));
    BoardServer other(options(43, ""));
    ASSERT_EQ(a.size(), 8192u);
    EXPECT_EQ(a, firstBytes(second));
    EXPECT_NE(a, firstBytes(other));
    EXPECT_EQ(test::Read(record).substr(0, a.size()), a);

    EXPECT_EQ(a.find("\r\n"), std::string::npos);
    for (std::size_t end = a.find('\n'); end < a.size() - 1; end = a.find('\n', end + 1)) {
        EXPECT_EQ(a[end - 1], ';');
        EXPECT_EQ(std::string("*+-!").find(a[end + 1]), std::string::npos) << a.substr(end + 1, 40);
    }
}

// Unplugged, the device goes and comes back under its stable name, the
// board having lost power: the output options are at their defaults again
// (flowing, no frames, decoded positions) and the stored position is kept.
TEST(PtyBoard, UnpluggedDeviceComesBackUnderItsStableName)
{
    const test::TempFolder dir;
    const std::string link = (dir.path() / "ttyADSB").string();
    BoardOptions options = Fast();
    options.hangupAfter = 0.3;
    options.down = 0.6;
    options.symlink = link;
    BoardServer server(options);
    server.start();
    const auto position = [](const std::string& reply) {
        return test::ReadPositionReply(reply.substr(reply.find('|')));
    };
    {
        SerialClient host(link);
        host.write("wdLPFFFF3CB000E6B67F" + kXoff);
        EXPECT_EQ(position(host.sync()), std::make_pair(-50000, 15119999));
        host.read(5s);
        EXPECT_TRUE(host.hungUp());
    }
    bool vanished = false;
    bool back = false;
    struct stat st {};
    for (int i = 0; i < 500 && !back; ++i) {
        const bool present = ::lstat(link.c_str(), &st) == 0;
        vanished = vanished || !present;
        back = vanished && present;
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(vanished);
    ASSERT_TRUE(back);

    SerialClient again(link);
    EXPECT_EQ(position(again.sync()), std::make_pair(-50000, 15119999));
    int records = 0;
    for (const std::string& line : again.readLines(50)) {
        if (!line.starts_with("+"))
            continue;
        const auto f = RecordFields(line);
        EXPECT_EQ(f[0], "");
        EXPECT_TRUE(f[6].empty() || test::Decimals(f[7]) == 5) << line;
        ++records;
    }
    EXPECT_GT(records, 10);
    server.stop();
    EXPECT_NE(::lstat(link.c_str(), &st), 0);
}

TEST(PtyBoard, ServesAnExistingDevice)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(master, 0);
    SerialClient host(master);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    char name[128] = {};
    ASSERT_EQ(ptsname_r(master, name, sizeof name), 0);
    BoardOptions options = Fast();
    options.device = name;
    BoardServer server(options);
    EXPECT_EQ(Started(server), name);
    EXPECT_NE(host.sync().find("|48.72171"), std::string::npos);
}

} // namespace
} // namespace telvorn::board
