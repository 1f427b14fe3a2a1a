#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sstream>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "TextFields.h"

namespace telvorn::test {

using namespace std::chrono_literals;

// The host's end of a serial line in raw mode, or any descriptor to read (a
// pipe, a pseudo-terminal master). Every wait is bounded; a bound that runs
// out returns what arrived, for the test to judge.
class SerialClient {
public:
    explicit SerialClient(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        termios t{};
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    explicit SerialClient(int fd) : fd_(fd) {}
    ~SerialClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SerialClient(const SerialClient&) = delete;
    SerialClient& operator=(const SerialClient&) = delete;

    bool hungUp() const { return hungUp_; }

    void write(std::string_view bytes)
    {
        while (!bytes.empty() && fd_ >= 0) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n > 0)
                bytes.remove_prefix(std::size_t(n));
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
        }
    }

    // Reads until `done` holds for what came, the line hangs up, or `limit` runs out.
    std::string read(std::chrono::milliseconds limit, const std::function<bool(const std::string&)>& done = {})
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        std::string received;
        while (!hungUp_ && !(done && done(received))) {
            const auto left = until - std::chrono::steady_clock::now();
            pollfd p{fd_, POLLIN, 0};
            if (left <= 0ms)
                break;
            if (::poll(&p, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(left).count())) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, std::size_t(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                hungUp_ = true;
        }
        return received;
    }

    // `count` complete lines without their line feeds, skipping a partial first one.
    std::vector<std::string> readLines(std::size_t count)
    {
        const auto enough = [count](const std::string& t) { return std::size_t(std::ranges::count(t, '\n')) > count; };
        std::istringstream text(read(5s, enough));
        std::vector<std::string> lines;
        std::string line;
        std::getline(text, line);
        while (lines.size() < count && std::getline(text, line) && !text.eof())
            lines.push_back(line);
        return lines;
    }

    // Writes "p" and waits for the position reply: every command written before has been obeyed.
    std::string sync()
    {
        write("p");
        return read(3s, [](const std::string& t) {
            const std::size_t bar = t.find('|');
            return bar != std::string::npos && t.find(';', bar) != std::string::npos;
        });
    }

private:
    int fd_ = -1;
    bool hungUp_ = false;
};

// Digits after the decimal point.
inline std::size_t Decimals(const std::string& number)
{
    const std::size_t point = number.find('.');
    return point == std::string::npos ? 0 : number.size() - point - 1;
}

// The host's reading of a "p" reply "|lat,lon;": each number floored at 0.00001 degree.
inline std::pair<std::int32_t, std::int32_t> ReadPositionReply(const std::string& reply)
{
    const std::size_t comma = reply.find(',');
    const auto units = [](const std::string& text) {
        return std::int32_t(std::floor(std::strtod(text.c_str(), nullptr) * 100000.0));
    };
    return {units(reply.substr(1, comma - 1)), units(reply.substr(comma + 1, reply.find(';') - comma - 1))};
}

} // namespace telvorn::test
