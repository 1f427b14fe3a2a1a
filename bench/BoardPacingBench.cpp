// How closely telvorn-board keeps its configured pace over a serial line,
// measured as a host would see it: bytes and lines read from the
// pseudo-terminal over ten seconds after a short warm-up. Also the cost of
// generating traffic, which bounds the fastest link the emulator can fill.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "BoardServer.h"
#include "TrafficStream.h"

namespace {

using Clock = std::chrono::steady_clock;
using telvorn::board::BoardOptions;
using telvorn::board::BoardServer;

constexpr auto kWarmUp = std::chrono::milliseconds(500);
constexpr auto kWindow = std::chrono::seconds(10);

struct Received {
    std::size_t bytes = 0;
    std::size_t lines = 0;
    double seconds = 0.0;
};

// Reads everything the board sends for the warm-up, then counts a window.
Received Measure(const BoardOptions& options)
{
    BoardServer server(options);
    server.start();
    const int fd = ::open(server.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);

    Received received;
    char buffer[65536];
    const auto read = [&](Clock::time_point until, bool count) {
        while (Clock::now() < until) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 5);
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0 && count) {
                received.bytes += std::size_t(n);
                received.lines += std::size_t(std::count(buffer, buffer + n, '\n'));
            }
        }
    };
    read(Clock::now() + kWarmUp, false);
    const auto start = Clock::now();
    read(start + kWindow, true);
    received.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    server.stop();
    return received;
}

void Report(benchmark::State& state, double achieved, double configured, double seconds)
{
    state.SetIterationTime(seconds);
    state.counters["configured_per_s"] = configured;
    state.counters["achieved_per_s"] = achieved;
    state.counters["achieved_over_configured"] = achieved / configured;
}

void BM_LinkPacing(benchmark::State& state)
{
    BoardOptions options;
    options.seed = 1;
    options.linkBitsPerSecond = double(state.range(0));
    for (auto _ : state) {
        const Received r = Measure(options);
        Report(state, double(r.bytes) / r.seconds, *options.linkBitsPerSecond / 10.0, r.seconds);
    }
}
BENCHMARK(BM_LinkPacing)->Arg(115200)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_RatePacing(benchmark::State& state)
{
    BoardOptions options;
    options.seed = 1;
    options.rate = double(state.range(0));
    for (auto _ : state) {
        const Received r = Measure(options);
        Report(state, double(r.lines) / r.seconds, *options.rate, r.seconds);
    }
}
BENCHMARK(BM_RatePacing)->Arg(100)->Arg(2000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Lines generated per second of CPU, with raw frames on (the longest lines).
void BM_GenerateTraffic(benchmark::State& state)
{
    BoardOptions options;
    options.linkBitsPerSecond = 1000000;
    telvorn::board::TrafficStream stream(options, 1);
    telvorn::board::BoardState board;
    board.rawFrames = true;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string line = stream.next(board);
        bytes += line.size();
        benchmark::DoNotOptimize(line.data());
    }
    state.SetBytesProcessed(std::int64_t(bytes));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GenerateTraffic);

} // namespace

BENCHMARK_MAIN();
