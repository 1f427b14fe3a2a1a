// `telvorn monitor` against a board and a machine that misbehave: a damaged
// link, a board that hangs up or falls silent, a log that cannot be written.
// Each case checks what the user sees: the exit code, the messages, and the
// final table against the aircraft the board really has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "BoardOptions.h"
#include "MonitorHarness.h"
#include "PositionCode.h"
#include "TextFields.h"
#include "TrafficStream.h"

namespace {

namespace fs = std::filesystem;
using telvorn::test::Monitor;

using Row = std::vector<std::string>;
constexpr std::size_t kIcao = 3, kCall = 5;

// The cells of one JSON string array, from `at` (on its "[") past its "]".
Row ParseCells(const std::string& json, std::size_t& at)
{
    Row cells;
    for (++at; json[at] != ']'; ++at) {
        if (json[at] != '"')
            continue;
        std::string cell;
        for (++at; json[at] != '"'; ++at) {
            if (json[at] == '\\') {
                const char e = json[++at];
                if (e == 'u') {
                    cell += char(std::stoi(json.substr(at + 1, 4), nullptr, 16));
                    at += 4;
                } else {
                    cell += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                }
            } else {
                cell += json[at];
            }
        }
        cells.push_back(cell);
    }
    return cells;
}

struct Report {
    std::map<std::string, std::string> panels;
    std::vector<Row> rows;
};

Report ParseReport(const std::string& json)
{
    Report r;
    const std::size_t panelsEnd = json.find('}');
    for (const char* key : {"PRC", "ALL", "CRC"}) {
        const std::string tag = std::string("\"") + key + "\": \"";
        const std::size_t at = json.find(tag);
        if (at < panelsEnd)
            r.panels[key] = json.substr(at + tag.size(), json.find('"', at + tag.size()) - at - tag.size());
    }
    std::size_t at = json.find("\"rows\": [");
    if (at == std::string::npos)
        return r;
    for (at = json.find('[', at) + 1; json[at] != ']'; ++at)
        if (json[at] == '[')
            r.rows.push_back(ParseCells(json, at));
    return r;
}

std::vector<Report> Reports(const std::string& out)
{
    std::vector<Report> reports;
    std::size_t from = 0;
    for (std::size_t end; (end = out.find('\n', from)) != std::string::npos; from = end + 1)
        reports.push_back(ParseReport(out.substr(from, end - from)));
    return reports;
}

// Every call sign of every address in the first `lines` lines the board's
// traffic model makes, free of faults, for the seed and pace the harness uses.
std::map<std::string, std::set<std::string>> BoardAircraft(std::size_t lines)
{
    telvorn::board::BoardOptions options;
    options.rate = Monitor::kRate;
    telvorn::board::TrafficStream stream(options, Monitor::kSeed);
    // The station as the board holds it from power-up, which the monitor's
    // default position leaves alone.
    telvorn::board::BoardState board;
    board.latitudeUnits = *telvorn::board::PositionUnits(options.position.lat);
    board.longitudeUnits = *telvorn::board::PositionUnits(options.position.lon);
    std::map<std::string, std::set<std::string>> aircraft;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::string line = stream.next(board);
        if (!line.starts_with("+"))
            continue;
        const Row fields = telvorn::test::RecordFields(line);
        aircraft[fields[3]].insert(fields[4]);
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
    const std::vector<Report> reports = Reports(m.out());
    EXPECT_FALSE(reports.empty()) << m.err();
    if (reports.empty())
        return 0;
    const Report& last = reports.back();
    EXPECT_EQ(last.panels.at("PRC"), std::to_string(last.rows.size()));
    const std::string record = telvorn::test::Read(m.dir.path() / "record.txt");
    const auto sent = std::size_t(std::count(record.begin(), record.end(), '\n'));
    const auto aircraft = BoardAircraft(sent + sent / 10 + 100);
    std::set<std::string> addresses;
    std::size_t exact = 0;
    for (const Row& row : last.rows) {
        const std::string& icao = row.at(kIcao);
        const std::string& call = row.at(kCall);
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
    std::printf("[ figures  ] %zu rows, %zu exact, %s lines decoded, %s counted in \"CRC\"\n", last.rows.size(),
                exact, last.panels.at("ALL").c_str(), last.panels.at("CRC").c_str());
    return exact;
}

// How often the "ALL" count stood still from one report to the next and
// then moved again: each a stretch of silence the monitor came out of.
int Resumptions(const std::vector<Report>& reports)
{
    int resumed = 0;
    bool stalled = false;
    for (std::size_t i = 1; i < reports.size(); ++i) {
        const bool same = reports[i].panels.at("ALL") == reports[i - 1].panels.at("ALL");
        resumed += stalled && !same;
        stalled = same;
    }
    return resumed;
}

TEST(MonitorFaults, ADamagedLinkCostsOnlyTheLinesItDamages)
{
    struct Case {
        const char* board;
        bool bytesLost;
    };
    const Case cases[] = {
        {"--noise 0.3", false},
        {"--bare-lf 0.5", false},
        {"--drop 0.002", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.board);
        Monitor m;
        m.startBoard(c.board);
        m.storeSettings();
        ASSERT_EQ(m.run("--seconds 4 --every 1"), 0) << m.err();
        EXPECT_EQ(m.err().find("lost "), std::string::npos) << m.err();
        EXPECT_GE(CheckFinalTable(m, c.bytesLost), 10u);
    }
}

TEST(MonitorFaults, TwentyHangUpsInTheMiddleOfALineAndTheMonitorComesBackEachTime)
{
    Monitor m;
    // Up long enough for a reopening attempt, two seconds apart, and its
    // start-up to land in most cycles; one cut short is tried again.
    m.startBoard("--hangup-after 3 --down 0.5");
    m.storeSettings();
    ASSERT_EQ(m.run("--seconds 600 --every 0.25", m.stopAfter("receiver back on", 20)), 0) << m.err();
    const std::string err = m.err();
    std::size_t lost = 0, back = 0;
    for (std::size_t at = 0; (at = err.find("\ntelvorn monitor: ", at)) != std::string::npos; ++at) {
        lost += err.compare(at + 18, 5, "lost ") == 0;
        back += err.compare(at + 18, 16, "receiver back on") == 0;
    }
    EXPECT_GE(lost, 20u) << err;
    EXPECT_GE(back, 20u);
    EXPECT_GE(Resumptions(Reports(m.out())), 20) << "decoding went on after every hang-up";
    EXPECT_GE(CheckFinalTable(m, false), 10u);
}

TEST(MonitorFaults, ABoardThatStopsAnsweringIsWaitedForAndDecodedAgain)
{
    struct Case {
        const char* what;
        const char* board;
        const char* untilSaid; // empty: stopped after eight seconds
    };
    const Case cases[] = {
        // Silent while the link stays up: nothing to notice but the quiet.
        {"running", "--silent-after 1.5 --silent 3", ""},
        // Silent across hang-ups: the reopened board does not answer "?".
        {"reconnecting", "--silent-after 1 --silent 8 --hangup-after 3 --down 0.2", "receiver back on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Monitor m;
        m.startBoard(c.board);
        m.storeSettings();
        const bool reconnecting = *c.untilSaid != '\0';
        const std::string stop = reconnecting ? m.stopAfter(c.untilSaid, 1) : "sleep 8; kill -TERM $pid";
        ASSERT_EQ(m.run("--seconds 600 --every 0.25", stop), 0) << m.err();
        const std::string err = m.err();
        const std::string noAnswer = "Communication error: No firmware response. Verify serial connection.";
        const std::size_t said = err.find(noAnswer);
        if (reconnecting) {
            ASSERT_NE(said, std::string::npos) << err;
            EXPECT_EQ(err.find(noAnswer, said + 1), std::string::npos) << "said once, however often tried";
            EXPECT_NE(err.find("receiver back on", said), std::string::npos) << err;
        } else {
            EXPECT_EQ(said, std::string::npos) << err;
            EXPECT_EQ(err.find("lost "), std::string::npos) << err;
        }
        EXPECT_GE(Resumptions(Reports(m.out())), 1);
        EXPECT_GE(CheckFinalTable(m, false), 10u);
    }
}

TEST(MonitorFaults, ALogOrAStoreThatCannotBeUsedStopsNothing)
{
    struct Case {
        const char* what;
        void (*arrange)(Monitor&);
        const char* said; // empty: nothing beyond the usual
    };
    const Case cases[] = {
        {"log on a full disk", [](Monitor& m) { fs::create_symlink("/dev/full", m.dir.path() / "Output.txt"); },
         ": No space left on device; receiving goes on"},
        {"log that cannot be opened", [](Monitor& m) { fs::create_directory(m.dir.path() / "Output.txt"); },
         "telvorn monitor: Enable to open log file. Will not log data\n"},
        // The monitor only reads the store: defaults, so no log, and the
        // store left as it was found.
        {"settings folder missing", [](Monitor& m) { fs::remove_all(m.settings); }, ""},
        {"a file where the settings folder should be",
         [](Monitor& m) {
             fs::remove_all(m.settings);
             std::ofstream(m.settings) << "not a folder\n";
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Monitor m;
        m.startBoard();
        m.storeSettings("LOG=number:-1\n");
        c.arrange(m);
        const std::string before = fs::is_regular_file(m.settings) ? telvorn::test::Read(m.settings) : "";
        ASSERT_EQ(m.run("--seconds 3 --every 1 --port " + m.device.string()), 0) << m.err();
        if (*c.said) {
            EXPECT_NE(m.err().find(c.said), std::string::npos) << m.err();
        } else {
            EXPECT_FALSE(fs::exists(m.dir.path() / "Output.txt"));
            EXPECT_EQ(fs::is_regular_file(m.settings) ? telvorn::test::Read(m.settings) : "", before);
        }
        EXPECT_GE(CheckFinalTable(m, false), 10u);
    }
}

} // namespace
