#include "BoardTestKit.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace telvorn::test {

SerialClient::SerialClient(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    termios t{};
    if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
    }
}

SerialClient::~SerialClient()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void SerialClient::write(std::string_view bytes)
{
    while (!bytes.empty() && fd_ >= 0) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0)
            bytes.remove_prefix(std::size_t(n));
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
    }
}

std::string SerialClient::read(std::chrono::milliseconds limit, const std::function<bool(const std::string&)>& done)
{
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + limit;
    std::string received;
    while (!hungUp_ && !(done && done(received))) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        pollfd p{fd_, POLLIN, 0};
        if (left <= 0)
            break;
        if (::poll(&p, 1, int(left)) <= 0)
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

std::vector<std::string> SerialClient::readLines(std::size_t count)
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

std::string SerialClient::sync()
{
    write("p");
    return read(3s, [](const std::string& t) {
        const std::size_t bar = t.find('|');
        return bar != std::string::npos && t.find(';', bar) != std::string::npos;
    });
}

std::size_t Decimals(const std::string& number)
{
    const std::size_t point = number.find('.');
    return point == std::string::npos ? 0 : number.size() - point - 1;
}

std::pair<std::int32_t, std::int32_t> ReadPositionReply(const std::string& reply)
{
    const std::size_t comma = reply.find(',');
    const auto units = [](const std::string& text) {
        return std::int32_t(std::floor(std::strtod(text.c_str(), nullptr) * 100000.0));
    };
    return {units(reply.substr(1, comma - 1)), units(reply.substr(comma + 1, reply.find(';') - comma - 1))};
}

} // namespace telvorn::test
