#include "MonitorOptions.h"

#include "ArgParse.h"
#include "OptionReader.h"

namespace telvorn::app {

namespace {

// Longer than any run anyone leaves unattended, short enough for a timer.
constexpr double kMaxSeconds = 1.0e7;

} // namespace

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
                return fail("bad " + name + " value '" + *v + "': expected seconds, more than 0");
            (name == "--seconds" ? o.seconds : o.every) = seconds;
        } else if (IsFeedOption(name)) {
            const std::optional<std::string> v = r.value();
            std::string error;
            if (!SetFeedOption(name, v ? std::optional<std::string_view>(*v) : std::nullopt, o.feeds, error))
                return fail(error);
        } else if (r.isOption()) {
            return fail("unknown option '" + r.raw() + "'");
        } else {
            return fail("unexpected argument '" + r.raw() + "'");
        }
    }
    return ParsedMonitorOptions{o, {}};
}

} // namespace telvorn::app
