#include "platform/Clock.h"

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

std::int64_t EpochSeconds(const DateTime& t)
{
    using namespace std::chrono;
    const sys_days date{year{t.year} / month{unsigned(t.month)} / day{unsigned(t.day)}};
    return std::int64_t(date.time_since_epoch().count()) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

double UtcSeconds(const Clock& clock)
{
    const UtcDateTime t = clock.utcNow();
    return double(EpochSeconds(t)) + t.millisecond / 1000.0;
}

std::tm LocalCalendar(std::time_t instant)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &instant);
#else
    localtime_r(&instant, &local);
#endif
    return local;
}

double LocalSecondsOfDay(std::chrono::system_clock::time_point instant)
{
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(instant);
    const auto whole = floor<seconds>(ms);
    const std::tm local = LocalCalendar(system_clock::to_time_t(time_point<system_clock, seconds>(whole)));
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
