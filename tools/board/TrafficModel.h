#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "Aircraft.h"
#include "AircraftFactory.h"
#include "Geo.h"
#include "Message.h"
#include "MessageBuilder.h"
#include "Random.h"

namespace telvorn::board {

// The traffic the board hears: a population of aircraft around the receiver
// that fly, land, take off, enter and leave the coverage area in simulated
// time, and the choice of which frame is heard next. Simulated time moves
// only when the owner advances it, so a seed fixes everything the model does.
class TrafficModel {
public:
    TrafficModel(std::uint64_t seed, int aircraftCount, double rangeNm = 250.0);

    // The next message heard at the current simulated time, or nothing when
    // no aircraft is in range. The receiver's position lays out the traffic.
    std::optional<Message> next(GeoPoint station);
    // Moves every aircraft on, retires those no longer heard, and lets new
    // ones in.
    void advance(double seconds);

    double now() const { return now_; }
    const std::vector<Aircraft>& aircraft() const { return fleet_; }
    double rangeNm() const { return rangeNm_; }

private:
    MessageType chooseType(const Aircraft& a);
    void steer(Aircraft& a);
    void integrate(Aircraft& a, double dt) const;
    bool stillHeard(const Aircraft& a) const;
    void spawn(bool initial);

    Random rng_;
    AircraftFactory factory_;
    double rangeNm_;
    double now_ = 0.0;
    std::vector<Aircraft> fleet_;
    std::vector<double> arrivals_; // simulated times of aircraft yet to come, ascending
    std::deque<Message> pending_;  // alerts that follow the message that raised them
};

} // namespace telvorn::board
