// End to end, against a decoder nobody here wrote: Debian's
// dump1090-mutability, in --net-only mode, takes the board's frames on its
// Beast or raw input port from `telvorn monitor --connect`, which receives
// them from telvorn-board on a pseudo-terminal; dump1090's own BaseStation
// output must then know the aircraft and call signs of the monitor's table.
// The monitor also serves the frames on --raw-port, from which the test
// learns which addresses went out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>

#include "NetTestKit.h"
#include "TempFolder.h"
#include "TextFields.h"
#include "feeds/FeedProtocol.h"

using namespace telvorn;
using namespace std::chrono_literals;
using test::LineBuffer;
using test::TrimmedRight;
using test::WaitFor;

namespace {

// telvorn-board on a pseudo-terminal, reached through a link of ours.
class Board {
public:
    explicit Board(const std::filesystem::path& device)
    {
        process_.start(TELVORN_BOARD_EXE, {"--rate", "600", "--aircraft", "16", "--seed", "11", "--symlink",
                                           QString::fromStdString(device.string())});
        WaitFor([&] { return std::filesystem::exists(device) || process_.state() == QProcess::NotRunning; }, 20s);
    }
    ~Board()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
};

// `telvorn monitor` with settings of its own (the board's device, raw frames
// on), its table every second and what it says on stderr.
class Monitor {
public:
    std::map<std::string, std::string> calls; // the table's addresses and call signs
    std::string errors;

    Monitor(const test::TempFolder& dir, const std::filesystem::path& device, const QStringList& feeds)
    {
        const std::filesystem::path store = dir.path() / "settings" / "Orvalen Software";
        std::filesystem::create_directories(store);
        std::ofstream(store / "ADSB.conf") << "COM=number:1\nDevice=text:" << device.string() << "\nRAW=number:-1\n";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVORN_SETTINGS_DIR", QString::fromStdString((dir.path() / "settings").string()));
        process_.setProcessEnvironment(env);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_, [this] {
            out_.add(process_.readAllStandardOutput().toStdString(), [this](const std::string& line) { table(line); });
        });
        QObject::connect(&process_, &QProcess::readyReadStandardError, &process_,
                         [this] { errors += process_.readAllStandardError().toStdString(); });
        process_.start(TELVORN_BIN, QStringList{"monitor", "--every", "1"} + feeds);
    }
    ~Monitor()
    {
        process_.terminate();
        process_.waitForFinished(10000);
    }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    // The port of the monitor's server of this protocol, from its "feeds:" line.
    std::uint16_t servedPort(FeedProtocol protocol) const
    {
        const std::string mark = std::string(FeedProtocolName(protocol)) + " on 127.0.0.1:";
        const std::size_t at = errors.find(mark);
        return at == std::string::npos ? 0 : std::uint16_t(std::atoi(errors.c_str() + at + mark.size()));
    }
    std::size_t withCall() const
    {
        std::size_t n = 0;
        for (const auto& [address, call] : calls)
            n += !call.empty();
        return n;
    }

private:
    void table(const std::string& line)
    {
        const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QJsonArray columns = json["columns"].toArray();
        qsizetype icao = -1, call = -1;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (columns[c].toString() == "ICAO")
                icao = c;
            if (columns[c].toString() == "CALL")
                call = c;
        }
        if (icao < 0 || call < 0)
            return;
        calls.clear();
        for (const QJsonValue& row : json["rows"].toArray())
            calls[row[icao].toString().toStdString()] = TrimmedRight(row[call].toString().toStdString());
    }

    QProcess process_;
    LineBuffer out_;
};

// The addresses of the AVR frames the monitor served: DF 11 and 17 frames
// announce an aircraft to a decoder (the others it takes only once it knows
// the address); DF 18 ones a decoder takes, our table does not.
struct SentFrames {
    QTcpSocket socket;
    std::set<std::string> announced;
    std::set<std::string> df18;
    LineBuffer pending;

    explicit SentFrames(std::uint16_t port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            pending.add(socket.readAll().toStdString(), [this](const std::string& line) {
                if (line.size() != 16 && line.size() != 30)
                    return;
                const int df = std::stoi(line.substr(1, 2), nullptr, 16) >> 3;
                const std::string address = line.substr(3, 6);
                if (df == 18)
                    df18.insert(address);
                else if (df == 11 || df == 17)
                    announced.insert(address);
            });
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
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
        QObject::connect(&sbs_, &QTcpSocket::readyRead, &sbs_, [this] {
            pending_.add(sbs_.readAll().toStdString(), [this](const std::string& line) {
                const std::vector<std::string> f = test::Split(line);
                if (f.size() < 11 || f[0] != "MSG")
                    return;
                std::string& call = calls[f[4]];
                if (f[1] == "1" && !f[10].empty())
                    call = TrimmedRight(f[10]);
            });
        });
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
    QProcess process_;
    QTcpSocket sbs_;
    LineBuffer pending_;
};

// What the decoder knows and our table does not, or the other way round.
std::string Differences(const Monitor& monitor, const SentFrames& sent, const Dump1090& decoder)
{
    std::string out;
    for (const std::string& address : sent.announced) {
        const auto it = decoder.calls.find(address);
        const auto ours = monitor.calls.find(address);
        if (it == decoder.calls.end())
            out += "dump1090 does not know " + address + "; ";
        else if (ours != monitor.calls.end() && it->second != ours->second)
            out += address + " is '" + it->second + "' for dump1090, '" + ours->second + "' for us; ";
    }
    for (const auto& [address, call] : decoder.calls)
        if (!monitor.calls.contains(address) && !sent.df18.contains(address))
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
    // A port that was free a moment ago may be taken by the time the
    // decoder binds it: then try another pair.
    std::unique_ptr<Dump1090> decoder;
    std::uint16_t input = 0;
    for (int attempt = 0; attempt < 5 && !(decoder && decoder->serving()); ++attempt) {
        input = test::FreePort();
        decoder = std::make_unique<Dump1090>(protocol, input, test::FreePort());
    }
    ASSERT_TRUE(decoder && decoder->serving()) << "dump1090-mutability did not start";

    test::TempFolder dir;
    const std::filesystem::path device = dir.path() / "board";
    Board board(device);
    ASSERT_TRUE(std::filesystem::exists(device)) << "telvorn-board gave no device";
    const QString connect =
        "127.0.0.1:" + QString::number(input) + ":" + QString::fromLatin1(FeedProtocolName(protocol).data());
    Monitor monitor(dir, device, {"--connect", connect, "--raw-port", "0"});
    ASSERT_TRUE(WaitFor([&] { return monitor.servedPort(FeedProtocol::Raw) != 0 || !monitor.running(); }, 30s))
        << monitor.errors;
    SentFrames sent(monitor.servedPort(FeedProtocol::Raw));

    EXPECT_TRUE(WaitFor([&] { return monitor.withCall() >= 12 || !monitor.running(); }, 60s))
        << "the monitor's table has " << monitor.withCall() << " call signs\n"
        << monitor.errors;
    ASSERT_GE(sent.announced.size(), 12u) << monitor.errors;
    std::string differences;
    EXPECT_TRUE(WaitFor([&] {
        differences = Differences(monitor, sent, *decoder);
        return differences.empty();
    }, 60s)) << differences;
    EXPECT_NE(monitor.errors.find(connect.toStdString().substr(0, connect.lastIndexOf(':')) + " connected"),
              std::string::npos)
        << monitor.errors;
    for (const char* trouble : {"cannot connect", "lost the", "dropped"})
        EXPECT_EQ(monitor.errors.find(trouble), std::string::npos) << monitor.errors;
}

} // namespace

TEST(Dump1090, KnowsTheMonitorsAircraftFromItsBeastFrames)
{
    FeedDump1090(FeedProtocol::Beast);
}

TEST(Dump1090, KnowsTheMonitorsAircraftFromItsRawFrames)
{
    FeedDump1090(FeedProtocol::Raw);
}
