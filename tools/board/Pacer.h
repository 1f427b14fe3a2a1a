#pragma once

#include <chrono>
#include <cstddef>

namespace telvorn::board {

// Releases output at a steady average rate, counted either in lines or in
// bytes (a serial link of B bits per second carries B / 10 bytes: a start
// bit, eight data bits, a stop bit). Every release books its cost on a
// schedule; output is due when the schedule has caught up with the clock.
// The schedule may lag the clock by at most one burst allowance, so a stall
// (XOFF, a slow reader) is followed by a short burst, never a flood.
class Pacer {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class Unit { Lines, Bytes };

    Pacer(Unit unit, double perSecond);

    Unit unit() const { return unit_; }
    double perSecond() const { return perSecond_; }

    bool due(TimePoint now) const { return now >= next_; }
    TimePoint nextDue() const { return next_; }
    // Books output of `lines` lines totalling `bytes` bytes.
    void charge(std::size_t lines, std::size_t bytes, TimePoint now);
    // Forgets past lateness, as after output was held.
    void restart(TimePoint now);

    static constexpr std::chrono::milliseconds kBurstAllowance{50};

private:
    Unit unit_;
    double perSecond_;
    TimePoint next_{};
};

} // namespace telvorn::board
