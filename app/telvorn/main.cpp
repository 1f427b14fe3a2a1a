#include <array>
#include <cstdio>
#include <string_view>

#include "Commands.h"

namespace {

using telvorn::app::Command;

constexpr std::array kCommands{
    Command{"replay", "replay a receiver log or byte stream into the aircraft table", telvorn::app::RunReplay},
    Command{"crc", "check the Mode S parity of hexadecimal frames", telvorn::app::RunCrc},
    Command{"cpr", "decode a CPR position against a reference position", telvorn::app::RunCpr},
    Command{"monitor", "run the receiver without a window and print its table", telvorn::app::RunMonitor},
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "usage: telvorn [--port DEVICE] [--demo]   the desktop program\n"
                      "       telvorn COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %-8.*s %.*s\n", int(command.name.size()), command.name.data(),
                     int(command.summary.size()), command.summary.data());
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view name = argc < 2 ? std::string_view() : std::string_view(argv[1]);
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    // No command, or options only: the window.
    if (name.empty() || name.front() == '-')
        return telvorn::app::RunWindow(argc, argv);
    for (const Command& command : kCommands)
        if (command.name == name)
            return command.run(argc - 2, argv + 2);
    std::fprintf(stderr, "telvorn: unknown command '%s' (try 'telvorn --help')\n", argv[1]);
    return 2;
}
