#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeLink.h"
#include "TempFolder.h"
#include "receiver/ReceiverLink.h"

namespace telvorn {
namespace {

using test::Box;

struct Link {
    test::Transcript log;
    FrozenClock clock;
    ReceiveChain chain{clock};
    test::FakeSerialPort port{log};
    test::FakeLinkHost host{log};
    ReceiverLink link{chain, port, host};

    // The transcript as one line, XOFF and XON by name.
    std::string said()
    {
        std::string out;
        for (const std::string& entry : log)
            out += (out.empty() ? "" : " ") + (entry == "\x13" ? "XOFF" : entry == "\x11" ? "XON" : entry);
        log.clear();
        return out;
    }
};

constexpr const char* kHandshake = "open XOFF x ~5 0 W ~5 ~1 D ~5 clear ? ~400 read";

TEST(ReceiverLink, StartUpWritesEveryCommandWithItsWaitsInOrderModeSwitchesTheBoardAndTheLogOpens)
{
    Link l;
    ASSERT_TRUE(l.link.StartReceiver());
    EXPECT_EQ(l.said(), std::string(kHandshake) + " p ~40 read l XON events 1");
    EXPECT_EQ(l.host.caption, "ADSB 0.9.0 - Firmware 2.8");
    l.link.Mode_Click();
    l.link.Mode_Click();
    EXPECT_EQ(l.host.modeCaption, "Decoded");
    EXPECT_EQ(l.said(), "XOFF L XON XOFF l XON");

    // Raw and distance flags, and a board that stores another place: the
    // position goes digit by digit.
    MainState& s = l.chain.state();
    s.RawFlag = s.DstFlag = true;
    s.PosLat[0] = "-0.5";
    s.PosLon[0] = "151.2"; // the floor of the double product, 15119999
    ASSERT_TRUE(l.link.StartReceiver());
    EXPECT_EQ(l.said(), "events 0 close open XOFF x ~5 0 w ~1 d ~5 clear ? ~400 read p ~40 read P ~40 clear "
                        "F ~1 F ~1 F ~1 F ~1 3 ~1 C ~1 B ~1 0 ~1 clear "
                        "0 ~1 0 ~1 E ~1 6 ~1 B ~1 6 ~1 7 ~1 F ~1 clear l XON events 1");

    // A log that cannot open is a warning; in the current folder it gets
    // every line, and the shutdown lets the board go.
    s.LogFlag = true;
    ASSERT_TRUE(l.link.StartReceiver());
    EXPECT_EQ(l.host.boxes, (std::vector<Box>{{"Enable to open log file.\r\nWill not log data", MsgButtons::Ok,
                                               MsgIcon::None, "Warning"}}));
    test::TempFolder dir;
    l.host.directory = dir.path().string();
    ASSERT_TRUE(l.link.StartReceiver());
    l.port.comm(comEvReceive, "+,,17,4840D6,,,,,,,,,,,,;\r\n");
    l.link.shutdown();
    EXPECT_TRUE(l.said().ends_with("l XON events 1 XON close"));
    EXPECT_EQ(test::Read(dir.path() / "Output.txt"), "+,,17,4840D6,,,,,,,,,,,,;\r\n");
}

// The position goes to the board, digit by digit, only when the board holds
// another cell of 1/100000 degree; the longitude here is the default one.
TEST(ReceiverLink, PositionIsSentOnlyWhenTheBoardHoldsAnotherCell)
{
    // No digits: nothing is sent.
    const struct { const char* reply; const char* latitude; const char* digits; } rows[] = {
        {"|48.72171,2.37403;", "48.721710", ""}, {"|48.7217109,2.37403;", "48.721710", ""}, // same floor
        {"|48.72172,2.37403;", "48.721710", "004A57EB"}, {"48.72172,2.37403;", "48.721710", ""}, // no "|"
        {"|48.72172;", "48.721710", ""}, {"|48.72171,", "48.721710", "004A57EB"}, // longitude reads as 0
        {"", "48.721710", ""},
        // The ends of 32 bits, and past them.
        {"|0,0;", "-21474.83648", "80000000"}, {"|0,0;", "21474.836479", "7FFFFFFF"},
        {"|0,0;", "21474.83648", ""}, {"|0,0;", "1e10", ""},
    };
    for (const auto& row : rows) {
        Link l;
        l.port.replies["p"] = row.reply;
        l.chain.state().PosLat[0] = row.latitude;
        ASSERT_TRUE(l.link.StartReceiver());
        std::string expected = *row.digits ? " P ~40 clear" : "";
        for (const std::string_view digits : {row.digits, *row.digits ? "00039F5B" : ""}) {
            for (const char digit : digits)
                expected += std::string(" ") + digit + " ~1";
            expected += digits.empty() ? "" : " clear";
        }
        const std::string said = l.said();
        const std::size_t from = said.find("p ~40 read") + 10;
        EXPECT_EQ(said.substr(from, said.find(" l XON") - from), expected) << row.reply << " " << row.latitude;
    }
}

TEST(ReceiverLink, FirmwareAnswers)
{
    const std::string bad = "Bad firmware version: 2.7\r\nYou need to update it.";
    const std::string silent = "Communication error: No firmware response.\r\nVerify serial connection.";
    // No box: the answer is accepted.
    const struct { const char* reply; std::string box; MsgIcon icon; } rows[] = {
        {"ADSB 2.8", "", MsgIcon::None}, {"xxADSB 3.0 yy", "", MsgIcon::None},
        {"RYRYADSB 2.8", "", MsgIcon::None}, // RYRY not after CR LF
        {"ADSB 2.7", bad, MsgIcon::Critical}, {"ADSB 2.7\r\nRYRY", bad, MsgIcon::Critical},
        {"ADSB 2.10", "Bad firmware version: 2.1\r\nYou need to update it.", MsgIcon::Critical},
        {"ADSB 2.9\r\nRYRY", "TEST Mode enabled\r\nYou need to disable it.", MsgIcon::Information},
        {"ADSB", silent, MsgIcon::Critical}, {"", silent, MsgIcon::Critical},
    };
    for (const auto& row : rows) {
        Link l;
        l.port.replies["?"] = row.reply;
        EXPECT_EQ(l.link.StartReceiver(), row.box.empty()) << row.reply;
        if (row.box.empty())
            continue;
        EXPECT_EQ(l.host.boxes, (std::vector<Box>{{row.box, MsgButtons::Ok, row.icon, "Error"}})) << row.reply;
        EXPECT_EQ(l.said(), std::string(kHandshake) + " box Error XON close end") << row.reply;
        EXPECT_EQ(l.host.caption, "ADS-B");
    }
}

TEST(ReceiverLink, PortErrorOffersRetryThroughTheDialogWithoutRecursing)
{
    Link l;
    l.port.setCommPort(3);
    l.port.failingOpens = 3;
    l.host.answers = {MsgResult::Retry, MsgResult::Retry, MsgResult::Cancel};
    int dialogs = 0;
    l.host.onConfigure = [&] { l.port.setCommPort(4 + dialogs++); };
    EXPECT_FALSE(l.link.StartReceiver());
    EXPECT_EQ(l.said(), "open failed box ERROR dialog open failed box ERROR dialog open failed box ERROR end");
    EXPECT_EQ(l.host.boxes[0], (Box{"Error on COM3 port.\r\nVerify this port is available.", MsgButtons::RetryCancel,
                                    MsgIcon::None, "ERROR"}));
    EXPECT_EQ(std::get<0>(l.host.boxes[2]), "Error on COM5 port.\r\nVerify this port is available.");
    EXPECT_TRUE(l.link.ended());
}

TEST(ReceiverLink, LossIsSaidOnceAndReopeningRunsTheWholeStartUpUntilTheBoardAnswers)
{
    Link l;
    ASSERT_TRUE(l.link.StartReceiver());
    l.port.comm(comEvReceive, "+,,17,4840D6,,,,,,,,,,,,;\r\n");
    l.said();
    l.port.loss("read error");
    l.port.loss("read error");
    EXPECT_EQ(l.said(), "events 0 close");
    l.port.failingOpens = 2;
    l.link.retryTick();
    l.link.retryTick();
    EXPECT_EQ(l.said(), "open failed open failed");

    // A board that answers badly while reconnecting is reported, once, and
    // the program goes on trying.
    l.port.replies["?"] = "ADSB 2.7";
    l.link.retryTick();
    l.link.retryTick();
    EXPECT_FALSE(l.link.ended());
    EXPECT_TRUE(l.host.boxes.empty());
    l.port.replies["?"] = "ADSB 2.8";
    l.link.retryTick();
    EXPECT_EQ(l.host.statuses, (std::vector<std::string>{"lost COM1 (read error); reopening it every 2 s",
                                                         "Bad firmware version: 2.7 You need to update it.",
                                                         "receiver back on COM1"}));

    // A loss in the middle of a line: the half line is dropped, not joined
    // to the first whole line after the reconnection; the table survives.
    l.port.comm(comEvReceive, "+,,17,3C6DD1,,AFR1");
    l.port.loss("read error");
    l.link.retryTick();
    l.port.comm(comEvReceive, "+,,17,4CA2B1,,,,,,,,,,,,;\r\n");
    EXPECT_EQ(l.chain.table().size(), 2u);
    EXPECT_TRUE(l.chain.table().FindAircraftRow("4CA2B1"));

    // The configuration dialog stops the attempts.
    l.port.loss("gone");
    l.link.suspend();
    l.said();
    l.link.retryTick();
    EXPECT_EQ(l.said(), "");
}

} // namespace
} // namespace telvorn
