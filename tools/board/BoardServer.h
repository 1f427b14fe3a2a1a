#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "BoardCommands.h"
#include "BoardOptions.h"
#include "DeviceSymlink.h"
#include "Pacer.h"
#include "PtyTransport.h"
#include "TrafficStream.h"

namespace telvorn::board {

// The emulated board at work: it serves one serial line on a thread of its
// own, answering commands at once and sending traffic at the configured
// pace, and pulls the plug now and then when told to, or falls silent.
//
// A plug pulled while the board talks cuts a line: every unplug sends the
// first half of a line just before it, which the host has then to throw away.
//
// An unplugged USB board loses power: when it comes back its output options
// are at their defaults again (nothing held, no frames, no distance, decoded
// positions), while its stored position survives, as it would in the
// board's non-volatile memory.
class BoardServer {
public:
    using DeviceListener = std::function<void(const std::string& path)>;

    explicit BoardServer(BoardOptions options);
    ~BoardServer();
    BoardServer(const BoardServer&) = delete;
    BoardServer& operator=(const BoardServer&) = delete;

    // Called whenever the device appears: first from start(), later on the
    // server's thread after each unplug. Set it before start().
    void setDeviceListener(DeviceListener listener) { listener_ = std::move(listener); }

    // Opens the device and starts serving. Throws std::runtime_error with
    // what to fix when the device, the record file or the link cannot be had.
    void start();
    // Stops serving and closes everything; safe to call more than once.
    void stop();

    // Path of the device now being served; empty while unplugged.
    std::string devicePath() const;
    std::uint64_t seed() const { return seed_; }

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void plugIn();
    void unplug();
    void tearLine(Clock::time_point now);
    bool silentAt(Clock::time_point now) const;
    void serveOnce(Clock::time_point now);
    void produce(Clock::time_point now);
    void flush();
    void sendNow(std::string_view bytes);
    void wait(std::optional<Clock::time_point> until, bool wantWrite);

    BoardOptions options_;
    std::uint64_t seed_;
    BoardCommands commands_;
    TrafficStream stream_;
    Pacer pacer_;
    DeviceSymlink symlink_;
    DeviceListener listener_;
    std::ofstream record_;

    std::unique_ptr<PtyTransport> transport_;
    std::string replies_;
    std::string line_;
    std::size_t lineSent_ = 0;
    Clock::time_point upSince_{};
    Clock::time_point startedAt_{};
    bool wasSilent_ = false;
    std::optional<Clock::time_point> backAt_;

    mutable std::mutex pathMutex_;
    std::string path_;
    std::atomic<bool> stopping_{false};
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

} // namespace telvorn::board
