#pragma once

#include <cstdint>
#include <string>

#include "Random.h"

namespace telvorn::board {

// Link faults, each a probability in [0, 1].
struct FaultRates {
    double noise = 0.0;  // per line: a burst of garbage bytes before it
    double bareLf = 0.0; // per line: ";" and a bare line feed as terminator
    double drop = 0.0;   // per byte of traffic: the byte is lost
};

// Damages traffic lines the way a poor serial link does. It draws from its
// own generator, so the traffic underneath stays the same with or without
// faults for a given seed. Garbage never holds XON or XOFF (a host with
// software flow control would act on them), nor a line feed or a line
// marker: noise costs the host the garbage itself, lost bytes cost it lines.
class FaultInjector {
public:
    FaultInjector(FaultRates rates, std::uint64_t seed);

    std::string apply(std::string line);

private:
    char garbageByte();

    FaultRates rates_;
    Random rng_;
};

} // namespace telvorn::board
