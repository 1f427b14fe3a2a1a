#include "platform/Clock.h"

#include <ctime>

namespace telvorn {

UtcDateTime ToUtcDateTime(std::chrono::system_clock::time_point instant)
{
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(instant);
    const auto days = floor<std::chrono::days>(ms);
    const year_month_day date{days};
    const hh_mm_ss<milliseconds> time{ms - days};
    UtcDateTime out;
    out.year = int(date.year());
    out.month = int(unsigned(date.month()));
    out.day = int(unsigned(date.day()));
    out.hour = int(time.hours().count());
    out.minute = int(time.minutes().count());
    out.second = int(time.seconds().count());
    out.millisecond = int(time.subseconds().count());
    return out;
}

double UtcSeconds(const Clock& clock)
{
    using namespace std::chrono;
    const UtcDateTime t = clock.utcNow();
    const sys_days date{year{t.year} / month{unsigned(t.month)} / day{unsigned(t.day)}};
    return double(date.time_since_epoch().count()) * 86400.0 + t.hour * 3600.0 + t.minute * 60.0 + t.second +
           t.millisecond / 1000.0;
}

double LocalSecondsOfDay(std::chrono::system_clock::time_point instant)
{
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(instant);
    const auto whole = floor<seconds>(ms);
    const std::time_t t = system_clock::to_time_t(time_point<system_clock, seconds>(whole));
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    const double fraction = double((ms - whole).count()) / 1000.0;
    return double(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) + fraction;
}

UtcDateTime SystemClock::utcNow() const
{
    return ToUtcDateTime(std::chrono::system_clock::now());
}

double SystemClock::localSecondsOfDay() const
{
    return LocalSecondsOfDay(std::chrono::system_clock::now());
}

FrozenClock::FrozenClock(TimePoint instant)
{
    set(instant);
}

void FrozenClock::set(TimePoint instant)
{
    instant_ = instant;
    utc_ = ToUtcDateTime(instant);
    localSeconds_ = LocalSecondsOfDay(instant);
}

void FrozenClock::advance(std::chrono::milliseconds by)
{
    set(instant_ + by);
}

} // namespace telvorn
