// The telvorn-board program as a script starts it.

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

#include "BoardTestKit.h"

namespace {

using telvorn::test::SerialClient;
using namespace std::chrono_literals;

// Runs the program; once it has printed its device, asks for the position on
// it and sends `signal`, unless that is 0. Returns what came on standard
// output, the first line of standard error, and the exit status (minus the
// signal that ended it).
std::tuple<std::string, std::string, int> RunProgram(std::vector<std::string> args, int signal)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        std::vector<char*> argv{const_cast<char*>("telvorn-board")};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(TELVORN_BOARD_EXE, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    SerialClient stdOut(out[0]);
    SerialClient stdErr(err[0]);
    const auto line = [](const std::string& t) { return t.find('\n') != std::string::npos; };
    std::string output = stdOut.read(5s, line);
    if (signal != 0) {
        output += SerialClient(output.substr(0, output.find('\n'))).sync();
        ::kill(pid, signal);
    }
    const std::string error = stdErr.read(5s, line);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {output, error, WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status)};
}

TEST(TelvornBoardProgram, PrintsItsDeviceFirstAndStopsCleanlyOnSignal)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        const auto [out, err, status] = RunProgram({"--seed", "1", "--rate", "200"}, signal);
        EXPECT_TRUE(out.starts_with("/dev/pts/")) << out;
        EXPECT_NE(out.find("\n|48.72171"), std::string::npos) << out;
        EXPECT_EQ(status, 0) << signal << err;
    }
}

TEST(TelvornBoardProgram, RefusesABadOptionWithAReason)
{
    const auto [out, err, status] = RunProgram({"--rate", "fast"}, 0);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("--rate needs a number"), std::string::npos) << err;
    EXPECT_EQ(status, 2);
}

} // namespace
