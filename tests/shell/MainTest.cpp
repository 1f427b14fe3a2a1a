// The main window's start-up and shutdown, with a recording port and the
// settings in a folder of the test's own.
#include <gtest/gtest.h>

#include <array>

#include <QPushButton>
#include <QTest>

#include "ConfigDone.h"
#include "TestWindow.h"
#include "shell/AircraftTableModel.h"
#include "shell/AircraftTableView.h"

namespace telvorn {
namespace {

using test::DoneWhenShown;

TEST(Main, EmptyStoreAsksForAPortFirstAndStartsTheReceiverTwice)
{
    test::Window w;
    Main& m = w.open();
    bool shownBeforeMain = false;
    DoneWhenShown([&](Config&) { shownBeforeMain = !m.isVisible(); });
    ASSERT_TRUE(m.Form_Load());
    EXPECT_TRUE(shownBeforeMain);
    EXPECT_EQ(w.startUps(), 2);
    EXPECT_EQ(m.windowTitle(), "ADSB 0.9.0 - Firmware 2.8");
    EXPECT_EQ(m.pos(), QPoint(67, 67)) << "1000 twips";
    EXPECT_TRUE(m.TimerClean().isActive()) << "the purge runs";
}

TEST(Main, StoredPortStartsOnceAndShutdownWritesEverySettingUnlessTheFirmwareWasRefused)
{
    test::Window w;
    AppSettings saved;
    saved.port = 3;
    saved.device = "/dev/ttyACM0";
    saved.sortColumn = 3;
    Main& m = w.load(saved);
    EXPECT_EQ(w.startUps(), 1);
    EXPECT_EQ(m.chain().table().sortColumn(), 3);

    // A header click chooses the sort column, kept at shutdown.
    m.ListView_ColumnClick(1);
    m.show();
    m.move(200, 150);
    m.close();
    saved = {float(m.pos().x() * 15), float(m.pos().y() * 15), 0, false, false, false, "48.721710", "2.374030",
             3, false, "/dev/ttyACM0"};
    EXPECT_EQ(w.stored(), saved);
    EXPECT_EQ(w.log.back(), "close");
    EXPECT_EQ(w.log[w.log.size() - 2], "\x11");

    // A fatal firmware answer ends the program without writing settings.
    test::Window fatal;
    fatal.save();
    fatal.port.replies["?"] = "ADSB 2.7";
    EXPECT_FALSE(fatal.open().Form_Load());
    EXPECT_TRUE(fatal.ended);
    fatal.main->move(500, 500);
    fatal.main->close();
    EXPECT_EQ(fatal.stored().mainLeft, 1000.0f);
}

TEST(Main, RecordsReachTheListAndThePanelsTheButtonsDriveTheBoardAndALossShowsInTheStatusBar)
{
    test::Window w;
    Main& m = w.load();
    w.receive("+,,17,4840D6,KLM1234,A3,,,,35000,7700,,,,,;\r\n*8D4840D6;\r\n!4840D6,1,S;\r\n");
    EXPECT_EQ(m.model().index(0, 4).data().toString(), "Netherlands");
    EXPECT_EQ(w.panel(Panel::Prc), "1");
    EXPECT_EQ(w.panel(Panel::Alt), "4840D6 (SQUACK) General Emergency");
    w.clock.advance(std::chrono::seconds(200));
    m.TimerClean_Timer();
    m.refresh();
    EXPECT_EQ(w.panel(Panel::Prc), "0");

    QPushButton* mode = m.status().mode();
    EXPECT_EQ(mode->text(), "&Decoded");
    EXPECT_FALSE(mode->geometry().intersects(m.status().conf()->geometry()));
    QTest::mouseClick(mode, Qt::LeftButton);
    EXPECT_EQ(mode->text(), "Raw");
    w.log.clear();

    // A configuration round trip restarts the receiver with the new values.
    // The dialog shows and takes back the configured receiver position,
    // never the last aircraft position beside it.
    MainState& state = m.chain().state();
    state.PosLat = {"-33.9", "51.0"};
    state.PosLon = {"151.2", "-7.5"};
    DoneWhenShown([](Config& c) { c.setLOG(true); });
    QTest::mouseClick(m.status().conf(), Qt::LeftButton);
    EXPECT_EQ(w.startUps(), 1) << "since the log was cleared";
    EXPECT_EQ(w.log.front(), "close") << "the dialog closes the port first";
    EXPECT_TRUE(state.LogFlag);
    EXPECT_EQ(state.PosLat, (std::array<std::string, 2>{"-33.9", "51.0"}));
    EXPECT_EQ(state.PosLon, (std::array<std::string, 2>{"151.2", "-7.5"}));
    EXPECT_EQ(mode->text(), "Decoded");

    w.port.loss("the board hung up or was unplugged");
    EXPECT_TRUE(m.status().showsLinkMessage());
    EXPECT_TRUE(m.windowTitle().endsWith("receiver lost, reconnecting"));
    m.link().retryTick();
    EXPECT_FALSE(m.status().showsLinkMessage());
    EXPECT_EQ(m.windowTitle(), "ADSB 0.9.0 - Firmware 2.8");
}

} // namespace
} // namespace telvorn
