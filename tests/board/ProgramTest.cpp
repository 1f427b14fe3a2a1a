// The telvorn-board program as a script starts it.

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SerialClient.h"

namespace {

using namespace std::chrono_literals;

struct Child {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

Child Start(std::vector<std::string> args)
{
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (const int fd : {out[0], out[1], err[0], err[1]})
            ::close(fd);
        std::vector<char*> argv{const_cast<char*>("telvorn-board")};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(TELVORN_BOARD_EXE, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    return {pid, out[0], err[0]};
}

// Reads from `fd` until a line feed or the end, waiting at most `limit`.
std::string ReadLine(int fd, std::chrono::milliseconds limit)
{
    std::string text;
    const auto until = std::chrono::steady_clock::now() + limit;
    char c = 0;
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        if (::read(fd, &c, 1) != 1 || c == '\n')
            break;
        text += c;
    }
    return text;
}

int ExitStatus(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(TelvornBoardProgram, PrintsItsDeviceFirstAndStopsCleanlyOnSignal)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const Child run = Start({"--seed", "1", "--rate", "200"});
        ASSERT_GT(run.pid, 0);
        const std::string path = ReadLine(run.out, 5s);
        EXPECT_TRUE(path.starts_with("/dev/pts/")) << path;
        {
            telvorn::test::SerialClient client(path);
            EXPECT_NE(client.sync().find("ADSB 2.8"), std::string::npos);
        }
        ::kill(run.pid, signal);
        EXPECT_EQ(ExitStatus(run.pid), 0);
        ::close(run.out);
        ::close(run.err);
    }
}

TEST(TelvornBoardProgram, RefusesABadOptionWithAReason)
{
    const Child run = Start({"--rate", "fast"});
    ASSERT_GT(run.pid, 0);
    EXPECT_EQ(ReadLine(run.out, 5s), "");
    EXPECT_NE(ReadLine(run.err, 5s).find("--rate needs a number"), std::string::npos);
    EXPECT_EQ(ExitStatus(run.pid), 2);
    ::close(run.out);
    ::close(run.err);
}

} // namespace
