#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace telvorn::app {

struct ReplayOptions {
    bool rawMode = false;
    bool distanceFlag = false;
    int sortColumn = 2;
    std::string refLatText = "48.721710";
    std::string refLonText = "2.374030";
    double refLat = 48.721710;
    double refLon = 2.374030;
    std::optional<std::chrono::system_clock::time_point> clock;
    std::size_t chunkBytes = 4096;
    std::optional<double> purgeAfterSeconds;
    std::optional<std::string> logPath;
    bool tableOutput = false;
    std::string input; // a path, or "-" for standard input
};

// Either the options or a one-line message naming what is wrong.
struct ParsedReplayOptions {
    std::optional<ReplayOptions> options;
    std::string error;
};

ParsedReplayOptions ParseReplayOptions(const std::vector<std::string>& args);

// The instant of the one purge tick: purgeAfterSeconds after the frozen
// clock, or after `now` when the clock runs; empty when it lies beyond the
// clock's reach. The parser refuses a frozen clock with such a purge.
std::optional<std::chrono::system_clock::time_point> PurgeInstant(const ReplayOptions& options,
                                                                  std::chrono::system_clock::time_point now);

// "2026-12-05T13:27:35.042Z": UTC, fraction optional (milliseconds kept);
// empty for a malformed text or an instant beyond the clock's reach.
std::optional<std::chrono::system_clock::time_point> ParseIsoInstant(const std::string& text);

// The clock counts nanoseconds in 64 bits, from 1677-09-21T00:12:44Z to
// 2262-04-11T23:47:16Z; empty for an instant outside that reach.
std::optional<std::chrono::system_clock::time_point> ClockInstant(std::chrono::sys_time<std::chrono::milliseconds> t);

} // namespace telvorn::app
