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

// "2026-12-05T13:27:35.042Z": UTC, fraction optional (milliseconds kept).
std::optional<std::chrono::system_clock::time_point> ParseIsoInstant(const std::string& text);

} // namespace telvorn::app
