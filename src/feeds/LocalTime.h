#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace telvorn {

using LocalDateTime = DateTime;

// UTC instants of the clock in the process's time zone, as the platform's
// local-time conversion gives them. The UTC offset is found once per UTC
// minute and kept: offsets change only on whole minutes, and the receive
// path asks for every record.
class LocalTime {
public:
    LocalDateTime of(const UtcDateTime& utc);
    LocalDateTime now(const Clock& clock) { return of(clock.utcNow()); }

private:
    std::int64_t minute_ = INT64_MIN; // UTC minutes since 1970 of the offset below
    std::int64_t offsetSeconds_ = 0;
};

} // namespace telvorn
