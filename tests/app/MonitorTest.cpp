// `telvorn monitor` as a user runs it: the built program against the board
// emulator's program on a pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Monitor {
    telvorn::test::TempFolder dir;
    fs::path device = dir.path() / "board";
    pid_t board = -1;

    Monitor()
    {
        // Settings of this test only, never the user's.
        ::setenv("TELVORN_SETTINGS_DIR", (dir.path() / "settings").c_str(), 1);
    }
    ~Monitor()
    {
        if (board > 0) {
            ::kill(board, SIGTERM);
            ::waitpid(board, nullptr, 0);
        }
    }

    void startBoard(const std::string& options = "")
    {
        const std::string command = "exec " + std::string(TELVORN_BOARD_EXE) + " --seed 5 --rate 300 --symlink " +
                                    device.string() + " " + options + " >/dev/null 2>&1";
        board = ::fork();
        if (board == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 200 && !fs::exists(device); ++i)
            std::this_thread::sleep_for(10ms);
    }

    // Runs the monitor to its end; `then` runs in the shell beside it.
    int run(const std::string& args, const std::string& then = "")
    {
        std::string command = "cd " + dir.path().string() + " && " + TELVORN_BIN + " monitor " + args +
                              " >out.txt 2>err.txt";
        if (!then.empty())
            command = "(" + command + ") & pid=$!; " + then + "; wait $pid";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() const { return Read(dir.path() / "out.txt"); }
    std::string err() const { return Read(dir.path() / "err.txt"); }
};

TEST(Monitor, RefusesBadUseAndSaysHowToChooseAPort)
{
    Monitor m;
    EXPECT_EQ(m.run("--every 0"), 2);
    EXPECT_NE(m.err().find("--every"), std::string::npos);
    EXPECT_EQ(m.run("--bogus"), 2);
    EXPECT_EQ(m.run(""), 2) << "no stored port and no --port";
    EXPECT_NE(m.err().find("--port DEVICE"), std::string::npos) << m.err();
    EXPECT_EQ(m.run("--port " + m.device.string()), 1) << "nothing there to open";
    EXPECT_NE(m.err().find("Error on " + m.device.string() + " port. Verify this port is available."),
              std::string::npos)
        << m.err();
}

TEST(Monitor, RefusesAFirmwareTooOld)
{
    Monitor m;
    m.startBoard("--version 2.7");
    EXPECT_EQ(m.run("--port " + m.device.string()), 1);
    EXPECT_NE(m.err().find("Bad firmware version: 2.7 You need to update it."), std::string::npos) << m.err();
}

TEST(Monitor, PrintsTheTableOfTheStoredPortEverySecondsAndAtTheEnd)
{
    Monitor m;
    m.startBoard();
    const fs::path store = m.dir.path() / "settings" / "Orvalen Software";
    fs::create_directories(store);
    std::ofstream(store / "ADSB.conf") << "COM=number:1\nDevice=text:" << m.device.string() << "\n";

    EXPECT_EQ(m.run("--seconds 2.5 --every 1"), 0) << m.err();
    const std::string out = m.out();
    std::istringstream lines(out);
    std::string line, last;
    int objects = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(line.starts_with("{\"panels\": {")) << line.substr(0, 80);
        ++objects;
        last = line;
    }
    EXPECT_EQ(objects, 3) << "two reports and the one at exit";
    EXPECT_EQ(last.find("\"PRC\": \"0\""), std::string::npos) << "aircraft arrived";
    EXPECT_NE(m.err().find("ADSB 0.9.0 - Firmware 2.8"), std::string::npos) << m.err();
}

TEST(Monitor, EndsOnSigtermWithTheBoardResumedAndTheTablePrinted)
{
    Monitor m;
    m.startBoard();
    EXPECT_EQ(m.run("--port " + m.device.string() + " --table", "sleep 1.5; kill -TERM $pid"), 0) << m.err();
    const std::string out = m.out();
    EXPECT_NE(out.find("ICAO"), std::string::npos) << out.substr(0, 200);
    EXPECT_NE(out.find("Total Frame: "), std::string::npos);
    EXPECT_EQ(out.find("\x1b["), std::string::npos) << "no terminal, so no redrawing";
}

} // namespace
