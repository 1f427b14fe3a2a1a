#pragma once

#include <cstdint>
#include <string>

#include "BoardOptions.h"
#include "BoardState.h"
#include "FaultInjector.h"
#include "TrafficModel.h"

namespace telvorn::board {

// The board's traffic output, line by line, with no notion of wall-clock
// time: each line moves simulated time on by its share of the configured
// pace (1 / rate, or its length on the link), so a seed and the options fix
// every byte whenever the lines are actually sent.
class TrafficStream {
public:
    // Length booked for a moment with nothing heard, on a byte-paced link.
    static constexpr std::size_t kIdleBytes = 64;

    TrafficStream(const BoardOptions& options, std::uint64_t seed);

    // The next line as the board's state shapes it, faults applied; empty
    // when no aircraft is in range at the moment.
    std::string next(const BoardState& state);

    const TrafficModel& model() const { return model_; }

private:
    TrafficModel model_;
    FaultInjector faults_;
    double linesPerSecond_;
    double bytesPerSecond_; // 0 when paced in lines
};

} // namespace telvorn::board
