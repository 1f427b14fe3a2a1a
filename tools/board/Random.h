#pragma once

#include <cstdint>
#include <span>

namespace telvorn::board {

// The emulator's only source of chance. The standard library's distributions
// differ between implementations, so every draw goes through this generator
// (xoshiro256**, seeded through splitmix64) and a seed replays the same run on
// any build.
class Random {
public:
    explicit Random(std::uint64_t seed);

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    double uniform(double low, double high);
    // Uniform in [0, bound); 0 when bound is 0.
    std::uint32_t below(std::uint32_t bound);
    // Uniform in [low, high], both included.
    int between(int low, int high);
    bool chance(double probability);
    double exponential(double mean);
    // Index drawn with probability proportional to its weight; weights must
    // not all be zero.
    std::size_t weighted(std::span<const double> weights);

private:
    std::uint64_t s_[4];
};

} // namespace telvorn::board
