#pragma once

#include <chrono>

namespace telvorn {

// A UTC calendar instant with milliseconds, as the system clock reports it.
struct UtcDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Every clock read of the core goes through this interface, so a replay or a
// test gives the same table on every run.
class Clock {
public:
    virtual ~Clock() = default;
    virtual UtcDateTime utcNow() const = 0;
    // Seconds since local midnight, with their fraction, in the process's time zone.
    virtual double localSecondsOfDay() const = 0;
};

class SystemClock final : public Clock {
public:
    UtcDateTime utcNow() const override;
    double localSecondsOfDay() const override;
};

// A clock stopped at one instant; tests and `telvorn replay --clock` move it by hand.
class FrozenClock final : public Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    explicit FrozenClock(TimePoint instant = TimePoint{});
    void set(TimePoint instant);
    void advance(std::chrono::milliseconds by);
    TimePoint instant() const { return instant_; }

    UtcDateTime utcNow() const override { return utc_; }
    double localSecondsOfDay() const override { return localSeconds_; }

private:
    TimePoint instant_;
    UtcDateTime utc_;
    double localSeconds_ = 0.0;
};

UtcDateTime ToUtcDateTime(std::chrono::system_clock::time_point instant);
double LocalSecondsOfDay(std::chrono::system_clock::time_point instant);

// The clock's UTC instant as seconds since 1970, the time base of the tracks.
double UtcSeconds(const Clock& clock);

} // namespace telvorn
