// The receiver link through QSerialPort on a pseudo-terminal, with the board
// emulator at the other end: what a user's program does with a real board.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <termios.h>

#include <QCoreApplication>
#include <QThread>

#include "BoardServer.h"
#include "FakeLink.h"
#include "EventLoop.h"
#include "TempFolder.h"
#include "platform/QtSerialPort.h"
#include "receiver/BoardReplies.h"
#include "receiver/ReceiverLink.h"
#include "text/NumberText.h"

namespace telvorn {
namespace {

using namespace std::chrono_literals;

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "link_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

using test::WaitFor;

struct Station {
    explicit Station(board::BoardOptions options)
    {
        App();
        options.seed = options.seed.value_or(11);
        options.rate = options.rate.value_or(300);
        options.symlink = (dir.path() / "board").string();
        board = std::make_unique<board::BoardServer>(options);
        board->start();
        host.realSleep = true;
        port.setDevice(options.symlink);
    }

    std::size_t lines() const { return std::size_t(LeadingNumber(chain.panels().text(Panel::All))); }

    test::TempFolder dir;
    std::unique_ptr<board::BoardServer> board;
    test::Transcript log;
    FrozenClock clock;
    ReceiveChain chain{clock};
    QtSerialPort port;
    test::FakeLinkHost host{log};
    ReceiverLink link{chain, port, host};
};

TEST(LinkEndToEnd, StartsAgainstTheBoardAndReceivesAtTheConfiguredLineSettings)
{
    for (const bool fast : {false, true}) {
        Station s({});
        s.chain.state().SpeedFlag = fast;
        ASSERT_TRUE(s.link.StartReceiver());
        EXPECT_EQ(s.host.caption, "ADSB 0.9.0 - Firmware 2.8");

        // The device itself, not only Qt's idea of it.
        termios tio{};
        ASSERT_EQ(tcgetattr(int(s.port.qtPort().handle()), &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), fast ? speed_t(B1000000) : speed_t(B115200));
        EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), tcflag_t(0));
        EXPECT_NE(tio.c_iflag & IXON, tcflag_t(0));
        EXPECT_NE(tio.c_iflag & IXOFF, tcflag_t(0));

        ASSERT_TRUE(WaitFor([&] { return s.chain.table().size() > 3; }));
        s.link.shutdown();
    }
}

TEST(LinkEndToEnd, RefusesOldFirmwareTestModeAndASilentBoard)
{
    struct Row {
        const char* version;
        bool testMode;
        bool mute;
        const char* box; // empty: accepted
    };
    const Row rows[] = {
        {"2.7", false, false, "Bad firmware version: 2.7\r\nYou need to update it."},
        {"3.0", false, false, ""},
        {"2.8", true, false, "TEST Mode enabled\r\nYou need to disable it."},
        {"2.8", false, true, "Communication error: No firmware response.\r\nVerify serial connection."},
    };
    for (const Row& row : rows) {
        board::BoardOptions options;
        options.version = row.version;
        options.testMode = row.testMode;
        options.mute = row.mute;
        Station s(options);
        const bool started = s.link.StartReceiver();
        EXPECT_EQ(started, *row.box == '\0') << row.version;
        if (!started) {
            ASSERT_EQ(s.host.boxes.size(), 1u);
            EXPECT_EQ(s.host.boxes[0].text, row.box);
            EXPECT_TRUE(s.host.ended);
            EXPECT_FALSE(s.port.isOpen());
        }
    }
}

TEST(LinkEndToEnd, StoresTheConfiguredPositionAndSwitchesToRawFields)
{
    board::BoardOptions options;
    options.position = {10.0, 20.0};
    Station s(options);
    s.chain.state().PosLat[0] = "-33.9";
    s.chain.state().PosLon[0] = "151.2";
    ASSERT_TRUE(s.link.StartReceiver());

    // Ask the board itself, with receive events off so the reply stays ours.
    s.port.setRThreshold(0);
    s.port.write("\x13p");
    std::string reply;
    ASSERT_TRUE(WaitFor([&] {
        reply += s.port.readAll();
        return reply.find(';', reply.find('|')) != std::string::npos && reply.find('|') != std::string::npos;
    }));
    reply = reply.substr(reply.find('|'));
    const std::optional<StoredPosition> stored = ParsePositionReply(reply.substr(0, reply.find(';') + 1));
    ASSERT_TRUE(stored) << reply;
    EXPECT_TRUE(SamePositionCell(stored->latitude, stored->longitude, -33.9, 151.2)) << reply;
    s.port.write("\x11");
    s.port.clearInput();
    s.port.setRThreshold(1);

    s.link.Mode_Click();
    ASSERT_TRUE(WaitFor([&] { return !s.chain.state().PosLat[1].empty(); }));
    bool rawField = false;
    ASSERT_TRUE(WaitFor([&] {
        s.chain.table().forEachRow([&](RowId, const AircraftRow& row) {
            const std::string& lat = row[Column::Lat0];
            rawField = rawField || (!lat.empty() && lat.find('.') == std::string::npos);
        });
        return rawField;
    })) << "in raw mode the board sends 17-bit CPR fields";
}

TEST(LinkEndToEnd, NoticesAHangUpKeepsTheTableAndComesBack)
{
    board::BoardOptions options;
    options.hangupAfter = 1.5;
    options.down = 1.0;
    Station s(options);
    ASSERT_TRUE(s.link.StartReceiver());
    ASSERT_TRUE(WaitFor([&] { return s.link.state() == LinkState::Lost; }));
    const std::size_t rows = s.chain.table().size();
    const std::size_t lines = s.lines();
    EXPECT_GT(rows, 0u);
    ASSERT_EQ(s.host.statuses.size(), 1u);
    EXPECT_TRUE(s.host.statuses[0].starts_with("lost " + s.port.portName())) << s.host.statuses[0];

    // The program's reopening timer, every two seconds.
    QTimer reopen;
    QObject::connect(&reopen, &QTimer::timeout, [&] { s.link.retryTick(); });
    reopen.start(kReopenIntervalMs);
    ASSERT_TRUE(WaitFor([&] { return s.link.state() == LinkState::Open; }));
    EXPECT_EQ(s.host.statuses.back(), "receiver back on " + s.port.portName());
    EXPECT_GE(s.chain.table().size(), rows);
    ASSERT_TRUE(WaitFor([&] { return s.lines() > lines + 20; })) << "traffic flows again";
    EXPECT_TRUE(s.host.boxes.empty());
}

} // namespace
} // namespace telvorn
