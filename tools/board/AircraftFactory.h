#pragma once

#include <cstdint>
#include <functional>

#include "Aircraft.h"
#include "Random.h"

namespace telvorn::board {

// Draws the aircraft that enter the coverage area: who they are (address,
// call sign, category, squawk, transponder), how they perform, and where
// they are first heard. Traffic at the start of a run is spread over the
// whole area; later traffic enters at its edge, pops up out of the low-level
// shadow, or starts up at the receiver's airfield.
class AircraftFactory {
public:
    explicit AircraftFactory(double rangeNm);

    // `taken` tells whether an address already flies; the new one differs.
    Aircraft create(Random& rng, double now, bool initial,
                    const std::function<bool(std::uint32_t)>& taken) const;

private:
    void chooseIdentity(Random& rng, Aircraft& a, const std::function<bool(std::uint32_t)>& taken) const;
    void choosePerformance(Random& rng, Aircraft& a) const;
    void placeInArea(Random& rng, Aircraft& a, double now, bool initial) const;

    double rangeNm_;
};

} // namespace telvorn::board
