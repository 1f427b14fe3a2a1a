// Record lines per second through the whole receive path: framing, decoding
// and the aircraft table, against the literal list (linear search and a full
// sort per record) on the same stream.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "LiteralTable.h"
#include "modes/FrameDecoder.h"
#include "receiver/ReceiveChain.h"
#include "receiver/ReceiveHandler.h"
#include "table/StatusPanels.h"

using namespace telvorn;

namespace {

constexpr std::size_t kEventBytes = 4096;

// Every clock read moves time on by a tenth of a millisecond, so lines get
// distinct times as they would on a live link.
class TickingClock final : public Clock {
public:
    UtcDateTime utcNow() const override
    {
        now_ += std::chrono::microseconds(100);
        return ToUtcDateTime(now_);
    }
    double localSecondsOfDay() const override
    {
        return double(std::chrono::duration_cast<std::chrono::milliseconds>(now_.time_since_epoch()).count() %
                      86400000) / 1000.0;
    }

private:
    mutable std::chrono::system_clock::time_point now_{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5}};
};

// A stream of record lines of `aircraft` addresses in random order, with the
// mix of identification, position, velocity and altitude records a board sends.
std::string MakeStream(int aircraft, std::size_t lines)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, aircraft - 1);
    std::uniform_int_distribution<int> kind(0, 3);
    std::string out;
    char line[160];
    for (std::size_t i = 0; i < lines; ++i) {
        const int a = pick(random);
        const unsigned address = 0x380000u + unsigned(a) * 37u;
        int n = 0;
        switch (kind(random)) {
        case 0:
            n = std::snprintf(line, sizeof line, "+,,17,%06X,AFR%04d,A3,,,,,,,,,,;\r\n", address, a % 10000);
            break;
        case 1:
            n = std::snprintf(line, sizeof line, "+,,17,%06X,,,%d,%.5f,%.5f,%d,,,,,,;\r\n", address, int(i & 1),
                              46.0 + a * 0.001, 2.0 + a * 0.002, 30000 + int(i % 40) * 25);
            break;
        case 2:
            n = std::snprintf(line, sizeof line, "+,,17,%06X,,,,,,,,%d,%d,%d,%d,%d;\r\n", address,
                              -640 + int(i % 10) * 64, 120, -300, 275, 320 + int(i % 7));
            break;
        default:
            n = std::snprintf(line, sizeof line, "+,,4,%06X,,,,,,%d,%04d,,,,,;\r\n", address,
                              31000 + int(i % 9) * 100, 1000 + a % 7000);
            break;
        }
        out.append(line, std::size_t(n));
    }
    return out;
}

struct Stream {
    std::string roster; // one identification line per aircraft
    std::string bytes;
    std::size_t lines = 0;
};

const Stream& StreamFor(int aircraft)
{
    static std::vector<std::pair<int, std::unique_ptr<Stream>>> cache;
    for (auto& [n, s] : cache)
        if (n == aircraft)
            return *s;
    auto s = std::make_unique<Stream>();
    s->lines = std::size_t(aircraft) * 10 + 20000;
    s->bytes = MakeStream(aircraft, s->lines);
    char line[80];
    for (int a = 0; a < aircraft; ++a) {
        const int n = std::snprintf(line, sizeof line, "+,,17,%06X,AFR%04d,A3,,,,,,,,,,;\r\n", 0x380000u + unsigned(a) * 37u,
                                    a % 10000);
        s->roster.append(line, std::size_t(n));
    }
    cache.emplace_back(aircraft, std::move(s));
    return *cache.back().second;
}

// Feeds the stream in receive events of 4096 bytes, wrapping around; the
// table holds every aircraft before timing starts.
template <typename Feed>
void RunStream(benchmark::State& state, const Stream& stream, Feed&& feed)
{
    const std::string_view roster = stream.roster;
    for (std::size_t at = 0; at < roster.size(); at += kEventBytes)
        feed(roster.substr(at, kEventBytes));
    const std::string_view bytes = stream.bytes;
    std::size_t at = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        if (at >= bytes.size())
            at = 0;
        const std::string_view event = bytes.substr(at, kEventBytes);
        at += kEventBytes;
        feed(event);
        lines += std::size_t(std::count(event.begin(), event.end(), '\n'));
    }
    state.SetItemsProcessed(std::int64_t(lines));
}

void BM_ReceivePath(benchmark::State& state, int sortColumn)
{
    const Stream& stream = StreamFor(int(state.range(0)));
    TickingClock clock;
    // The chain the window, the monitor and the replay use, with whatever
    // follows the table on every record.
    ReceiveChain chain(clock);
    chain.state().SortColumn = std::int16_t(sortColumn);
    chain.SetupColumns();
    RunStream(state, stream, [&](std::string_view event) { chain.received(event); });
    state.counters["aircraft"] = double(chain.table().size());
}

void BM_LiteralBaseline(benchmark::State& state, int sortColumn)
{
    const Stream& stream = StreamFor(int(state.range(0)));
    TickingClock clock;
    MainState main;
    StatusPanels panels;
    bench::LiteralTable table(sortColumn);
    auto decode = [&](std::string_view frame) {
        const std::optional<RecordFields> fields = SplitRecord(frame);
        if (fields && IsAcceptedDownlinkFormat((*fields)[2]))
            table.apply(*fields, main, clock);
    };
    ReceiveHandler receiver(decode, panels, main, clock);
    RunStream(state, stream, [&](std::string_view event) { receiver.MSComm_OnComm(comEvReceive, event); });
    state.counters["aircraft"] = double(table.size());
}

constexpr int kTime = 2;
constexpr int kIcao = 3;

} // namespace

BENCHMARK_CAPTURE(BM_ReceivePath, time, kTime)->Arg(200)->Arg(2000)->Arg(20000);
BENCHMARK_CAPTURE(BM_ReceivePath, icao, kIcao)->Arg(200)->Arg(2000)->Arg(20000);
// The literal list needs minutes per second of traffic at 20 000 aircraft;
// 200 and 2 000 show its growth well enough.
BENCHMARK_CAPTURE(BM_LiteralBaseline, time, kTime)->Arg(200)->Arg(2000)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_LiteralBaseline, icao, kIcao)->Arg(200)->Arg(2000)->MinTime(1.0);

BENCHMARK_MAIN();
