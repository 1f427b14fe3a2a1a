// telvorn-board: the receiver board emulator as a program of its own.

#include <csignal>
#include <cstdio>
#include <exception>
#include <pthread.h>
#include <string>
#include <string_view>
#include <vector>

#include "BoardOptions.h"
#include "BoardServer.h"

using telvorn::board::BoardOptions;
using telvorn::board::BoardServer;

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    BoardOptions options;
    try {
        bool help = false;
        options = telvorn::board::ParseBoardOptions(args, help);
        if (help) {
            std::fputs(telvorn::board::BoardUsage().c_str(), stdout);
            return 0;
        }
    } catch (const telvorn::board::OptionError& error) {
        std::fprintf(stderr, "telvorn-board: %s\n", error.what());
        return 2;
    }

    // The signals are taken synchronously below; blocked here, before the
    // server's thread exists, they never interrupt it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    BoardServer server(options);
    bool first = true;
    server.setDeviceListener([&first](const std::string& path) {
        // The first line of standard output is the device path, for scripts;
        // later reappearances are news for whoever watches.
        if (first) {
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
            first = false;
        } else {
            std::fprintf(stderr, "telvorn-board: device back on %s\n", path.c_str());
        }
    });
    try {
        server.start();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "telvorn-board: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "telvorn-board: serving with seed %llu\n",
                 static_cast<unsigned long long>(server.seed()));

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}
