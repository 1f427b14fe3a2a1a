#include "feeds/LocalTime.h"

#include <chrono>
#include <ctime>

namespace telvorn {

namespace {

std::int64_t DaysOf(int y, int m, int d)
{
    using namespace std::chrono;
    return sys_days{year{y} / month{unsigned(m)} / day{unsigned(d)}}.time_since_epoch().count();
}

// Seconds that local time is ahead of UTC at this instant.
std::int64_t OffsetAt(std::int64_t utcSeconds)
{
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    const std::int64_t localSeconds = DaysOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
                                      local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return localSeconds - utcSeconds;
}

} // namespace

LocalDateTime LocalTime::of(const UtcDateTime& utc)
{
    using namespace std::chrono;
    const std::int64_t utcSeconds =
        DaysOf(utc.year, utc.month, utc.day) * 86400 + utc.hour * 3600 + utc.minute * 60 + utc.second;
    const std::int64_t minute = utcSeconds / 60 - (utcSeconds % 60 < 0);
    if (minute != minute_) {
        minute_ = minute;
        offsetSeconds_ = OffsetAt(minute * 60);
    }
    const std::int64_t local = utcSeconds + offsetSeconds_;
    const std::int64_t days = local / 86400 - (local % 86400 < 0);
    const std::int64_t secondOfDay = local - days * 86400;
    const year_month_day date{sys_days{std::chrono::days{days}}};

    LocalDateTime out;
    out.year = int(date.year());
    out.month = int(unsigned(date.month()));
    out.day = int(unsigned(date.day()));
    out.hour = int(secondOfDay / 3600);
    out.minute = int(secondOfDay / 60 % 60);
    out.second = int(secondOfDay % 60);
    out.millisecond = utc.millisecond;
    return out;
}

} // namespace telvorn
