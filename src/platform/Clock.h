#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

namespace telvorn {

// A calendar date and time of day with milliseconds; UTC as the clock
// reports it, or local where a feed's peers expect local time.
struct DateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool operator==(const DateTime&) const = default;
};
using UtcDateTime = DateTime;

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

// Whole seconds since 1970 of a date and time read as UTC (milliseconds ignored).
std::int64_t EpochSeconds(const DateTime& t);
// The platform's local calendar fields of an instant, in the process's time zone.
std::tm LocalCalendar(std::time_t instant);

// The clock's UTC instant as seconds since 1970, the time base of the tracks.
double UtcSeconds(const Clock& clock);

} // namespace telvorn
