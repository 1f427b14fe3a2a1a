// The window's network feeds: started from the command line or the
// settings, shown in the feeds window of the list's context menu, stored at
// shutdown; the caption, panels and buttons stay as they are.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QTcpSocket>
#include <QTest>

#include "FakeLink.h"
#include "TempFolder.h"
#include "feeds/FeedSettings.h"
#include "platform/FileSettingsStore.h"
#include "shell/AircraftTableView.h"
#include "shell/FeedsWindow.h"
#include "shell/Main.h"
#include "shell/MainFeeds.h"
#include "shell/Registry.h"
#include "shell/StatusStrip.h"

namespace telvorn {
namespace {

struct Window {
    test::TempFolder dir;
    FileSettingsStore store{dir.path()};
    test::Transcript log;
    test::FakeSerialPort port{log};
    test::FakeLinkHost answers{log};
    FrozenClock clock;
    std::unique_ptr<Main> main;

    Main& open(std::optional<FeedOptions> runFeeds)
    {
        AppSettings saved;
        saved.port = 1;
        SaveSettings(store, saved);
        ShellServices s;
        s.store = &store;
        s.port = &port;
        s.clock = &clock;
        s.msgBox = [this](const std::string& text, MsgButtons b, MsgIcon i, const std::string& title,
                          const std::string& detail) { return answers.MsgBox(text, b, i, title, detail); };
        s.endProgram = [] {};
        s.sleep = [](int) {};
        s.currentDirectory = [this] { return dir.path().string(); };
        s.runFeeds = std::move(runFeeds);
        main = std::make_unique<Main>(s);
        return *main;
    }
    std::string stored() { return ReadSetting(store, AppKey, "", FeedsValueName, "?"); }
};

TEST(MainFeeds, FeedsWindowFromTheContextMenuShowsWhereItServesAndItsClients)
{
    Window w;
    FeedOptions run;
    run.sbsPort = 0;
    Main& m = w.open(run);
    ASSERT_TRUE(m.Form_Load());
    ASSERT_NE(m.feeds(), nullptr);
    const std::uint16_t port = m.feeds()->status().servers.at(0).port;
    ASSERT_NE(port, 0);
    const QString caption = m.windowTitle();
    const QString mode = m.status().mode()->text();

    ASSERT_EQ(m.view().contextMenuPolicy(), Qt::ActionsContextMenu);
    QAction* entry = nullptr;
    for (QAction* a : m.view().actions())
        if (a->text() == "Feeds...")
            entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    FeedsWindow& feeds = m.feeds()->window();
    EXPECT_TRUE(feeds.isVisible());
    EXPECT_TRUE(feeds.statusText().contains("SBS server on 127.0.0.1:" + QString::number(port) + ": 0 clients"))
        << feeds.statusText().toStdString();

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(QTest::qWaitFor([&] { return feeds.statusText().contains("Clients connected: 1"); }, 30000))
        << feeds.statusText().toStdString();
    m.chain().received("+,,17,4840D6,KLM1234,A3,,,,35000,,,,,,;\r\n");
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (got += client.readAll()).contains("\r\n"); }, 30000));
    EXPECT_TRUE(got.startsWith("MSG,1,1,1,4840D6,1,")) << got.toStdString();

    EXPECT_EQ(m.windowTitle(), caption);
    EXPECT_EQ(m.status().mode()->text(), mode);
    EXPECT_EQ(m.status().panel(Panel::Raw)->text(), "NO RAW DATA MODE");
    m.close();
    EXPECT_EQ(w.stored(), "--sbs-port 0") << "the feeds it was started with, stored at shutdown";
}

// Without feed options the stored feeds run; --no-feeds (empty options)
// runs none and forgets them.
TEST(MainFeeds, StoredFeedsRunUnlessTheCommandLineSaysOtherwise)
{
    const struct {
        const char* name;
        std::optional<FeedOptions> run;
        std::size_t servers;
        std::string storedAfter;
    } rows[] = {
        {"stored ones", std::nullopt, 1, "--raw-port 0"},
        {"--no-feeds", FeedOptions{}, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Window w;
        WriteSetting(w.store, AppKey, "", FeedsValueName, "--raw-port 0");
        Main& m = w.open(row.run);
        ASSERT_TRUE(m.Form_Load());
        ASSERT_NE(m.feeds(), nullptr);
        EXPECT_EQ(m.feeds()->status().servers.size(), row.servers);
        m.feeds()->showWindow();
        EXPECT_EQ(m.feeds()->window().statusText().startsWith("No feeds."), row.servers == 0);
        m.close();
        EXPECT_EQ(w.stored(), row.storedAfter);
    }
}

} // namespace
} // namespace telvorn
