// Any argument list, NUL-separated as an argv holds them, for one of the
// `telvorn` command lines; TELVORN_FUZZ_ARGS names the target's check.
//   Crc, Cpr: the sub-command ends with 0 (done) or 2 (bad usage); `crc`
//     succeeds exactly when every argument is a short or a long frame in hex.
//   Replay, Monitor: a refusal is one printable line naming what is wrong.
//     Replay: accepted options are within their ranges, and the clock and the
//     purge instant they set are instants the clock can hold, which the
//     replay then turns into time stamps.
//     Monitor: accepted spans are within what a timer holds, and the options
//     accepted read back the same when written out again.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Commands.h"
#include "FuzzCheck.h"
#include "MonitorOptions.h"
#include "ReplayOptions.h"
#include "platform/Clock.h"
#include "table/Common.h"
#include "text/NumberText.h"

using namespace telvorn;

namespace {

using Arguments = std::vector<std::string>;

int Run(app::CommandFunction command, Arguments args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int code = command(int(args.size()), argv.data());
    FUZZ_CHECK(code == 0 || code == 2, "exit code " + std::to_string(code));
    return code;
}

[[maybe_unused]] void Crc(const Arguments& args)
{
    bool frames = !args.empty();
    for (const std::string& arg : args) {
        frames = frames && (arg.size() == 14 || arg.size() == 28);
        for (char c : arg)
            frames = frames && HexDigitValue(c) >= 0;
    }
    FUZZ_CHECK((Run(app::RunCrc, args) == 0) == frames, "crc told frames from other arguments wrongly");
}

[[maybe_unused]] void Cpr(const Arguments& args)
{
    Run(app::RunCpr, args);
}

void CheckRefusal(const std::string& error)
{
    FUZZ_CHECK(!error.empty(), "refused without a message");
    for (const char c : error)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "control byte in: " + error);
}

void CheckStamp(FrozenClock::TimePoint instant)
{
    const FrozenClock clock(instant);
    const std::string stamp = GetUTCStamp(clock);
    FUZZ_CHECK(stamp.size() == 17 && IsDigits(stamp), "time stamp '" + stamp + "'");
    const double seconds = clock.localSecondsOfDay();
    FUZZ_CHECK(seconds >= 0.0 && seconds < 86400.0, "local time of day " + std::to_string(seconds));
}

[[maybe_unused]] void Replay(const Arguments& args)
{
    const app::ParsedReplayOptions parsed = app::ParseReplayOptions(args);
    if (!parsed.options)
        return CheckRefusal(parsed.error);
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
}

[[maybe_unused]] void Monitor(const Arguments& args)
{
    const app::ParsedMonitorOptions parsed = app::ParseMonitorOptions(args);
    if (!parsed.options)
        return CheckRefusal(parsed.error);
    const app::MonitorOptions& o = *parsed.options;
    FUZZ_CHECK(!o.port || !o.port->empty(), "empty port");
    Arguments again;
    if (o.port)
        again.push_back("--port=" + *o.port);
    for (const auto& [name, value] : {std::pair{"--seconds", o.seconds}, std::pair{"--every", o.every}}) {
        if (!value)
            continue;
        FUZZ_CHECK(*value > 0.0 && *value <= INT_MAX / 1000, std::string(name) + " " + std::to_string(*value));
        FUZZ_CHECK(app::TimerMilliseconds(*value) >= 1, std::string(name) + " timer under 1 ms");
        char exact[40];
        std::snprintf(exact, sizeof exact, "%.17g", *value);
        again.insert(again.end(), {name, exact});
    }
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
}

} // namespace

// The commands print their results; only the exit code is checked here.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return std::freopen("/dev/null", "w", stdout) ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Arguments args(1);
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    if (args.back().empty())
        args.pop_back();
    TELVORN_FUZZ_ARGS(args);
    return 0;
}
