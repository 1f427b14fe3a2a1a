#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "FaultInjector.h"
#include "Geo.h"

namespace telvorn::board {

// Everything `telvorn-board` can be told on its command line; the library
// takes the same structure.
struct BoardOptions {
    std::string device;  // serve on this serial device instead of a new pseudo-terminal
    std::string symlink; // keep this name pointing at the current device
    std::string version = "2.8";
    bool testMode = false;
    bool mute = false;

    int aircraft = 40;
    double rangeNm = 250.0;
    GeoPoint position{48.72171, 2.37403}; // the stored position at power-up

    // Pacing: lines per second, or the bit rate of a link run flat out.
    // Without either, 100 lines per second.
    std::optional<double> rate;
    std::optional<double> linkBitsPerSecond;
    std::optional<std::uint64_t> seed; // none: a different run every time

    std::string record; // also write everything sent to this file

    FaultRates faults;
    std::optional<double> hangupAfter; // seconds up before each unplug, in the middle of a line
    double down = 2.0;                 // seconds unplugged
    std::optional<double> silentAfter; // seconds after the start before the board stops answering
    double silent = 2.0;               // seconds it then sends and answers nothing, still plugged in

    double linesPerSecond() const;
};

// Thrown for a command line that cannot be served; the text says what to fix.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Sets `help` for --help.
BoardOptions ParseBoardOptions(std::span<const std::string_view> args, bool& help);
std::string BoardUsage();

} // namespace telvorn::board
