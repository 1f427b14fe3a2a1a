// `telvorn monitor` as a user runs it, in a folder and with settings of its
// own, against telvorn-board on a pseudo-terminal, and against a board and a
// machine that misbehave. Each case checks what the user sees: the exit
// code, the messages, and the final table against the aircraft the board
// really has.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "BoardOptions.h"
#include "PositionCode.h"
#include "ProgramRun.h"
#include "TempFolder.h"
#include "TextFields.h"
#include "TrafficStream.h"

namespace {

namespace fs = std::filesystem;
using namespace telvorn::test;
using namespace std::chrono_literals;

constexpr int kSeed = 5, kRate = 300;
constexpr qsizetype kIcao = 3, kCall = 5;

struct Monitor {
    TempFolder dir;
    fs::path device = dir.path() / "board";
    fs::path settings = dir.path() / "settings";
    std::optional<Board> board;
    std::string out, err;

    // Everything the board sends also goes to record.txt.
    void startBoard(const std::string& options = "")
    {
        Args args{"--seed", std::to_string(kSeed), "--rate", std::to_string(kRate), "--record", path("record.txt")};
        board.emplace(device, options.empty() ? args : args + Split(options, ' '));
    }
    // The stored settings: the board's device, and `extra` lines of the store file.
    void storeSettings(const std::string& extra = "")
    {
        const fs::path maker = settings / "Orvalen Software";
        fs::create_directories(maker);
        std::ofstream(maker / "ADSB.conf") << "COM=number:1\nDevice=text:" << device.string() << "\n" << extra;
    }
    // Runs the monitor to its end; with `until`, stops it as SIGTERM would
    // once `until` holds for what it said and `grace` more has passed.
    int run(const Args& args, const std::function<bool(const std::string&)>& until = {},
            std::chrono::milliseconds grace = 1s, const Args& env = {})
    {
        Program p(TELVORN_BIN, Args{"monitor"} + args,
                  {env + Args{"TELVORN_SETTINGS_DIR=" + settings.string()}, dir.path().string()});
        if (until) {
            p.waitUntil([&] { return until(p.err); }, 10min);
            p.runFor(grace);
            p.signal(SIGTERM);
        }
        const int status = p.finish();
        out = p.out;
        err = p.err;
        return status;
    }
    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
};

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::vector<QJsonObject> Reports(const std::string& out)
{
    std::vector<QJsonObject> reports;
    for (const std::string& line : Split(out, '\n'))
        if (!line.empty())
            reports.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    return reports;
}

std::string Panel(const QJsonObject& report, const char* name)
{
    return report["panels"][name].toString().toStdString();
}

// Every call sign of every address in the first `lines` lines the board's
// traffic model makes, free of faults, for the seed and pace of the harness.
std::map<std::string, std::set<std::string>> BoardAircraft(std::size_t lines)
{
    telvorn::board::BoardOptions options;
    options.rate = kRate;
    telvorn::board::TrafficStream stream(options, kSeed);
    // The station as the board holds it from power-up, which the monitor's
    // default position leaves alone.
    telvorn::board::BoardState board;
    board.latitudeUnits = *telvorn::board::PositionUnits(options.position.lat);
    board.longitudeUnits = *telvorn::board::PositionUnits(options.position.lon);
    std::map<std::string, std::set<std::string>> aircraft;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::string line = stream.next(board);
        if (line.starts_with("+")) {
            const std::vector<std::string> fields = RecordFields(line);
            aircraft[fields[3]].insert(fields[4]);
        }
    }
    return aircraft;
}

bool IsSubsequence(const std::string& part, const std::string& whole)
{
    std::size_t i = 0;
    for (char c : whole)
        i += i < part.size() && part[i] == c;
    return i == part.size();
}

// The final table: as many rows as "PRC" says, one per address; each an
// aircraft of the board with one of its call signs, or, where bytes were
// lost, what is left of them. Returns how many rows are exactly right.
std::size_t CheckFinalTable(const Monitor& m, bool bytesLost)
{
    const std::vector<QJsonObject> reports = Reports(m.out);
    EXPECT_FALSE(reports.empty()) << m.err;
    if (reports.empty())
        return 0;
    const QJsonArray rows = reports.back()["rows"].toArray();
    EXPECT_EQ(Panel(reports.back(), "PRC"), std::to_string(rows.size()));
    const std::string record = Read(m.path("record.txt"));
    const auto sent = std::size_t(std::count(record.begin(), record.end(), '\n'));
    const auto aircraft = BoardAircraft(sent + sent / 10 + 100);
    std::set<std::string> addresses;
    std::size_t exact = 0;
    for (const QJsonValue& row : rows) {
        // Cells hold bytes, each escaped as the character of its value.
        const std::string icao = row[kIcao].toString().toLatin1().toStdString();
        const std::string call = row[kCall].toString().toLatin1().toStdString();
        EXPECT_TRUE(addresses.insert(icao).second) << icao << " twice";
        const auto it = aircraft.find(icao);
        if (it != aircraft.end() && (call.empty() || it->second.contains(call))) {
            ++exact;
            continue;
        }
        bool leftOf = false;
        for (const auto& [address, calls] : aircraft)
            for (const std::string& c : calls)
                leftOf = leftOf || (IsSubsequence(icao, address) && (address != icao || IsSubsequence(call, c)));
        EXPECT_TRUE(bytesLost && leftOf) << "no aircraft of the board: " << icao << " " << call;
    }
    // The figures of docs/robustness.md.
    std::printf("[ figures  ] %zu rows, %zu exact, %s lines decoded, %s counted in \"CRC\"\n", std::size_t(rows.size()),
                exact, Panel(reports.back(), "ALL").c_str(), Panel(reports.back(), "CRC").c_str());
    return exact;
}

// How often the "ALL" count stood still from one report to the next and
// then moved again: each a stretch of silence the monitor came out of.
int Resumptions(const std::vector<QJsonObject>& reports)
{
    int resumed = 0;
    bool stalled = false;
    for (std::size_t i = 1; i < reports.size(); ++i) {
        const bool same = Panel(reports[i], "ALL") == Panel(reports[i - 1], "ALL");
        resumed += stalled && !same;
        stalled = same;
    }
    return resumed;
}

TEST(Monitor, RefusesBadUseAndSaysHowToChooseAPort)
{
    Monitor m;
    // A demo board cannot make its folder where a file already has the name.
    std::ofstream(m.path("telvorn-demo-" + std::to_string(::getuid())));
    const struct {
        Args args;
        int status;
        std::string said;
    } rows[] = {
        {{"--every", "0"}, 2, "--every"},
        {{"--bogus"}, 2, "telvorn monitor: unknown option '--bogus'\n"},
        // Properties of the monitor_args fuzz target: a line feed in an argument
        // broke the one-line message, and a span past what a timer holds was taken.
        {{"--bo\ngus"}, 2, "telvorn monitor: unknown option '--bo\\x0agus'\n"},
        {{"--seconds", "2147484"}, 2, "up to 2147483"},
        {{}, 2, "--port DEVICE"}, // no stored port and no --port
        {{"--port", m.device}, 1, "Error on " + m.device.string() + " port. Verify this port is available.\n"},
        {{"--demo", "--seconds", "1"}, 1, "telvorn monitor: cannot start the demo board: cannot create " +
                                              m.path("telvorn-demo-" + std::to_string(::getuid()))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.said);
        EXPECT_EQ(m.run(row.args, {}, {}, {"TMPDIR=" + m.dir.path().string()}), row.status);
        EXPECT_NE(m.err.find(row.said), std::string::npos) << m.err;
        EXPECT_EQ(m.out, "");
    }
}

TEST(Monitor, EndsOnSigtermWithTheBoardResumedAndTheTablePrinted)
{
    Monitor m;
    m.startBoard();
    EXPECT_EQ(m.run({"--port", m.device, "--table"}, [](const std::string&) { return true; }, 1500ms), 0) << m.err;
    EXPECT_NE(m.out.find("ICAO"), std::string::npos) << m.out.substr(0, 200);
    EXPECT_NE(m.out.find("Total Frame: "), std::string::npos);
    EXPECT_EQ(m.out.find("\x1b["), std::string::npos) << "no terminal, so no redrawing";
}

// The stored port, a report every 1.5 s and one at the end, whatever the
// link damages.
TEST(MonitorFaults, ADamagedLinkCostsOnlyTheLinesItDamages)
{
    const std::pair<const char*, bool> cases[] = {
        {"", false}, {"--noise 0.3", false}, {"--bare-lf 0.5", false}, {"--drop 0.002", true}};
    for (const auto& [board, bytesLost] : cases) {
        SCOPED_TRACE(board);
        Monitor m;
        m.startBoard(board);
        m.storeSettings();
        ASSERT_EQ(m.run({"--seconds", "4", "--every", "1.5"}), 0) << m.err;
        EXPECT_NE(m.err.find("telvorn monitor: ADSB 0.9.0 - Firmware 2.8\n"), std::string::npos) << m.err;
        EXPECT_EQ(m.err.find("lost "), std::string::npos) << m.err;
        EXPECT_EQ(Reports(m.out).size(), 3u) << "two reports and the one at exit";
        EXPECT_GE(CheckFinalTable(m, bytesLost), 10u);
    }
}

TEST(MonitorFaults, TwentyHangUpsInTheMiddleOfALineAndTheMonitorComesBackEachTime)
{
    Monitor m;
    // Up long enough for a reopening attempt, two seconds apart, and its
    // start-up to land in most cycles; one cut short is tried again.
    m.startBoard("--hangup-after 3 --down 0.5");
    m.storeSettings();
    const auto back = [](const std::string& err) { return Count(err, "telvorn monitor: receiver back on "); };
    ASSERT_EQ(m.run({"--seconds", "600", "--every", "0.25"}, [&](const std::string& e) { return back(e) >= 20; }), 0)
        << m.err;
    const std::size_t lost = Count(m.err, "telvorn monitor: lost ");
    EXPECT_GE(lost, 20u) << m.err;
    EXPECT_LE(lost, back(m.err) + 1) << "each loss said once";
    EXPECT_GE(Resumptions(Reports(m.out)), 20) << "decoding went on after every hang-up";
    EXPECT_GE(CheckFinalTable(m, false), 10u);
}

TEST(MonitorFaults, ABoardThatStopsAnsweringIsWaitedForAndDecodedAgain)
{
    const std::string noAnswer = "Communication error: No firmware response. Verify serial connection.";
    // Silent while the link stays up: nothing to notice but the quiet.
    // Silent across hang-ups: the reopened board does not answer "?".
    for (const bool reconnecting : {false, true}) {
        SCOPED_TRACE(reconnecting);
        Monitor m;
        m.startBoard(reconnecting ? "--silent-after 1 --silent 8 --hangup-after 3 --down 0.2"
                                  : "--silent-after 1.5 --silent 3");
        m.storeSettings();
        const auto until = [&](const std::string& err) {
            return !reconnecting || err.find("receiver back on") != std::string::npos;
        };
        ASSERT_EQ(m.run({"--seconds", "600", "--every", "0.25"}, until, reconnecting ? 1s : 8s), 0) << m.err;
        const std::size_t said = m.err.find(noAnswer);
        if (reconnecting) {
            ASSERT_NE(said, std::string::npos) << m.err;
            EXPECT_EQ(m.err.find(noAnswer, said + 1), std::string::npos) << "said once, however often tried";
            EXPECT_NE(m.err.find("receiver back on", said), std::string::npos) << m.err;
        } else {
            EXPECT_EQ(said, std::string::npos) << m.err;
            EXPECT_EQ(m.err.find("lost "), std::string::npos) << m.err;
        }
        EXPECT_GE(Resumptions(Reports(m.out)), 1);
        EXPECT_GE(CheckFinalTable(m, false), 10u);
    }
}

TEST(MonitorFaults, ALogOrAStoreThatCannotBeUsedStopsNothing)
{
    // The monitor only reads the store: with none it runs on defaults, so
    // without a log, and leaves the store as it found it.
    const struct {
        const char* what;
        void (*arrange)(Monitor&);
        const char* said; // empty: nothing beyond the usual
        const char* storeLeft;
    } cases[] = {
        {"log on a full disk", [](Monitor& m) { fs::create_symlink("/dev/full", m.path("Output.txt")); },
         ": No space left on device; receiving goes on", "folder"},
        {"log that cannot be opened", [](Monitor& m) { fs::create_directory(m.path("Output.txt")); },
         "telvorn monitor: Enable to open log file. Will not log data\n", "folder"},
        {"settings folder missing", [](Monitor& m) { fs::remove_all(m.settings); }, "", "none"},
        {"a file where the settings folder should be",
         [](Monitor& m) {
             fs::remove_all(m.settings);
             std::ofstream(m.settings) << "not a folder\n";
         },
         "", "not a folder\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Monitor m;
        m.startBoard();
        m.storeSettings("LOG=number:-1\n");
        c.arrange(m);
        ASSERT_EQ(m.run({"--seconds", "3", "--every", "1", "--port", m.device}), 0) << m.err;
        EXPECT_NE(m.err.find(c.said), std::string::npos) << m.err;
        if (!*c.said) {
            EXPECT_FALSE(fs::exists(m.path("Output.txt")));
        }
        const std::string left = fs::is_directory(m.settings) ? "folder"
                                 : fs::exists(m.settings)      ? Read(m.settings)
                                                               : "none";
        EXPECT_EQ(left, c.storeLeft);
        EXPECT_GE(CheckFinalTable(m, false), 10u);
    }
}

} // namespace
