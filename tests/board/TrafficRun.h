#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BoardState.h"
#include "Message.h"

namespace telvorn::test {

// One message the emulated board heard, and when (simulated seconds).
struct Heard {
    board::Message message;
    double time = 0.0;
};

// Runs the traffic model alone for `seconds` of simulated time at `rate`
// lines per second, around the default stored position.
std::vector<Heard> RunTraffic(std::uint64_t seed, int aircraft, double seconds, double rate);

// The fields of a "+" record line without its marker and terminator.
std::vector<std::string> RecordFields(std::string_view line);

// The line without its ";" CR LF terminator.
std::string_view Body(std::string_view line);

} // namespace telvorn::test
