#include "BoardServer.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <unistd.h>

#include "PositionCode.h"

namespace telvorn::board {

namespace {

using Seconds = std::chrono::duration<double>;

std::uint64_t ResolveSeed(const BoardOptions& options)
{
    if (options.seed)
        return *options.seed;
    std::random_device device;
    return (std::uint64_t(device()) << 32) | device();
}

FirmwareIdentity Firmware(const BoardOptions& options)
{
    return {options.version, options.testMode, options.mute};
}

BoardState PowerUpState(const BoardOptions& options)
{
    BoardState state;
    state.latitudeUnits = PositionUnits(options.position.lat).value_or(state.latitudeUnits);
    state.longitudeUnits = PositionUnits(options.position.lon).value_or(state.longitudeUnits);
    return state;
}

Pacer MakePacer(const BoardOptions& options)
{
    if (options.linkBitsPerSecond)
        return Pacer(Pacer::Unit::Bytes, *options.linkBitsPerSecond / 10.0);
    return Pacer(Pacer::Unit::Lines, options.linesPerSecond());
}

std::chrono::steady_clock::duration Ticks(double seconds)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(Seconds(seconds));
}

} // namespace

BoardServer::BoardServer(BoardOptions options)
    : options_(std::move(options)),
      seed_(ResolveSeed(options_)),
      commands_(Firmware(options_), PowerUpState(options_)),
      stream_(options_, seed_),
      pacer_(MakePacer(options_)),
      symlink_(options_.symlink)
{
}

BoardServer::~BoardServer()
{
    stop();
}

void BoardServer::start()
{
    if (thread_.joinable())
        return;
    if (!options_.record.empty()) {
        record_.open(options_.record, std::ios::binary | std::ios::trunc);
        if (!record_)
            throw std::runtime_error("cannot write the record file " + options_.record +
                                     ": check that its directory exists and is writable");
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create the board's wake-up pipe: too many open files?");
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    startedAt_ = Clock::now();
    try {
        plugIn();
    } catch (...) {
        stop();
        throw;
    }
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void BoardServer::stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        const char wake = 0;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite_, &wake, 1);
        thread_.join();
    }
    unplug();
    for (int* fd : {&wakeRead_, &wakeWrite_})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    if (record_.is_open())
        record_.close();
}

std::string BoardServer::devicePath() const
{
    const std::lock_guard lock(pathMutex_);
    return path_;
}

void BoardServer::plugIn()
{
    transport_ = options_.device.empty() ? PtyTransport::OpenPseudoTerminal()
                                         : PtyTransport::OpenDevice(options_.device, options_.linkBitsPerSecond);
    symlink_.pointAt(transport_->path());
    {
        const std::lock_guard lock(pathMutex_);
        path_ = transport_->path();
    }
    upSince_ = Clock::now();
    backAt_.reset();
    pacer_.restart(upSince_);
    if (listener_)
        listener_(transport_->path());
}

void BoardServer::unplug()
{
    if (!transport_)
        return;
    transport_.reset();
    symlink_.remove();
    {
        const std::lock_guard lock(pathMutex_);
        path_.clear();
    }
    // Whatever was on its way dies with the board's power.
    replies_.clear();
    line_.clear();
    lineSent_ = 0;
    commands_.powerCycle();
}

void BoardServer::run()
{
    while (!stopping_) {
        const Clock::time_point now = Clock::now();
        if (!transport_) {
            if (backAt_ && now < *backAt_) {
                wait(backAt_, false);
                continue;
            }
            try {
                plugIn();
            } catch (const std::exception& error) {
                std::fprintf(stderr, "telvorn-board: %s; trying again in a second\n", error.what());
                backAt_ = now + std::chrono::seconds(1);
            }
            continue;
        }
        if (options_.hangupAfter && now - upSince_ >= Ticks(*options_.hangupAfter)) {
            tearLine(now);
            unplug();
            backAt_ = now + Ticks(options_.down);
            continue;
        }
        try {
            serveOnce(now);
        } catch (const std::runtime_error& error) {
            // A real device that vanished: wait for it to come back.
            std::fprintf(stderr, "telvorn-board: %s\n", error.what());
            unplug();
            backAt_ = now + std::chrono::seconds(1);
        }
    }
}

bool BoardServer::silentAt(Clock::time_point now) const
{
    if (!options_.silentAfter)
        return false;
    const Clock::time_point from = startedAt_ + Ticks(*options_.silentAfter);
    return now >= from && now < from + Ticks(options_.silent);
}

void BoardServer::serveOnce(Clock::time_point now)
{
    const bool silent = silentAt(now);
    if (wasSilent_ && !silent)
        pacer_.restart(now);
    wasSilent_ = silent;
    std::optional<Clock::time_point> until;
    if (silent) {
        until = startedAt_ + Ticks(*options_.silentAfter + options_.silent);
    } else {
        produce(now);
        flush();
        if (line_.empty() && !commands_.state().held)
            until = pacer_.nextDue();
        if (options_.silentAfter && now < startedAt_ + Ticks(*options_.silentAfter)) {
            const Clock::time_point quiet = startedAt_ + Ticks(*options_.silentAfter);
            until = until ? std::min(*until, quiet) : quiet;
        }
    }
    if (options_.hangupAfter) {
        const Clock::time_point hangup = upSince_ + Ticks(*options_.hangupAfter);
        until = until ? std::min(*until, hangup) : hangup;
    }
    wait(until, !silent && (!replies_.empty() || lineSent_ < line_.size()));

    char buffer[512];
    while (transport_) {
        const std::size_t n = transport_->read(buffer, sizeof buffer);
        if (n == 0)
            break;
        // A hung firmware takes in what the host writes and acts on none of it.
        if (!silent)
            replies_ += commands_.feed(std::string_view(buffer, n), Clock::now());
    }
    if (!silent)
        flush();
}

void BoardServer::tearLine(Clock::time_point now)
{
    if (!transport_ || commands_.state().held || silentAt(now))
        return;
    if (line_.empty()) {
        line_ = stream_.next(commands_.state());
        lineSent_ = 0;
    }
    const std::size_t half = line_.size() / 2;
    while (transport_ && lineSent_ < half) {
        const std::size_t n = transport_->write(std::string_view(line_).substr(lineSent_, half - lineSent_));
        if (n == 0)
            break;
        if (record_.is_open())
            record_.write(line_.data() + lineSent_, std::streamsize(n));
        lineSent_ += n;
    }
    if (record_.is_open())
        record_.flush();
    // Long enough for a host that reads on every byte to take the half line
    // in before the line goes dead.
    wait(Clock::now() + std::chrono::milliseconds(100), false);
}

void BoardServer::produce(Clock::time_point now)
{
    if (!line_.empty() || commands_.state().held || !pacer_.due(now))
        return;
    line_ = stream_.next(commands_.state());
    lineSent_ = 0;
    pacer_.charge(1, line_.empty() ? TrafficStream::kIdleBytes : line_.size(), now);
}

void BoardServer::flush()
{
    while (transport_) {
        // A line once started is finished first, so replies never split it;
        // otherwise replies go ahead of traffic.
        const bool lineStarted = lineSent_ > 0 && lineSent_ < line_.size();
        const bool sendLine = lineStarted || (replies_.empty() && lineSent_ < line_.size());
        if (!sendLine && replies_.empty())
            break;
        const std::string_view chunk =
            sendLine ? std::string_view(line_).substr(lineSent_) : std::string_view(replies_);
        const std::size_t n = transport_->write(chunk);
        if (n == 0)
            break;
        if (record_.is_open())
            record_.write(chunk.data(), std::streamsize(n));
        if (sendLine) {
            lineSent_ += n;
            if (lineSent_ == line_.size()) {
                line_.clear();
                lineSent_ = 0;
            }
        } else {
            replies_.erase(0, n);
            pacer_.charge(0, n, Clock::now());
        }
    }
    if (record_.is_open())
        record_.flush();
}

void BoardServer::wait(std::optional<Clock::time_point> until, bool wantWrite)
{
    pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {-1, 0, 0}};
    if (transport_) {
        fds[1].fd = transport_->fd();
        fds[1].events = short(POLLIN | (wantWrite ? POLLOUT : 0));
    }
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (until) {
        const auto left = std::max(Clock::duration::zero(), *until - Clock::now());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = time_t(ns / 1000000000);
        timeout.tv_nsec = long(ns % 1000000000);
        timeoutPtr = &timeout;
    }
    ::ppoll(fds, 2, timeoutPtr, nullptr);
    if (fds[0].revents & POLLIN) {
        char drain[16];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
    }
}

} // namespace telvorn::board
