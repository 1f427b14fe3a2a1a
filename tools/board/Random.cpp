#include "Random.h"

#include <cmath>
#include <numeric>

namespace telvorn::board {

namespace {

std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

Random::Random(std::uint64_t seed)
{
    for (std::uint64_t& word : s_)
        word = SplitMix(seed);
}

std::uint64_t Random::next()
{
    const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

double Random::uniform()
{
    return double(next() >> 11) * 0x1.0p-53;
}

double Random::uniform(double low, double high)
{
    return low + (high - low) * uniform();
}

std::uint32_t Random::below(std::uint32_t bound)
{
    if (bound == 0)
        return 0;
    // Multiply-shift keeps the draw unbiased enough for traffic and needs no loop.
    return std::uint32_t(((next() >> 32) * std::uint64_t(bound)) >> 32);
}

int Random::between(int low, int high)
{
    return low + int(below(std::uint32_t(high - low + 1)));
}

bool Random::chance(double probability)
{
    return uniform() < probability;
}

double Random::exponential(double mean)
{
    return -mean * std::log(1.0 - uniform());
}

std::size_t Random::weighted(std::span<const double> weights)
{
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    double draw = uniform() * total;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (draw < weights[i])
            return i;
        draw -= weights[i];
    }
    // Rounding can leave the draw just past the last weight: take the last non-zero one.
    for (std::size_t i = weights.size(); i-- > 0;)
        if (weights[i] > 0.0)
            return i;
    return 0;
}

} // namespace telvorn::board
