#include "TrafficStream.h"

#include "LineFormatter.h"

namespace telvorn::board {

namespace {

// The fault generator gets a seed of its own, derived from the run's, so
// faults never shift the traffic's draws.
std::uint64_t FaultSeed(std::uint64_t seed)
{
    return seed * 0x9E3779B97F4A7C15ull + 0xD1B54A32D192ED03ull;
}

} // namespace

TrafficStream::TrafficStream(const BoardOptions& options, std::uint64_t seed)
    : model_(seed, options.aircraft, options.rangeNm),
      faults_(options.faults, FaultSeed(seed)),
      linesPerSecond_(options.linesPerSecond()),
      bytesPerSecond_(options.linkBitsPerSecond ? *options.linkBitsPerSecond / 10.0 : 0.0)
{
}

std::string TrafficStream::next(const BoardState& state)
{
    const auto message = model_.next(state.station());
    std::string line = message ? LineFormatter::Format(*message, state) : std::string();
    // Time is booked on the clean line so that faults leave the traffic alone.
    const double seconds = bytesPerSecond_ > 0.0
                               ? double(line.empty() ? kIdleBytes : line.size()) / bytesPerSecond_
                               : 1.0 / linesPerSecond_;
    model_.advance(seconds);
    return line.empty() ? line : faults_.apply(std::move(line));
}

} // namespace telvorn::board
