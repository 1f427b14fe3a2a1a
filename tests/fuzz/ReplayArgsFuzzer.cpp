// Any argument list for `telvorn replay`. A refusal is one line naming what
// is wrong; accepted options are all within their ranges, and the clock and
// the purge instant they set are instants the clock can hold, which the
// replay then turns into time stamps.
#include <chrono>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ReplayOptions.h"
#include "platform/Clock.h"
#include "table/Common.h"
#include "text/NumberText.h"

using namespace telvorn;

namespace {

void CheckStamp(FrozenClock::TimePoint instant)
{
    const FrozenClock clock(instant);
    const std::string stamp = GetUTCStamp(clock);
    FUZZ_CHECK(stamp.size() == 17 && IsDigits(stamp), "time stamp '" + stamp + "'");
    const double seconds = clock.localSecondsOfDay();
    FUZZ_CHECK(seconds >= 0.0 && seconds < 86400.0, "local time of day " + std::to_string(seconds));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const app::ParsedReplayOptions parsed = app::ParseReplayOptions(fuzz::SplitArguments(data, size));
    if (!parsed.options) {
        FUZZ_CHECK(!parsed.error.empty(), "refused without a message");
        FUZZ_CHECK(parsed.error.find('\n') == std::string::npos, "message of more than one line: " + parsed.error);
        return 0;
    }
    const app::ReplayOptions& o = *parsed.options;
    FUZZ_CHECK(o.sortColumn >= 0 && o.sortColumn <= 18, "sort column " + std::to_string(o.sortColumn));
    FUZZ_CHECK(o.chunkBytes >= 1 && o.chunkBytes <= 64u * 1024u * 1024u, "chunk " + std::to_string(o.chunkBytes));
    FUZZ_CHECK(o.refLat >= -90.0 && o.refLat <= 90.0 && o.refLon >= -180.0 && o.refLon <= 180.0, "reference");
    if (o.clock)
        CheckStamp(*o.clock);
    if (o.purgeAfterSeconds) {
        FUZZ_CHECK(*o.purgeAfterSeconds >= 0.0, "negative purge delay");
        const auto at = app::PurgeInstant(o, std::chrono::system_clock::now());
        FUZZ_CHECK(at.has_value(), "accepted a purge beyond the clock's reach");
        CheckStamp(*at);
    }
    return 0;
}
