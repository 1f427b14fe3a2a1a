#pragma once

// The built programs as a user or a script starts them: arguments, extra
// environment, a working folder, both outputs gathered as they come.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace telvorn::test {

using Args = std::vector<std::string>;

inline Args operator+(Args a, const Args& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Setting {
    Args env = {};        // NAME=VALUE, before the test's own, so that they win
    std::string cwd = {}; // empty: the test's
    std::string input = "/dev/null";
};

class Program {
public:
    std::string out, err;

    Program(const std::string& exe, Args args, const Setting& s = {})
    {
        // All the child needs is made here: between fork and exec the child
        // of a threaded parent may only make system calls.
        Args env = s.env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        args.insert(args.begin(), std::filesystem::path(exe).filename().string());
        std::vector<char*> argv, envp;
        for (std::string& a : args)
            argv.push_back(a.data());
        for (std::string& e : env)
            envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        int outPipe[2], errPipe[2];
        const int in = ::open(s.input.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (s.cwd.empty() || ::chdir(s.cwd.c_str()) == 0) {
                ::dup2(in, 0);
                ::dup2(outPipe[1], 1);
                ::dup2(errPipe[1], 2);
                ::execve(exe.c_str(), argv.data(), envp.data());
            }
            ::_exit(127);
        }
        for (int fd : {in, outPipe[1], errPipe[1]})
            ::close(fd);
        fds_[0].fd = outPipe[0];
        fds_[1].fd = errPipe[0];
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program()
    {
        signal(SIGKILL);
        finish();
    }

    // Takes what both outputs hold, waiting up to `wait` for something.
    void read(std::chrono::milliseconds wait = {})
    {
        if (::poll(fds_, 2, int(wait.count())) <= 0)
            return;
        for (pollfd& p : fds_) {
            if (p.revents == 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(p.fd, buffer, sizeof buffer);
            if (got > 0)
                (&p == fds_ ? out : err).append(buffer, std::size_t(got));
            else
                ::close(std::exchange(p.fd, -1));
        }
    }
    // Until both its outputs end, as they do when it ends.
    bool running() const { return fds_[0].fd >= 0 || fds_[1].fd >= 0; }
    // Gathers output until `done` holds or the program ends; the limit only
    // bounds a hang.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::minutes(1))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done() && running() && std::chrono::steady_clock::now() < end)
            read(std::chrono::milliseconds(50));
        return done();
    }
    // Lets it run, its output gathered.
    void runFor(std::chrono::milliseconds span)
    {
        waitUntil([] { return false; }, span);
    }
    void signal(int number) const
    {
        if (pid_ > 0 && status_ == kRunning)
            ::kill(pid_, number);
    }
    // Reads both outputs to their end; the exit code, or minus the signal
    // that ended it, 127 when it could not start.
    int finish(std::chrono::milliseconds limit = std::chrono::minutes(10))
    {
        if (pid_ > 0 && status_ == kRunning) {
            runFor(limit);
            signal(SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        }
        for (pollfd& p : fds_)
            if (p.fd >= 0)
                ::close(std::exchange(p.fd, -1));
        return pid_ > 0 ? status_ : 127;
    }

private:
    static constexpr int kRunning = -1000;
    pid_t pid_ = -1;
    pollfd fds_[2] = {{-1, POLLIN, 0}, {-1, POLLIN, 0}};
    int status_ = kRunning;
};

struct Ran {
    int status;
    std::string out, err;
};

inline Ran RunProgram(const std::string& exe, const Args& args, const Setting& s = {})
{
    Program p(exe, args, s);
    const int status = p.finish();
    return {status, p.out, p.err};
}

#ifdef TELVORN_BOARD_EXE
// telvorn-board on a pseudo-terminal that `device` names, once it has said
// it serves.
struct Board : Program {
    Board(const std::filesystem::path& device, const Args& options)
        : Program(TELVORN_BOARD_EXE, options + Args{"--symlink", device.string()})
    {
        waitUntil([this] { return out.find('\n') != std::string::npos; });
    }
    ~Board()
    {
        signal(SIGTERM);
        finish(std::chrono::seconds(10));
    }
};
#endif

} // namespace telvorn::test
