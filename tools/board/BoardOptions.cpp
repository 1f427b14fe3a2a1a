#include "BoardOptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace telvorn::board {

namespace {

std::string Text(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

double Number(std::string_view option, std::string_view text, double low, double high)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < low ||
        value > high)
        throw OptionError(std::string(option) + " needs a number from " + Text(low) + " to " + Text(high) +
                          ", got '" + std::string(text) + "'");
    return value;
}

std::uint64_t Unsigned(std::string_view option, std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw OptionError(std::string(option) + " needs a whole number, got '" + std::string(text) + "'");
    return value;
}

GeoPoint Position(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        throw OptionError("--position needs LAT,LON in degrees, for example 48.72171,2.37403");
    return {Number("--position latitude", text.substr(0, comma), -90.0, 90.0),
            Number("--position longitude", text.substr(comma + 1), -180.0, 180.0)};
}

} // namespace

double BoardOptions::linesPerSecond() const
{
    return rate.value_or(100.0);
}

BoardOptions ParseBoardOptions(std::span<const std::string_view> args, bool& help)
{
    BoardOptions o;
    help = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size())
                throw OptionError(std::string(name) + " needs a value (see --help)");
            return args[++i];
        };
        if (name == "--help" || name == "-h")
            help = true;
        else if (name == "--device")
            o.device = value();
        else if (name == "--symlink")
            o.symlink = value();
        else if (name == "--version")
            o.version = value();
        else if (name == "--test-mode")
            o.testMode = true;
        else if (name == "--mute")
            o.mute = true;
        else if (name == "--aircraft")
            o.aircraft = int(Number(name, value(), 0, 5000));
        else if (name == "--range")
            o.rangeNm = Number(name, value(), 5, 400);
        else if (name == "--position")
            o.position = Position(value());
        else if (name == "--rate")
            o.rate = Number(name, value(), 0.01, 100000);
        else if (name == "--link")
            o.linkBitsPerSecond = Number(name, value(), 300, 10000000);
        else if (name == "--seed")
            o.seed = Unsigned(name, value());
        else if (name == "--record")
            o.record = value();
        else if (name == "--noise")
            o.faults.noise = Number(name, value(), 0, 1);
        else if (name == "--bare-lf")
            o.faults.bareLf = Number(name, value(), 0, 1);
        else if (name == "--drop")
            o.faults.drop = Number(name, value(), 0, 1);
        else if (name == "--hangup-after")
            o.hangupAfter = Number(name, value(), 0.01, 1e6);
        else if (name == "--down")
            o.down = Number(name, value(), 0, 1e6);
        else if (name == "--silent-after")
            o.silentAfter = Number(name, value(), 0, 1e6);
        else if (name == "--silent")
            o.silent = Number(name, value(), 0, 1e6);
        else
            throw OptionError("unknown option '" + std::string(name) + "' (see --help)");
    }
    if (o.rate && o.linkBitsPerSecond)
        throw OptionError("--rate and --link both set the pace: give one of them");
    return o;
}

std::string BoardUsage()
{
    return "usage: telvorn-board [OPTIONS]\n"
           "Emulates the ADS-B receiver board on a new pseudo-terminal and prints its device path\n"
           "as the first line; runs until SIGINT or SIGTERM.\n\n"
           "  --device PATH          serve on an existing serial device instead\n"
           "  --symlink PATH         keep PATH pointing at the current device\n"
           "  --version TEXT         firmware version in the \"?\" reply (default 2.8)\n"
           "  --test-mode            the \"?\" reply also says RYRY\n"
           "  --mute                 never answer \"?\"\n"
           "  --aircraft N           aircraft in coverage (default 40)\n"
           "  --range NM             radius of coverage (default 250)\n"
           "  --position LAT,LON     stored receiver position at power-up (default 48.72171,2.37403)\n"
           "  --rate LINES_PER_S     output pace (default 100)\n"
           "  --link BITS_PER_S      send as fast as a link of that speed (115200, 1000000)\n"
           "  --seed N               the same bytes for the same seed and options\n"
           "  --record FILE          also write everything sent to FILE\n"
           "  --noise RATE           probability per line of garbage before it\n"
           "  --bare-lf RATE         probability per line of a \";\" LF ending\n"
           "  --drop RATE            probability per byte that it is lost\n"
           "  --hangup-after SECONDS unplug the device after that long up, again and again,\n"
           "                         halfway through a line\n"
           "  --down SECONDS         how long it stays unplugged (default 2)\n"
           "  --silent-after SECONDS stop answering that long after the start, still plugged in\n"
           "  --silent SECONDS       how long it sends and answers nothing (default 2)\n";
}

} // namespace telvorn::board
