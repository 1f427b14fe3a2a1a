#include "MonitorOptions.h"

#include <algorithm>
#include <cmath>

#include "ArgParse.h"
#include "OptionReader.h"

namespace telvorn::app {

namespace {

// The longest span a timer holds: its milliseconds are a 32-bit int.
constexpr double kMaxSeconds = 2147483.0;

} // namespace

int TimerMilliseconds(double seconds)
{
    // Never 0: a timer of 0 ms fires at every turn of the event loop.
    return int(std::clamp(std::round(seconds * 1000.0), 1.0, kMaxSeconds * 1000.0));
}

ParsedMonitorOptions ParseMonitorOptions(const std::vector<std::string>& args)
{
    MonitorOptions o;
    auto fail = [](std::string message) { return ParsedMonitorOptions{std::nullopt, std::move(message)}; };
    OptionReader r(args);
    while (r.next()) {
        const std::string& name = r.name();
        if (name == "--table") {
            if (!r.flagOk())
                return fail("option --table takes no value");
            o.table = true;
        } else if (name == "--demo") {
            if (!r.flagOk())
                return fail("option --demo takes no value");
            o.demo = true;
        } else if (name == "--port") {
            const std::optional<std::string> v = r.value();
            if (!v || v->empty())
                return fail("option --port needs a serial device, e.g. /dev/ttyUSB0");
            o.port = *v;
        } else if (name == "--seconds" || name == "--every") {
            const std::optional<std::string> v = r.value();
            if (!v)
                return fail("option " + name + " needs a number of seconds");
            const std::optional<double> seconds = ParseDecimal(*v);
            if (!seconds || *seconds <= 0.0 || *seconds > kMaxSeconds)
                return fail("bad " + name + " value " + QuotedValue(*v) + ": expected seconds, more than 0 and up to 2147483");
            (name == "--seconds" ? o.seconds : o.every) = seconds;
        } else if (IsFeedOption(name)) {
            const std::optional<std::string> v = r.value();
            std::string error;
            if (!SetFeedOption(name, v ? std::optional<std::string_view>(*v) : std::nullopt, o.feeds, error))
                return fail(error);
        } else if (r.isOption()) {
            return fail("unknown option " + QuotedValue(r.raw()));
        } else {
            return fail("unexpected argument " + QuotedValue(r.raw()));
        }
    }
    return ParsedMonitorOptions{o, {}};
}

} // namespace telvorn::app
