// The main window on a real serial port, with the board emulator on a
// pseudo-terminal at the other end: rows with their countries, the `Mode`
// button switching the board, a configuration round trip restarting it at
// the line settings chosen, on the device itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QPushButton>
#include <QTest>
#include <QThread>

#include <termios.h>

#include "ConfigDone.h"
#include "EventLoop.h"
#include "ProgramRun.h"
#include "TempFolder.h"
#include "platform/FileSettingsStore.h"
#include "platform/QtSerialPort.h"
#include "shell/AircraftTableModel.h"
#include "shell/Main.h"
#include "shell/StatusStrip.h"
#include "text/NumberText.h"

namespace telvorn {
namespace {

using test::WaitFor;

TEST(WindowEndToEnd, ShowsTheBoardsAircraftAndItsButtonsDriveTheBoard)
{
    test::TempFolder dir;
    const test::Board board(dir.path() / "board", {"--seed", "5", "--rate", "300"});

    FileSettingsStore store(dir.path() / "settings");
    AppSettings saved;
    saved.port = 1;
    SaveSettings(store, saved);
    QtSerialPort port;
    SystemClock clock;
    int boxes = 0;
    bool ended = false;
    ShellServices s;
    s.store = &store;
    s.port = &port;
    s.clock = &clock;
    s.msgBox = [&](const std::string&, MsgButtons, MsgIcon, const std::string&, const std::string&) {
        ++boxes;
        return MsgResult::Ok;
    };
    s.endProgram = [&] { ended = true; };
    s.sleep = [](int ms) { QThread::msleep(unsigned(ms)); };
    s.currentDirectory = [&] { return dir.path().string(); };
    s.runDevice = (dir.path() / "board").string();
    Main m(s);
    // The speed the device is set to, once its other settings are checked.
    const auto speed = [&] {
        termios tio{};
        EXPECT_EQ(tcgetattr(int(port.qtPort().handle()), &tio), 0);
        EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), tcflag_t(0));
        EXPECT_NE(tio.c_iflag & IXON, tcflag_t(0));
        EXPECT_NE(tio.c_iflag & IXOFF, tcflag_t(0));
        return cfgetospeed(&tio);
    };
    ASSERT_TRUE(m.Form_Load());
    EXPECT_EQ(m.windowTitle(), "ADSB 0.9.0 - Firmware 2.8");
    EXPECT_EQ(speed(), speed_t(B115200));

    auto lines = [&] { return LeadingNumber(m.status().panel(Panel::All)->text().toStdString()); };
    auto anyCell = [&](int column, auto&& holds) {
        for (int r = 0; r < m.model().rowCount(); ++r)
            if (holds(m.model().index(r, column).data().toString()))
                return true;
        return false;
    };
    ASSERT_TRUE(WaitFor([&] {
        m.refresh();
        return m.model().rowCount() > 3 && anyCell(int(Index(Column::Cont)), [](const QString& c) { return !c.isEmpty(); });
    })) << "rows with their countries";

    // Raw mode: the board sends 17-bit CPR fields, without a decimal point.
    QTest::mouseClick(m.status().mode(), Qt::LeftButton);
    EXPECT_EQ(m.status().mode()->text(), "Raw");
    ASSERT_TRUE(WaitFor([&] {
        m.refresh();
        return anyCell(int(Index(Column::Lat0)), [](const QString& c) { return !c.isEmpty() && !c.contains('.'); });
    })) << "records keep coming after the click, with raw fields";

    // The dialog closes the port and the start-up runs again, log and high
    // speed now on.
    test::DoneWhenShown([](Config& c) {
        c.setLOG(true);
        c.setHSp(true);
    });
    QTest::mouseClick(m.status().conf(), Qt::LeftButton);
    EXPECT_EQ(m.windowTitle(), "ADSB 0.9.0 - Firmware 2.8");
    EXPECT_EQ(speed(), speed_t(B1000000));
    EXPECT_EQ(m.status().mode()->text(), "Decoded");
    EXPECT_TRUE(port.isOpen());
    const auto before = lines();
    ASSERT_TRUE(WaitFor([&] {
        m.refresh();
        return lines() > before + 20;
    })) << "traffic flows after the restart";
    EXPECT_TRUE(std::filesystem::exists(ReceiveChain::LogPath(dir.path().string())));

    m.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(LoadSettings(store).logFlag);
    EXPECT_EQ(boxes, 0);
    EXPECT_FALSE(ended);
}

} // namespace
} // namespace telvorn
