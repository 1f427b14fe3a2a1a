// The window's network feeds: started from the command line or the
// settings, shown in the feeds window of the list's context menu, stored at
// shutdown.
#include <gtest/gtest.h>

#include <QAction>
#include <QTcpSocket>
#include <QTest>

#include "TestWindow.h"
#include "feeds/FeedSettings.h"
#include "shell/AircraftTableView.h"
#include "shell/FeedsWindow.h"
#include "shell/MainFeeds.h"
#include "shell/Registry.h"

namespace telvorn {
namespace {

std::string StoredFeeds(test::Window& w) { return ReadSetting(w.store, AppKey, "", FeedsValueName, "?"); }

TEST(MainFeeds, FeedsWindowFromTheContextMenuShowsWhereItServesAndItsClients)
{
    test::Window w;
    w.runFeeds.emplace().sbsPort = 0;
    Main& m = w.load();
    const std::uint16_t port = m.feeds()->status().servers.at(0).port;

    ASSERT_EQ(m.view().contextMenuPolicy(), Qt::ActionsContextMenu);
    for (QAction* a : m.view().actions())
        if (a->text() == "Feeds...")
            a->trigger();
    FeedsWindow& feeds = m.feeds()->window();
    ASSERT_TRUE(feeds.isVisible());
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

    m.close();
    EXPECT_EQ(StoredFeeds(w), "--sbs-port 0") << "the feeds it was started with, stored at shutdown";
}

// Without feed options the stored feeds run; --no-feeds (empty options)
// runs none and forgets them.
TEST(MainFeeds, StoredFeedsRunUnlessTheCommandLineSaysOtherwise)
{
    const struct { std::optional<FeedOptions> run; std::size_t servers; std::string storedAfter; } rows[] = {
        {std::nullopt, 1, "--raw-port 0"}, {FeedOptions{}, 0, ""},
    };
    for (const auto& row : rows) {
        test::Window w;
        WriteSetting(w.store, AppKey, "", FeedsValueName, "--raw-port 0");
        w.runFeeds = row.run;
        Main& m = w.load();
        EXPECT_EQ(m.feeds()->status().servers.size(), row.servers);
        m.feeds()->showWindow();
        EXPECT_EQ(m.feeds()->window().statusText().startsWith("No feeds."), row.servers == 0);
        m.close();
        EXPECT_EQ(StoredFeeds(w), row.storedAfter) << row.servers;
    }
}

} // namespace
} // namespace telvorn
