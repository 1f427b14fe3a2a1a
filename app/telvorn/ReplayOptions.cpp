#include "ReplayOptions.h"

#include <cmath>

#include "ArgParse.h"
#include "text/NumberText.h"

namespace telvorn::app {

namespace {

constexpr std::size_t kMaxChunk = 64u * 1024u * 1024u;
constexpr int kColumns = 19;
constexpr const char* kClockReach = "from 1677-09-21T00:12:44Z to 2262-04-11T23:47:16Z";

// A value as the message shows it, between quotes; bytes that would break
// the one-line message or the terminal (line feeds, escapes) as \xHH.
std::string Quoted(std::string_view value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "'";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "'";
}

bool TakeNumber(const std::string& text, std::size_t from, std::size_t length, int& out)
{
    if (from + length > text.size())
        return false;
    const std::string_view digits(text.data() + from, length);
    if (!IsDigits(digits))
        return false;
    out = 0;
    for (char c : digits)
        out = out * 10 + (c - '0');
    return true;
}

} // namespace

std::optional<std::chrono::system_clock::time_point> ParseIsoInstant(const std::string& text)
{
    using namespace std::chrono;
    int y, mo, d, h, mi, s;
    if (!TakeNumber(text, 0, 4, y) || text.size() < 20 || text[4] != '-' || !TakeNumber(text, 5, 2, mo) ||
        text[7] != '-' || !TakeNumber(text, 8, 2, d) || text[10] != 'T' || !TakeNumber(text, 11, 2, h) ||
        text[13] != ':' || !TakeNumber(text, 14, 2, mi) || text[16] != ':' || !TakeNumber(text, 17, 2, s))
        return std::nullopt;
    std::size_t i = 19;
    int ms = 0;
    if (text[i] == '.') {
        ++i;
        int digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (digits < 3)
                ms = ms * 10 + (text[i] - '0');
            ++digits;
            ++i;
        }
        if (digits == 0)
            return std::nullopt;
        for (int k = digits; k < 3; ++k)
            ms *= 10;
    }
    if (i + 1 != text.size() || text[i] != 'Z')
        return std::nullopt;
    const year_month_day date{year{y}, month{unsigned(mo)}, day{unsigned(d)}};
    if (!date.ok() || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return ClockInstant(sys_days{date} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms});
}

std::optional<std::chrono::system_clock::time_point> ClockInstant(std::chrono::sys_time<std::chrono::milliseconds> t)
{
    using namespace std::chrono;
    // Milliseconds reach far beyond any four-digit year, so `t` itself never
    // overflows; the clock's nanoseconds reach only from 1677 to 2262.
    constexpr auto reach = duration_cast<milliseconds>(system_clock::duration::max());
    if (t.time_since_epoch() > reach || t.time_since_epoch() < -reach)
        return std::nullopt;
    return time_point_cast<system_clock::duration>(t);
}

std::optional<std::chrono::system_clock::time_point> PurgeInstant(const ReplayOptions& o,
                                                                  std::chrono::system_clock::time_point now)
{
    using namespace std::chrono;
    const auto base = time_point_cast<milliseconds>(o.clock.value_or(now));
    return ClockInstant(base + milliseconds(std::llround(o.purgeAfterSeconds.value_or(0.0) * 1000.0)));
}

ParsedReplayOptions ParseReplayOptions(const std::vector<std::string>& args)
{
    ReplayOptions o;
    std::string purgeText;
    bool haveInput = false;
    auto fail = [](std::string message) { return ParsedReplayOptions{std::nullopt, std::move(message)}; };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&](std::string& out) -> bool {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        auto flag = [&](bool& out) -> bool {
            if (inlineValue)
                return false;
            out = true;
            return true;
        };

        std::string v;
        if (arg == "--raw-mode") {
            if (!flag(o.rawMode))
                return fail("option --raw-mode takes no value");
        } else if (arg == "--dst") {
            if (!flag(o.distanceFlag))
                return fail("option --dst takes no value");
        } else if (arg == "--table") {
            if (!flag(o.tableOutput))
                return fail("option --table takes no value");
        } else if (arg == "--sort") {
            if (!value(v))
                return fail("option --sort needs a column number");
            if (!IsDigits(v) || v.size() > 2 || std::stoi(v) >= kColumns)
                return fail("bad --sort value " + Quoted(v) + ": expected a column number from 0 to 18");
            o.sortColumn = std::stoi(v);
        } else if (arg == "--ref") {
            if (!value(v))
                return fail("option --ref needs LAT,LON");
            const auto ref = ParseLatLon(v);
            if (!ref)
                return fail("bad --ref value " + Quoted(v) + ": expected LAT,LON in degrees, e.g. 48.721710,2.374030");
            const std::size_t comma = v.find(',');
            o.refLatText = v.substr(0, comma);
            o.refLonText = v.substr(comma + 1);
            o.refLat = ref->first;
            o.refLon = ref->second;
        } else if (arg == "--clock") {
            if (!value(v))
                return fail("option --clock needs an instant such as 2026-12-05T13:27:35.042Z");
            o.clock = ParseIsoInstant(v);
            if (!o.clock)
                return fail("bad --clock value " + Quoted(v) + ": expected UTC like 2026-12-05T13:27:35.042Z, " +
                            kClockReach);
        } else if (arg == "--chunk") {
            if (!value(v))
                return fail("option --chunk needs a byte count");
            if (!IsDigits(v) || v.size() > 9 || std::stoul(v) == 0 || std::stoul(v) > kMaxChunk)
                return fail("bad --chunk value " + Quoted(v) + ": expected a byte count from 1 to 67108864");
            o.chunkBytes = std::stoul(v);
        } else if (arg == "--purge-after") {
            if (!value(v))
                return fail("option --purge-after needs a number of seconds");
            const std::optional<double> seconds = ParseDecimal(v);
            if (!seconds || *seconds < 0.0 || *seconds > 1.0e9)
                return fail("bad --purge-after value " + Quoted(v) + ": expected seconds, 0 or more");
            o.purgeAfterSeconds = seconds;
            purgeText = v;
        } else if (arg == "--log") {
            if (!value(v) || v.empty())
                return fail("option --log needs a file name");
            o.logPath = v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + Quoted(args[i]));
        } else {
            if (haveInput)
                return fail("unexpected argument " + Quoted(arg) + ": give one FILE or -");
            o.input = arg;
            haveInput = true;
        }
    }
    if (!haveInput)
        return fail("missing FILE (or - for standard input)");
    if (o.clock && !PurgeInstant(o, *o.clock))
        return fail("bad --purge-after value " + Quoted(purgeText) +
                    ": the purge would fall outside the clock's reach, " + kClockReach);
    return ParsedReplayOptions{o, {}};
}

} // namespace telvorn::app
