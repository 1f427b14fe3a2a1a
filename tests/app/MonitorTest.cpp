// `telvorn monitor` as a user runs it: the built program against the board
// emulator's program on a pseudo-terminal.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "MonitorHarness.h"

namespace {

namespace fs = std::filesystem;
using telvorn::test::Monitor;

TEST(Monitor, RefusesBadUseAndSaysHowToChooseAPort)
{
    Monitor m;
    EXPECT_EQ(m.run("--every 0"), 2);
    EXPECT_NE(m.err().find("--every"), std::string::npos);
    EXPECT_EQ(m.run("--bogus"), 2);
    // Properties of the monitor_args fuzz target: a line feed in an argument
    // broke the one-line message, and a span past what a timer holds was taken.
    EXPECT_EQ(m.run("\"$(printf -- '--bo\\ngus')\""), 2);
    EXPECT_EQ(m.err(), "telvorn monitor: unknown option '--bo\\x0agus'\n");
    EXPECT_EQ(m.run("--seconds 2147484"), 2);
    EXPECT_NE(m.err().find("up to 2147483"), std::string::npos) << m.err();
    EXPECT_EQ(m.run(""), 2) << "no stored port and no --port";
    EXPECT_NE(m.err().find("--port DEVICE"), std::string::npos) << m.err();
    EXPECT_EQ(m.run("--port " + m.device.string()), 1) << "nothing there to open";
    EXPECT_NE(m.err().find("Error on " + m.device.string() + " port. Verify this port is available."),
              std::string::npos)
        << m.err();
}

TEST(Monitor, RefusesAFirmwareTooOldAndABoardThatDoesNotAnswer)
{
    const std::pair<const char*, const char*> rows[] = {
        {"--version 2.7", "Bad firmware version: 2.7 You need to update it."},
        {"--mute", "Communication error: No firmware response. Verify serial connection."},
    };
    for (const auto& [board, said] : rows) {
        Monitor m;
        m.startBoard(board);
        EXPECT_EQ(m.run("--port " + m.device.string()), 1) << board;
        EXPECT_NE(m.err().find(std::string("telvorn monitor: ") + said + "\n"), std::string::npos) << m.err();
        EXPECT_EQ(m.out(), "") << board;
    }
}

TEST(Monitor, PrintsTheTableOfTheStoredPortEverySecondsAndAtTheEnd)
{
    Monitor m;
    m.startBoard();
    m.storeSettings();

    EXPECT_EQ(m.run("--seconds 2.5 --every 1"), 0) << m.err();
    const std::string out = m.out();
    std::istringstream lines(out);
    std::string line, last;
    int objects = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(line.starts_with("{\"panels\": {")) << line.substr(0, 80);
        ++objects;
        last = line;
    }
    EXPECT_EQ(objects, 3) << "two reports and the one at exit";
    EXPECT_EQ(last.find("\"PRC\": \"0\""), std::string::npos) << "aircraft arrived";
    EXPECT_NE(m.err().find("ADSB 0.9.0 - Firmware 2.8"), std::string::npos) << m.err();
}

TEST(Monitor, EndsOnSigtermWithTheBoardResumedAndTheTablePrinted)
{
    Monitor m;
    m.startBoard();
    EXPECT_EQ(m.run("--port " + m.device.string() + " --table", "sleep 1.5; kill -TERM $pid"), 0) << m.err();
    const std::string out = m.out();
    EXPECT_NE(out.find("ICAO"), std::string::npos) << out.substr(0, 200);
    EXPECT_NE(out.find("Total Frame: "), std::string::npos);
    EXPECT_EQ(out.find("\x1b["), std::string::npos) << "no terminal, so no redrawing";
}

} // namespace
