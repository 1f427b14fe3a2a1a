#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "ReplayOptions.h"
#include "ReplayOutput.h"
#include "platform/Clock.h"
#include "receiver/ReceiveChain.h"

namespace telvorn::app {

namespace {

constexpr const char* kUsage =
    "usage: telvorn replay [--raw-mode] [--dst] [--sort N] [--ref LAT,LON] [--clock ISO8601Z]\n"
    "                      [--chunk BYTES] [--purge-after SECONDS] [--log FILE] [--table] FILE|-\n";

struct InputFile {
    std::FILE* file = nullptr;
    bool owned = false;
    ~InputFile()
    {
        if (owned && file)
            std::fclose(file);
    }
};

} // namespace

int RunReplay(int argc, char** argv)
{
    const std::vector<std::string> args(argv, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    const ParsedReplayOptions parsed = ParseReplayOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "telvorn replay: %s\n", parsed.error.c_str());
        return 2;
    }
    const ReplayOptions& o = *parsed.options;

    InputFile input;
    if (o.input == "-") {
        input.file = stdin;
    } else {
        input.file = std::fopen(o.input.c_str(), "rb");
        input.owned = true;
        if (!input.file) {
            std::fprintf(stderr, "telvorn replay: cannot read '%s': %s\n", o.input.c_str(), std::strerror(errno));
            return 1;
        }
    }

    std::unique_ptr<Clock> clock;
    if (o.clock)
        clock = std::make_unique<FrozenClock>(*o.clock);
    else
        clock = std::make_unique<SystemClock>();

    ReceiveChain chain(*clock);
    MainState& state = chain.state();
    state.RawMode = o.rawMode;
    state.DstFlag = o.distanceFlag;
    state.SortColumn = std::int16_t(o.sortColumn);
    state.PosLat[0] = o.refLatText;
    state.PosLon[0] = o.refLonText;
    chain.SetupColumns();
    chain.applyReference();

    if (o.logPath) {
        state.LogFlag = true;
        if (!chain.log().open(*o.logPath)) {
            std::fprintf(stderr, "telvorn replay: cannot write log '%s': %s\n", o.logPath->c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    std::vector<char> chunk(o.chunkBytes);
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), input.file);
        if (got > 0)
            chain.received(std::string_view(chunk.data(), got));
        if (got < chunk.size()) {
            if (std::ferror(input.file)) {
                std::fprintf(stderr, "telvorn replay: read error on '%s': %s\n", o.input.c_str(),
                             std::strerror(errno));
                return 1;
            }
            if (std::feof(input.file))
                break;
        }
    }
    chain.log().close();

    if (o.purgeAfterSeconds) {
        const auto purgeAt = PurgeInstant(o, std::chrono::system_clock::now());
        if (!purgeAt) {
            std::fprintf(stderr, "telvorn replay: the purge would fall beyond the clock's reach (2262)\n");
            return 2;
        }
        chain.TimerClean_Timer(FrozenClock(*purgeAt));
    }

    const std::string out = o.tableOutput ? ReplayText(chain.panels(), chain.table(), state)
                                          : ReplayJson(chain.panels(), chain.table(), state, chain.tracker());
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace telvorn::app
