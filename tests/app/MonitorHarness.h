#pragma once

// `telvorn monitor` as a user runs it: the built program, in a folder of its
// own, against the board emulator's program on a pseudo-terminal.
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "TempFolder.h"

namespace telvorn::test {

struct Monitor {
    static constexpr int kSeed = 5;
    static constexpr int kRate = 300;

    TempFolder dir;
    std::filesystem::path device = dir.path() / "board";
    std::filesystem::path settings = dir.path() / "settings";
    pid_t board = -1;

    Monitor()
    {
        // Settings of this test only, never the user's.
        ::setenv("TELVORN_SETTINGS_DIR", settings.c_str(), 1);
    }
    ~Monitor()
    {
        if (board > 0) {
            ::kill(board, SIGTERM);
            ::waitpid(board, nullptr, 0);
        }
    }

    // Everything the board sends also goes to record.txt.
    void startBoard(const std::string& options = "")
    {
        using namespace std::chrono_literals;
        const std::string command = "exec " + std::string(TELVORN_BOARD_EXE) + " --seed " + std::to_string(kSeed) +
                                    " --rate " + std::to_string(kRate) + " --symlink " + device.string() +
                                    " --record " + path("record.txt") + " " + options + " >/dev/null 2>" +
                                    path("board-err.txt");
        board = ::fork();
        if (board == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 500 && !std::filesystem::exists(device); ++i)
            std::this_thread::sleep_for(10ms);
    }

    // The stored settings: the board's device, and `extra` lines of the store file.
    void storeSettings(const std::string& extra = "")
    {
        const std::filesystem::path maker = settings / "Orvalen Software";
        std::filesystem::create_directories(maker);
        std::ofstream(maker / "ADSB.conf") << "COM=number:1\nDevice=text:" << device.string() << "\n" << extra;
    }

    // Runs the monitor to its end; `then` runs in the shell beside it, with
    // the monitor's process id in $pid.
    int run(const std::string& args, const std::string& then = "")
    {
        std::string command = "cd " + dir.path().string() + " && exec " + TELVORN_BIN + " monitor " + args +
                              " >out.txt 2>err.txt";
        if (!then.empty())
            command = "(" + command + ") & pid=$!; " + then + "; wait $pid";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // A shell command for `then`: waits (up to ten minutes) until the
    // monitor has said `text` `times` times, then lets it run `grace`
    // seconds more and stops it as SIGTERM would.
    std::string stopAfter(const std::string& text, int times, double grace = 1.0) const
    {
        return "for i in $(seq 1 1200); do [ \"$(grep -c -F '" + text + "' " + path("err.txt") + ")\" -ge " +
               std::to_string(times) + " ] && break; sleep 0.5; done; sleep " + std::to_string(grace) +
               "; kill -TERM $pid";
    }

    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
    std::string out() const { return Read(dir.path() / "out.txt"); }
    std::string err() const { return Read(dir.path() / "err.txt"); }
};

} // namespace telvorn::test
