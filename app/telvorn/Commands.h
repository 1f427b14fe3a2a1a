#pragma once

#include <string_view>

namespace telvorn::app {

// A sub-command of the `telvorn` executable: it gets the arguments after its
// own name and returns the process exit code (0 success, 1 unreadable input,
// 2 bad usage).
using CommandFunction = int (*)(int argc, char** argv);

struct Command {
    std::string_view name;
    std::string_view summary;
    CommandFunction run;
};

int RunReplay(int argc, char** argv);
int RunCrc(int argc, char** argv);
int RunCpr(int argc, char** argv);
int RunMonitor(int argc, char** argv);
// The desktop program; it takes the whole command line, program name included.
int RunWindow(int argc, char** argv);

} // namespace telvorn::app
