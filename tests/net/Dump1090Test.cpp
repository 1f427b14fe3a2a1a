// End to end, against a decoder nobody here wrote: Debian's
// dump1090-mutability, in --net-only mode, takes the board's frames from
// our push client on its Beast or raw input port; its own BaseStation
// output must then know the aircraft and call signs of our table.
//
// The board is telvorn-board on a pseudo-terminal, read with plain POSIX
// calls and told "w" to send its frames in field 0.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTcpSocket>

#include "NetTestKit.h"
#include "net/Feeds.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;
using namespace std::chrono_literals;
using test::WaitFor;

namespace {

std::string Trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// What our frames told the world: the addresses whose DF 11 or 17 frames
// went out (a decoder learns an aircraft from those; the others it only
// accepts once it knows the address) and those of DF 18, which a decoder
// takes but our table does not.
struct SentFrames final : RecordObserver {
    std::set<std::string> announced;
    std::set<std::string> df18;
    void recordReceived(const RecordFields& f) override
    {
        if (f[0].size() == 28 && f[2] == "18")
            df18.insert(std::string(f[3]));
        if ((f[0].size() == 14 && f[2] == "11") || (f[0].size() == 28 && f[2] == "17"))
            announced.insert(std::string(f[3]));
    }
};

// The board on its pseudo-terminal.
class Board {
public:
    explicit Board(ReceiveChain& chain) : chain_(chain)
    {
        process_.start(TELVORN_BOARD_EXE, {"--rate", "600", "--aircraft", "16", "--seed", "11"});
        std::string path;
        WaitFor([&] {
            if (process_.canReadLine())
                path = process_.readLine().trimmed().toStdString();
            return !path.empty() || process_.state() == QProcess::NotRunning;
        }, 20s);
        fd_ = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return;
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
        // Frames in field 0 from now on.
        (void)!::write(fd_, "w", 1);
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { read(); });
    }
    ~Board()
    {
        stop();
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool open() const { return fd_ >= 0; }
    void stop()
    {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    void read()
    {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0)
            chain_.received(std::string_view(buffer, std::size_t(n)));
    }

    ReceiveChain& chain_;
    QProcess process_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// dump1090-mutability listening on 127.0.0.1 only, with its input port of
// the protocol and its BaseStation output; what it says there, by address.
class Dump1090 {
public:
    std::map<std::string, std::string> calls; // address -> call sign ("" before one came)

    Dump1090(FeedProtocol input, std::uint16_t inputPort, std::uint16_t sbsPort)
    {
        const QString program = QStandardPaths::findExecutable("dump1090-mutability");
        if (program.isEmpty())
            return;
        const QString in = QString::number(inputPort);
        process_.start(program, {"--net-only", "--quiet", "--net-bind-address", "127.0.0.1", "--net-heartbeat", "0",
                                 "--net-ro-port", "0", "--net-bo-port", "0", "--net-ri-port",
                                 input == FeedProtocol::Raw ? in : "0", "--net-bi-port",
                                 input == FeedProtocol::Beast ? in : "0", "--net-sbs-port",
                                 QString::number(sbsPort)});
        QObject::connect(&sbs_, &QTcpSocket::readyRead, &sbs_, [this] { read(); });
        // It listens once it has started; until then a connection is refused.
        WaitFor([&] {
            if (sbs_.state() == QAbstractSocket::UnconnectedState)
                sbs_.connectToHost(QHostAddress::LocalHost, sbsPort);
            test::RunFor(50ms);
            return sbs_.state() == QAbstractSocket::ConnectedState || process_.state() == QProcess::NotRunning;
        }, 20s);
    }
    ~Dump1090()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    static bool installed() { return !QStandardPaths::findExecutable("dump1090-mutability").isEmpty(); }
    bool serving() const { return sbs_.state() == QAbstractSocket::ConnectedState; }

private:
    void read()
    {
        pending_ += sbs_.readAll().toStdString();
        std::size_t end;
        while ((end = pending_.find('\n')) != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::vector<std::string> f;
            std::size_t start = 0, comma;
            while ((comma = line.find(',', start)) != std::string::npos) {
                f.push_back(line.substr(start, comma - start));
                start = comma + 1;
            }
            f.push_back(line.substr(start));
            if (f.size() < 11 || f[0] != "MSG")
                continue;
            std::string& call = calls[f[4]];
            if (f[1] == "1" && !f[10].empty())
                call = Trimmed(f[10]);
        }
    }

    QProcess process_;
    QTcpSocket sbs_;
    std::string pending_;
};

// What the decoder knows and our table does not, or the other way round.
std::string Differences(const ReceiveChain& chain, const SentFrames& sent, const Dump1090& decoder)
{
    std::string out;
    std::map<std::string, std::string> ours;
    chain.table().forEachRow([&](RowId, const AircraftRow& row) { ours[row[Column::Icao]] = row[Column::Call]; });
    for (const std::string& address : sent.announced) {
        const auto it = decoder.calls.find(address);
        if (it == decoder.calls.end())
            out += "dump1090 does not know " + address + "; ";
        else if (ours.contains(address) && it->second != Trimmed(ours[address]))
            out += address + " is '" + it->second + "' for dump1090, '" + ours[address] + "' for us; ";
    }
    for (const auto& [address, call] : decoder.calls)
        if (!ours.contains(address) && !sent.df18.contains(address))
            out += "dump1090 knows " + address + ", we do not; ";
    return out;
}

void FeedDump1090(FeedProtocol protocol)
{
    if (!Dump1090::installed()) {
        if (std::getenv("CI"))
            FAIL() << "dump1090-mutability is missing: scripts/install-deps.sh test installs it";
        GTEST_SKIP() << "dump1090-mutability is not installed (apt-get install dump1090-mutability)";
    }
    SystemClock clock;
    ReceiveChain chain(clock);
    chain.SetupColumns();
    SentFrames sent;
    chain.addObserver(&sent);

    // A port that was free a moment ago may be taken by the time the
    // decoder binds it: then try another pair.
    std::unique_ptr<Dump1090> decoder;
    std::uint16_t input = 0;
    for (int attempt = 0; attempt < 5 && !(decoder && decoder->serving()); ++attempt) {
        input = test::FreePort();
        decoder = std::make_unique<Dump1090>(protocol, input, test::FreePort());
    }
    ASSERT_TRUE(decoder && decoder->serving()) << "dump1090-mutability did not start";

    test::Reports reports;
    FeedOptions options;
    options.connects.push_back({protocol, "127.0.0.1", input});
    options.reconnectMs = 200;
    Feeds feeds(chain, options, reports.reporter());
    feeds.start();
    ASSERT_TRUE(WaitFor([&] { return feeds.status().pushes.at(0).connected; })) << reports.all();

    Board board(chain);
    ASSERT_TRUE(board.open()) << "telvorn-board gave no device";
    std::size_t withCall = 0;
    WaitFor([&] {
        withCall = 0;
        chain.table().forEachRow([&](RowId, const AircraftRow& row) { withCall += !row[Column::Call].empty(); });
        return withCall >= 12;
    }, 60s);
    board.stop();
    EXPECT_GE(withCall, 12u) << "the board sent too few identifications";
    ASSERT_GE(sent.announced.size(), 12u);

    std::string differences;
    EXPECT_TRUE(WaitFor([&] {
        differences = Differences(chain, sent, *decoder);
        return differences.empty();
    }, 30s)) << differences;
    EXPECT_EQ(reports.messages.size(), 1u) << reports.all(); // "connected", nothing else
}

} // namespace

TEST(Dump1090, KnowsOurAircraftFromOurBeastFrames)
{
    FeedDump1090(FeedProtocol::Beast);
}

TEST(Dump1090, KnowsOurAircraftFromOurRawFrames)
{
    FeedDump1090(FeedProtocol::Raw);
}
