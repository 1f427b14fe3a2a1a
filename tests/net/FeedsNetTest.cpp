#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include "CoreHarness.h"
#include "NetTestKit.h"
#include "TextFields.h"
#include "net/Feeds.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;
using namespace std::chrono_literals;
using test::WaitFor;

namespace {

const std::string kFrame = "8D419A9B220815F2DF2820166705";

// `n` DF 17 record lines numbered on from `next`, each with a frame, an
// identification and a position: a MSG,1 and a MSG,3 line, an AVR line, a
// Beast frame.
std::string Records(long& next, int n = 1)
{
    std::string event;
    for (int k = 0; k < n; ++k, ++next)
        event += test::Record17("419A9B", {{0, kFrame}, {4, "BAW" + std::to_string(next % 1000)}, {6, "0"},
                                           {7, "48.85000"}, {8, "2.35000"}, {9, std::to_string(30000 + next % 1000)}}) +
                 ";\r\n";
    return event;
}

// A reader that keeps all it gets.
struct Reader {
    QTcpSocket socket;
    QByteArray bytes;
    explicit Reader(std::uint16_t port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { bytes += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool connected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    long lines() const { return bytes.count("\r\n"); }
};

// A client that connects and never reads, with a small receive buffer so
// the kernel holds little for it.
struct Sleeper {
    int fd = -1;
    explicit Sleeper(std::uint16_t port)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int small = 4096;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~Sleeper()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::uint16_t PortOf(const Feeds& feeds, FeedProtocol protocol)
{
    for (const FeedServerStatus& s : feeds.status().servers)
        if (s.protocol == protocol)
            return s.port;
    return 0;
}

// A receive chain whose board sends its frames, and what the feeds report.
class FeedsNet : public ::testing::Test {
protected:
    FeedsNet() { chain.state().RawFlag = true; }
    Feeds& make(const FeedOptions& options)
    {
        made = std::make_unique<Feeds>(chain, options, reports.reporter());
        return *made;
    }
    // One SBS server with these limits; its port, 0 when it does not start.
    std::uint16_t serveSbs(std::size_t clientBuffer, std::size_t maxClients)
    {
        FeedOptions options;
        options.sbsPort = 0;
        options.clientBuffer = clientBuffer;
        options.maxClients = maxClients;
        return make(options).start() ? PortOf(*made, FeedProtocol::Sbs) : 0;
    }
    FrozenClock clock;
    ReceiveChain chain{clock};
    test::Reports reports;
    std::unique_ptr<Feeds> made;
};

} // namespace

// Every client of a server gets every line of its protocol; the status says
// where each serves and how many clients it has.
TEST_F(FeedsNet, ServersGiveEveryClientItsProtocol)
{
    FeedOptions servers;
    servers.sbsPort = servers.rawPort = servers.beastPort = 0;
    Feeds& feeds = make(servers);
    ASSERT_TRUE(feeds.start()) << reports.all();

    Reader sbs1(PortOf(feeds, FeedProtocol::Sbs)), sbs2(PortOf(feeds, FeedProtocol::Sbs));
    Reader raw(PortOf(feeds, FeedProtocol::Raw)), beast(PortOf(feeds, FeedProtocol::Beast));
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 4; })) << feeds.status().text();
    const FeedStatus status = feeds.status();
    ASSERT_EQ(status.servers.size(), 3u);
    EXPECT_EQ(status.text(), "sbs on 127.0.0.1:" + std::to_string(status.servers[0].port) +
                                 " (2 clients); raw on 127.0.0.1:" + std::to_string(status.servers[1].port) +
                                 " (1 client); beast on 127.0.0.1:" + std::to_string(status.servers[2].port) +
                                 " (1 client)");

    constexpr int kRecords = 200;
    for (long i = 0; i < kRecords;) {
        chain.received(Records(i, 10));
        test::RunFor(1ms);
    }
    ASSERT_TRUE(WaitFor([&] {
        return sbs1.lines() == 2 * kRecords && sbs2.lines() == 2 * kRecords && raw.lines() == kRecords &&
               beast.bytes.size() == kRecords * (2 + 6 + 1 + 14);
    })) << sbs1.lines() << " " << sbs2.lines() << " " << raw.lines() << " " << beast.bytes.size();
    EXPECT_EQ(sbs1.bytes, sbs2.bytes);
    EXPECT_TRUE(sbs1.bytes.startsWith("MSG,1,1,1,419A9B,1,"));
    EXPECT_TRUE(raw.bytes.startsWith(QByteArray::fromStdString("*" + kFrame + ";\r\n")));
    EXPECT_TRUE(beast.bytes.startsWith("\x1A\x33"));

    sbs2.socket.disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 3; }));
    EXPECT_TRUE(reports.messages.empty()) << reports.all();
}

// A client that stops reading is dropped when its buffer is full, and said
// so once; the other client misses nothing. A flood of connections past the
// limit is refused, said once too, and a place is free again once the
// sleeper is gone.
TEST_F(FeedsNet, SlowClientIsDroppedWithoutTouchingTheOthers)
{
    const std::uint16_t port = serveSbs(64 * 1024, 2);
    ASSERT_NE(port, 0) << reports.all();
    Feeds& feeds = *made;

    Reader reader(port);
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 1; }));
    Sleeper sleeper(port);
    ASSERT_GE(sleeper.fd, 0);
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 2; }));
    std::vector<std::unique_ptr<Reader>> flood;
    for (int i = 0; i < 5; ++i)
        flood.push_back(std::make_unique<Reader>(port));
    ASSERT_TRUE(WaitFor([&] { return reports.count("refusing") == 1 && flood.back()->socket.state() ==
                                                                           QAbstractSocket::UnconnectedState; }))
        << reports.all();

    long records = 0;
    ASSERT_TRUE(WaitFor([&] {
        chain.received(Records(records, 50));
        return feeds.status().clients() == 1;
    })) << reports.all();
    for (int k = 0; k < 100; ++k)
        chain.received(Records(records));
    ASSERT_TRUE(WaitFor([&] { return reader.lines() == 2 * records; })) << reader.lines() << " of " << 2 * records;
    EXPECT_TRUE(reader.connected());
    EXPECT_EQ(reports.count("dropped sbs client 127.0.0.1:"), 1u) << reports.all();
    EXPECT_EQ(reports.count("refusing"), 1u) << reports.all();
    EXPECT_EQ(reports.messages.size(), 2u) << reports.all();

    Reader late(port);
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 2; }));
}

// A push client keeps trying while the other side is away and says once
// that it is gone and once that it is back.
TEST_F(FeedsNet, PushClientReconnectsByItself)
{
    const std::uint16_t port = test::FreePort();
    FeedOptions options;
    options.connects.push_back({FeedProtocol::Raw, "127.0.0.1", port});
    options.reconnectMs = 100;
    Feeds& feeds = make(options);
    feeds.start();
    ASSERT_TRUE(WaitFor([&] { return reports.count("cannot connect the raw push to 127.0.0.1:") == 1; }))
        << reports.all();
    EXPECT_FALSE(feeds.status().pushes.at(0).connected);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        QTcpServer listener;
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, port));
        ASSERT_TRUE(WaitFor([&] { return listener.hasPendingConnections(); }));
        std::unique_ptr<QTcpSocket> peer(listener.nextPendingConnection());
        ASSERT_TRUE(WaitFor([&] { return feeds.status().pushes.at(0).connected; }));
        EXPECT_EQ(reports.count("raw push to 127.0.0.1:" + std::to_string(port) + " connected"), round + 1u);

        long one = round;
        chain.received(Records(one));
        QByteArray got;
        ASSERT_TRUE(WaitFor([&] {
            got += peer->readAll();
            return got.contains("\r\n");
        }));
        EXPECT_EQ(got.toStdString(), "*" + kFrame + ";\r\n");

        // The other side goes away for several retry periods.
        peer->close();
        listener.close();
        ASSERT_TRUE(WaitFor([&] { return !feeds.status().pushes.at(0).connected; }));
        test::RunFor(600ms);
        EXPECT_EQ(reports.count("lost the raw push"), round + 1u) << reports.all();
    }
    EXPECT_EQ(reports.messages.size(), 5u) << reports.all();
    EXPECT_EQ(feeds.status().text(), "raw to 127.0.0.1:" + std::to_string(port) + " (reconnecting)");
}

// A few hundred connections at once: clients that never read, clients that
// connect and vanish at once (some with a reset), and one that reads. The
// receive path takes every line, the reader gets every line, at most
// maxClients are served and the bytes waiting for them stay within their
// buffers; each dropped client is reported once, not per line.
TEST_F(FeedsNet, FloodsOfClientsThatNeverReadOrVanishLeaveTheReceivePathGoing)
{
    constexpr std::size_t kBuffer = 16 * 1024, kMaxClients = 40; // the buffer smaller than the hub's chunks
    const std::uint16_t port = serveSbs(kBuffer, kMaxClients);
    ASSERT_NE(port, 0) << reports.all();
    Feeds& feeds = *made;
    Reader reader(port);
    ASSERT_TRUE(WaitFor([&] { return feeds.status().clients() == 1; }));

    constexpr int kConnections = 300;
    std::vector<std::unique_ptr<Sleeper>> sleepers;
    for (int i = 0; i < kConnections; ++i) {
        auto s = std::make_unique<Sleeper>(port);
        if (s->fd >= 0 && i % 3 == 0) {
            // Gone at once; every other one with a reset instead of a close.
            if (i % 2 == 0) {
                const linger reset{1, 0};
                ::setsockopt(s->fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            }
            ::close(s->fd);
            s->fd = -1;
        }
        sleepers.push_back(std::move(s));
        // The connects block while the listen queue is full, and only the
        // event loop empties it.
        QCoreApplication::processEvents();
    }

    long records = 0;
    std::size_t mostClients = 0, mostWaiting = 0;
    for (int round = 0; round < 200; ++round) {
        chain.received(Records(records, 20));
        test::RunFor(2ms);
        const FeedServerStatus s = feeds.status().servers.at(0);
        mostClients = std::max(mostClients, s.clients);
        mostWaiting = std::max(mostWaiting, s.waiting);
    }
    EXPECT_EQ(chain.panels().text(Panel::All), std::to_string(records));
    ASSERT_TRUE(WaitFor([&] { return reader.lines() == 2 * records; })) << reader.lines() << " of " << 2 * records;
    EXPECT_TRUE(reader.connected());
    EXPECT_LE(mostClients, kMaxClients);
    // A buffer holds at most its capacity, or one of the hub's chunks when
    // it was empty.
    EXPECT_LE(mostWaiting, kMaxClients * (kBuffer + FeedHub::kFlushAt + 4096));
    // The sleepers still there are dropped by now, each once: as many
    // reports as clients named in them, nothing reported per line.
    ASSERT_TRUE(WaitFor([&] {
        chain.received(Records(records, 20));
        return feeds.status().clients() == 1;
    })) << feeds.status().text();
    std::set<std::string> dropped; // "feeds: dropped sbs client ADDRESS:PORT of ..."
    for (const std::string& m : reports.messages) {
        const bool drop = m.find("dropped sbs client") != std::string::npos;
        EXPECT_TRUE(drop || m.find("refusing") != std::string::npos) << m;
        if (drop)
            dropped.insert(test::Split(m, ' ').at(4));
    }
    EXPECT_GE(reports.count("refusing"), 1u) << "the flood went past the limit";
    EXPECT_GE(dropped.size(), 1u);
    EXPECT_EQ(reports.count("dropped sbs client"), dropped.size()) << reports.all();
}

TEST_F(FeedsNet, ServerThatCannotListenSaysWhatToDo)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    FeedOptions options;
    options.sbsPort = taken.serverPort();
    options.rawPort = 0;
    Feeds& feeds = make(options);
    EXPECT_FALSE(feeds.start());
    ASSERT_EQ(reports.messages.size(), 1u) << reports.all();
    EXPECT_TRUE(reports.messages[0].starts_with("feeds: cannot serve sbs on 127.0.0.1:" +
                                                std::to_string(taken.serverPort())))
        << reports.messages[0];
    EXPECT_NE(reports.messages[0].find("--sbs-port"), std::string::npos);
    EXPECT_TRUE(feeds.status().servers[1].listening); // the raw server runs all the same

    FeedOptions bad;
    bad.beastPort = 0;
    bad.bindAddress = "feeder.local";
    Feeds badFeeds(chain, bad, reports.reporter());
    EXPECT_FALSE(badFeeds.start());
    EXPECT_EQ(reports.count("--bind feeder.local is not an IP address"), 1u) << reports.all();

    // Frames asked for, but the board is told to send none.
    chain.state().RawFlag = false;
    FeedOptions frames;
    frames.connects.push_back({FeedProtocol::Beast, "127.0.0.1", test::FreePort()});
    Feeds silent(chain, frames, reports.reporter());
    silent.start();
    EXPECT_EQ(reports.count("the RAW setting is off"), 1u) << reports.all();
}
