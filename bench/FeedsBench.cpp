// The receive path with the network feeds off, and on with 10 local clients
// (4 BaseStation, 3 AVR, 3 Beast) that read everything on a thread of their
// own, as other programs on the machine would:
//   BM_FeedsAtLinkRate: the board emulator on a pseudo-terminal at the full
//     rate of a 1 Mbit/s link, its frames on ("w"); lines per second through
//     the receive path over 5 s, and the receive thread's CPU per line.
//   BM_FeedsFlatOut: the same board's lines fed as fast as the receive path
//     takes them, 4096 bytes per receive event and one flush after each,
//     into sinks that take everything: the receive path's capacity.

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtCore/qtestsupport_core.h>

#include "BoardServer.h"
#include "TrafficStream.h"
#include "net/Feeds.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;

namespace {

constexpr int kAircraft = 200;
constexpr std::uint64_t kSeed = 5;

FeedProtocol ProtocolOfClient(int i)
{
    return i < 4 ? FeedProtocol::Sbs : i < 7 ? FeedProtocol::Raw : FeedProtocol::Beast;
}

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Clients that connect with plain sockets and read whatever comes.
class Readers {
public:
    Readers(const Feeds& feeds, int count)
    {
        for (int i = 0; i < count; ++i) {
            std::uint16_t port = 0;
            for (const FeedServerStatus& s : feeds.status().servers)
                if (s.protocol == ProtocolOfClient(i))
                    port = s.port;
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
                fds_.push_back(fd);
            else
                ::close(fd);
        }
        thread_ = std::thread([this] { run(); });
    }
    ~Readers()
    {
        stop_ = true;
        thread_.join();
        for (int fd : fds_)
            ::close(fd);
    }
    std::uint64_t bytes() const { return bytes_; }

private:
    void run()
    {
        std::vector<pollfd> polls;
        for (int fd : fds_)
            polls.push_back({fd, POLLIN, 0});
        std::vector<char> buffer(1 << 16);
        while (!stop_) {
            if (::poll(polls.data(), polls.size(), 20) <= 0)
                continue;
            for (const pollfd& p : polls)
                if (p.revents & POLLIN) {
                    const ssize_t n = ::read(p.fd, buffer.data(), buffer.size());
                    if (n > 0)
                        bytes_ += std::uint64_t(n);
                }
        }
    }

    std::vector<int> fds_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> bytes_{0};
};

// A receive chain with its feeds and their clients.
struct Station {
    SystemClock clock;
    ReceiveChain chain{clock};
    std::unique_ptr<Feeds> feeds;
    std::unique_ptr<Readers> readers;

    explicit Station(int clients)
    {
        chain.SetupColumns();
        if (clients == 0)
            return;
        FeedOptions options;
        options.sbsPort = 0;
        options.rawPort = 0;
        options.beastPort = 0;
        feeds = std::make_unique<Feeds>(chain, options);
        feeds->start();
        readers = std::make_unique<Readers>(*feeds, clients);
        if (!QTest::qWaitFor([&] { return feeds->status().clients() == std::size_t(clients); }, 10000))
            std::fprintf(stderr, "feeds bench: only %zu of %d clients connected\n", feeds->status().clients(), clients);
    }
    void counters(benchmark::State& state, std::size_t lines) const
    {
        state.counters["clients"] = feeds ? double(feeds->status().clients()) : 0.0;
        state.counters["bytes_out_per_line"] = readers && lines ? double(readers->bytes()) / double(lines) : 0.0;
    }
};

std::size_t Lines(std::string_view bytes)
{
    return std::size_t(std::count(bytes.begin(), bytes.end(), '\n'));
}

void BM_FeedsAtLinkRate(benchmark::State& state)
{
    Station station(int(state.range(0)));
    board::BoardOptions options;
    options.linkBitsPerSecond = 1'000'000;
    options.aircraft = kAircraft;
    options.seed = kSeed;
    board::BoardServer board(options);
    board.start();
    const int fd = ::open(board.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    (void)!::write(fd, "w", 1);
    std::size_t lines = 0;
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            station.chain.received(std::string_view(buffer, std::size_t(n)));
            lines += Lines(std::string_view(buffer, std::size_t(n)));
        }
    });
    QTest::qWait(1000);

    for (auto _ : state) {
        const std::size_t before = lines;
        const double cpuBefore = ThreadSeconds();
        const auto start = std::chrono::steady_clock::now();
        QTest::qWait(5000);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = ThreadSeconds() - cpuBefore;
        const double counted = double(lines - before);
        state.SetIterationTime(seconds);
        state.counters["lines_per_s"] = counted / seconds;
        state.counters["cpu_us_per_line"] = counted > 0 ? cpu / counted * 1e6 : 0.0;
        state.counters["cpu_share_pct"] = cpu / seconds * 100.0;
    }
    station.counters(state, lines);
    ::close(fd);
    board.stop();
}

// The board's lines with frames, as its emulator writes them, without the
// pacing.
const std::string& BoardStream()
{
    static const std::string bytes = [] {
        board::BoardOptions options;
        options.aircraft = kAircraft;
        board::TrafficStream stream(options, kSeed);
        board::BoardState raw;
        raw.rawFrames = true;
        std::string out;
        while (Lines(out) < 100'000)
            out += stream.next(raw);
        return out;
    }();
    return bytes;
}

// Takes every chunk and throws it away: a client that is never slow.
struct NullSink final : FeedSink {
    std::uint64_t bytes = 0;
    bool offer(std::string_view more) override
    {
        bytes += more.size();
        return true;
    }
};

// Flat out no socket client keeps up (some 600 MB/s for ten of them), so
// they would be dropped and the figure would be the feeds-off one. Here the
// hub serves 10 sinks that take everything: the receive path's capacity
// with the encoding and the hand-off for 10 clients, without the kernel.
void BM_FeedsFlatOut(benchmark::State& state)
{
    const int clients = int(state.range(0));
    SystemClock clock;
    ReceiveChain chain(clock);
    chain.SetupColumns();
    FeedHub hub(clock);
    std::vector<NullSink> sinks(static_cast<std::size_t>(clients));
    for (int i = 0; i < clients; ++i)
        hub.attach(ProtocolOfClient(i), sinks[std::size_t(i)]);
    // One flush per receive event, as the event loop gives it.
    bool flushPending = false;
    hub.setFlushRequest([&] { flushPending = true; });
    if (clients > 0)
        chain.addObserver(&hub);
    const std::string_view bytes = BoardStream();
    chain.received(bytes); // every aircraft in the table before timing starts
    hub.flush();
    std::size_t at = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        if (at >= bytes.size())
            at = 0;
        const std::string_view event = bytes.substr(at, 4096);
        at += event.size();
        chain.received(event);
        if (flushPending) {
            flushPending = false;
            hub.flush();
        }
        lines += Lines(event);
    }
    if (clients > 0)
        chain.removeObserver(&hub);
    std::uint64_t out = 0;
    for (const NullSink& sink : sinks)
        out += sink.bytes;
    state.SetItemsProcessed(std::int64_t(lines));
    state.counters["clients"] = double(clients);
    state.counters["bytes_out_per_line"] = lines ? double(out) / double(lines) : 0.0;
}

} // namespace

BENCHMARK(BM_FeedsAtLinkRate)->ArgName("clients")->Arg(0)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FeedsFlatOut)->ArgName("clients")->Arg(0)->Arg(10)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
