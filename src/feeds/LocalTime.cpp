#include "feeds/LocalTime.h"

#include <chrono>

namespace telvorn {

namespace {

// Seconds that local time is ahead of UTC at this instant.
std::int64_t OffsetAt(std::int64_t utcSeconds)
{
    const std::tm local = LocalCalendar(static_cast<std::time_t>(utcSeconds));
    DateTime fields;
    fields.year = local.tm_year + 1900;
    fields.month = local.tm_mon + 1;
    fields.day = local.tm_mday;
    fields.hour = local.tm_hour;
    fields.minute = local.tm_min;
    fields.second = local.tm_sec;
    return EpochSeconds(fields) - utcSeconds;
}

} // namespace

LocalDateTime LocalTime::of(const UtcDateTime& utc)
{
    using namespace std::chrono;
    const std::int64_t utcSeconds = EpochSeconds(utc);
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
