// End to end, against a decoder nobody here wrote: Debian's
// dump1090-mutability, in --net-only mode, takes the board's frames on its
// Beast or raw input port from `telvorn monitor --connect`, which receives
// them from telvorn-board on a pseudo-terminal; dump1090's own BaseStation
// output must then know the aircraft and call signs of the monitor's table.
// The monitor also serves the frames on --raw-port, from which the test
// learns which addresses went out.

#include <gtest/gtest.h>

#include <algorithm>
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
#include <QStandardPaths>
#include <QTcpSocket>

#include "NetTestKit.h"
#include "ProgramRun.h"
#include "TempFolder.h"
#include "TextFields.h"
#include "feeds/FeedProtocol.h"

using namespace telvorn;
using namespace telvorn::test;
using namespace std::chrono_literals;

namespace {

using Calls = std::map<std::string, std::string>; // address -> call sign ("" before one came)

// The settings of a monitor: the board's device, raw frames on.
Setting MonitorSettings(const TempFolder& dir, const std::filesystem::path& device)
{
    const std::filesystem::path store = dir.path() / "settings";
    std::filesystem::create_directories(store / "Orvalen Software");
    std::ofstream(store / "Orvalen Software" / "ADSB.conf")
        << "COM=number:1\nDevice=text:" << device.string() << "\nRAW=number:-1\n";
    return {{"TELVORN_SETTINGS_DIR=" + store.string()}};
}

// `telvorn monitor` printing its table every second.
struct Monitor : Program {
    Monitor(const TempFolder& dir, const std::filesystem::path& device, const Args& feeds)
        : Program(TELVORN_BIN, Args{"monitor", "--every", "1"} + feeds, MonitorSettings(dir, device))
    {
    }
    // The port of the monitor's server of this protocol, from its "feeds:" line.
    std::uint16_t servedPort(FeedProtocol protocol) const
    {
        const std::string mark = std::string(FeedProtocolName(protocol)) + " on 127.0.0.1:";
        const std::size_t at = err.find(mark);
        return at == std::string::npos ? 0 : std::uint16_t(std::atoi(err.c_str() + at + mark.size()));
    }
    // The addresses and call signs of the last table printed whole.
    Calls calls() const
    {
        const std::size_t end = out.rfind('\n');
        const std::size_t start = end == std::string::npos ? end : out.rfind('\n', end - 1);
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(start + 1, end - start - 1))).object();
        const QJsonArray columns = json["columns"].toArray();
        const auto column = [&](const char* name) {
            return std::find(columns.begin(), columns.end(), QJsonValue(name)) - columns.begin();
        };
        const auto icao = column("ICAO"), call = column("CALL");
        Calls calls;
        for (const QJsonValue& row : json["rows"].toArray())
            calls[row[icao].toString().toStdString()] = TrimmedRight(row[call].toString().toStdString());
        return calls;
    }
    std::size_t withCall() const
    {
        const Calls all = calls();
        return std::size_t(std::count_if(all.begin(), all.end(), [](const auto& c) { return !c.second.empty(); }));
    }
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

// dump1090-mutability listening on 127.0.0.1 only, on the ports given
// ("--net-bi-port", ...) and its BaseStation output, every other port off;
// what it says there, by address.
class Dump1090 {
public:
    Calls calls;

    static std::string program() { return QStandardPaths::findExecutable("dump1090-mutability").toStdString(); }

    Dump1090(std::map<std::string, std::uint16_t> ports, std::uint16_t sbsPort)
    {
        Args args{"--net-only", "--quiet", "--net-bind-address", "127.0.0.1", "--net-heartbeat", "0",
                  "--net-sbs-port", std::to_string(sbsPort)};
        for (const char* port : {"--net-ro-port", "--net-bo-port", "--net-ri-port", "--net-bi-port"})
            args = args + Args{port, std::to_string(ports[port])};
        process_ = std::make_unique<Program>(program(), args);
        QObject::connect(&sbs_, &QTcpSocket::readyRead, &sbs_, [this] {
            pending_.add(sbs_.readAll().toStdString(), [this](const std::string& line) {
                const std::vector<std::string> f = Split(line);
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
            RunFor(50ms);
            process_->read();
            return serving() || !process_->running();
        }, 20s);
    }
    bool serving() const { return sbs_.state() == QAbstractSocket::ConnectedState; }
    Program& process() { return *process_; }

private:
    std::unique_ptr<Program> process_;
    QTcpSocket sbs_;
    LineBuffer pending_;
};

// What the decoder knows and our table does not, or the other way round.
std::string Differences(const Calls& ours, const SentFrames& sent, const Dump1090& decoder)
{
    std::string out;
    for (const std::string& address : sent.announced) {
        const auto it = decoder.calls.find(address);
        const auto mine = ours.find(address);
        if (it == decoder.calls.end())
            out += "dump1090 does not know " + address + "; ";
        else if (mine != ours.end() && it->second != mine->second)
            out += address + " is '" + it->second + "' for dump1090, '" + mine->second + "' for us; ";
    }
    for (const auto& [address, call] : decoder.calls)
        if (!ours.contains(address) && !sent.df18.contains(address))
            out += "dump1090 knows " + address + ", we do not; ";
    return out;
}

void FeedDump1090(FeedProtocol protocol)
{
    if (Dump1090::program().empty()) {
        if (std::getenv("CI"))
            FAIL() << "dump1090-mutability is missing: scripts/install-deps.sh test installs it";
        GTEST_SKIP() << "dump1090-mutability is not installed (apt-get install dump1090-mutability)";
    }
    // A port that was free a moment ago may be taken by the time the
    // decoder binds it: then try another pair.
    std::unique_ptr<Dump1090> decoder;
    std::uint16_t input = 0;
    for (int attempt = 0; attempt < 5 && !(decoder && decoder->serving()); ++attempt) {
        input = FreePort();
        const char* port = protocol == FeedProtocol::Raw ? "--net-ri-port" : "--net-bi-port";
        decoder = std::make_unique<Dump1090>(std::map<std::string, std::uint16_t>{{port, input}}, FreePort());
    }
    ASSERT_TRUE(decoder && decoder->serving()) << "dump1090-mutability did not start";

    TempFolder dir;
    const std::filesystem::path device = dir.path() / "board";
    Board board(device, {"--rate", "600", "--aircraft", "16", "--seed", "11"});
    ASSERT_TRUE(std::filesystem::exists(device)) << "telvorn-board gave no device: " << board.err;
    const std::string where = "127.0.0.1:" + std::to_string(input);
    const std::string push = where + ":" + std::string(FeedProtocolName(protocol));
    Monitor monitor(dir, device, {"--connect", push, "--raw-port", "0"});
    // Their output taken as it comes; true once the monitor has ended.
    const auto ended = [&] {
        monitor.read();
        decoder->process().read();
        return !monitor.running();
    };
    WaitFor([&] { return ended() || monitor.servedPort(FeedProtocol::Raw) != 0; }, 30s);
    ASSERT_NE(monitor.servedPort(FeedProtocol::Raw), 0) << monitor.err;
    SentFrames sent(monitor.servedPort(FeedProtocol::Raw));
    WaitFor([&] { return ended() || monitor.withCall() >= 12; }, 60s);
    EXPECT_GE(monitor.withCall(), 12u) << "call signs in the monitor's table\n" << monitor.err;
    ASSERT_GE(sent.announced.size(), 12u) << monitor.err;
    std::string differences;
    EXPECT_TRUE(WaitFor([&] {
        ended();
        differences = Differences(monitor.calls(), sent, *decoder);
        return differences.empty();
    }, 60s)) << differences;
    EXPECT_NE(monitor.err.find(where + " connected"), std::string::npos) << monitor.err;
    for (const char* trouble : {"cannot connect", "lost the", "dropped"})
        EXPECT_EQ(monitor.err.find(trouble), std::string::npos) << monitor.err;
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
