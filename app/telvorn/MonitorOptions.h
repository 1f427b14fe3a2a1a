#pragma once

#include <optional>
#include <string>
#include <vector>

#include "feeds/FeedOptions.h"

namespace telvorn::app {

struct MonitorOptions {
    // Opened for this run only; the stored choice stays as it is.
    std::optional<std::string> port;
    std::optional<double> seconds;
    std::optional<double> every;
    bool table = false;
    // Against the built-in board emulator, with demo settings.
    bool demo = false;
    // Servers and push clients of the network feeds.
    FeedOptions feeds;
};

// Either the options or a one-line message naming what is wrong.
struct ParsedMonitorOptions {
    std::optional<MonitorOptions> options;
    std::string error;
};

ParsedMonitorOptions ParseMonitorOptions(const std::vector<std::string>& args);

// A span of seconds as a timer's interval: 1 ms at least, and no more than
// the parser accepts.
int TimerMilliseconds(double seconds);

} // namespace telvorn::app
