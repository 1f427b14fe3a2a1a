// Any argument list for `telvorn monitor`. A refusal is one printable line
// naming what is wrong; accepted spans are within what a timer holds, and the
// options accepted read back the same when written out again.
#include <climits>
#include <cstdio>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "MonitorOptions.h"

using namespace telvorn;

namespace {

void CheckSpan(const std::optional<double>& seconds, const char* name)
{
    if (!seconds)
        return;
    FUZZ_CHECK(*seconds > 0.0 && *seconds <= INT_MAX / 1000, std::string(name) + " " + std::to_string(*seconds));
    const int ms = app::TimerMilliseconds(*seconds);
    FUZZ_CHECK(ms >= 1, std::string(name) + " timer of " + std::to_string(ms) + " ms");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const app::ParsedMonitorOptions parsed = app::ParseMonitorOptions(fuzz::SplitArguments(data, size));
    if (!parsed.options) {
        FUZZ_CHECK(!parsed.error.empty(), "refused without a message");
        for (const char c : parsed.error)
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "control byte in: " + parsed.error);
        return 0;
    }
    const app::MonitorOptions& o = *parsed.options;
    FUZZ_CHECK(!o.port || !o.port->empty(), "empty port");
    CheckSpan(o.seconds, "--seconds");
    CheckSpan(o.every, "--every");

    const auto exact = [](double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return std::string(text);
    };
    std::vector<std::string> again;
    if (o.port)
        again.push_back("--port=" + *o.port);
    for (const auto& [name, value] : {std::pair{"--seconds", o.seconds}, std::pair{"--every", o.every}})
        if (value)
            again.insert(again.end(), {name, exact(*value)});
    if (o.table)
        again.emplace_back("--table");
    if (o.demo)
        again.emplace_back("--demo");
    const app::ParsedMonitorOptions reread = app::ParseMonitorOptions(again);
    FUZZ_CHECK(reread.options, "written out, refused: " + reread.error);
    FUZZ_CHECK(reread.options->port == o.port && reread.options->table == o.table &&
                   reread.options->demo == o.demo && reread.options->seconds == o.seconds &&
                   reread.options->every == o.every,
               "written out, read back otherwise");
    return 0;
}
