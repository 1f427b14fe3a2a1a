// The board's device through unplugging, and on a device it did not create.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "BoardServer.h"
#include "SerialClient.h"
#include "TrafficRun.h"

namespace telvorn::board {
namespace {

using namespace std::chrono_literals;
using test::RecordFields;
using test::SerialClient;

BoardOptions Fast()
{
    BoardOptions options;
    options.seed = 1;
    options.rate = 4000;
    options.aircraft = 30;
    return options;
}

TEST(PtyBoard, UnpluggedDeviceComesBackUnderItsStableName)
{
    char dir[] = "/tmp/telvorn-board-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/ttyADSB";
    BoardOptions options = Fast();
    options.hangupAfter = 0.3;
    options.down = 0.6;
    options.symlink = link;
    BoardServer server(options);
    server.start();

    {
        SerialClient client(link);
        ASSERT_TRUE(client.isOpen());
        client.write("w");
        EXPECT_NE(client.sync().find("ADSB"), std::string::npos);
        EXPECT_TRUE(client.waitForHangup(5s));
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

    // The board lost power: raw frames are off again until the host asks.
    SerialClient again(link);
    ASSERT_TRUE(again.isOpen());
    EXPECT_NE(again.sync().find("ADSB"), std::string::npos);
    const auto lines = again.readLines(20, 3s);
    for (const std::string& line : lines)
        if (line.starts_with("+")) {
            EXPECT_EQ(RecordFields(line)[0], "");
        }
    server.stop();
    EXPECT_NE(::lstat(link.c_str(), &st), 0);
    ::rmdir(dir);
}

TEST(PtyBoard, ServesAnExistingDevice)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    char name[128] = {};
    ASSERT_EQ(ptsname_r(master, name, sizeof name), 0);
    SerialClient host(master);

    BoardOptions options = Fast();
    options.device = name;
    BoardServer server(options);
    server.start();
    EXPECT_EQ(server.devicePath(), name);
    host.write("\x13"); // XOFF
    host.drain(100ms, 3s);
    EXPECT_NE(host.sync().find("ADSB 2.8"), std::string::npos);
}

} // namespace
} // namespace telvorn::board
