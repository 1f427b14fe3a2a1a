#include "SerialClient.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace telvorn::test {

namespace {

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

} // namespace

SerialClient::SerialClient(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    termios t{};
    if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
    }
}

SerialClient::SerialClient(int fd) : fd_(fd) {}

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

void SerialClient::writeSlowly(std::string_view bytes, std::chrono::milliseconds pause)
{
    for (const char c : bytes) {
        write(std::string_view(&c, 1));
        std::this_thread::sleep_for(pause);
    }
}

void SerialClient::flushInput()
{
    tcflush(fd_, TCIFLUSH);
}

std::string SerialClient::readUntil(const std::function<bool(const std::string&)>& done,
                                    std::chrono::milliseconds limit)
{
    std::string received;
    const auto until = Clock::now() + limit;
    while (!hungUp_ && !done(received)) {
        pollfd p{fd_, POLLIN, 0};
        const int left = Remaining(until);
        if (::poll(&p, 1, left) <= 0 && left == 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, std::size_t(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            hungUp_ = true;
        if (Remaining(until) == 0)
            break;
    }
    return received;
}

std::string SerialClient::readFor(std::chrono::milliseconds window)
{
    return readUntil([](const std::string&) { return false; }, window);
}

std::string SerialClient::drain(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
{
    std::string received;
    const auto until = Clock::now() + limit;
    while (Remaining(until) > 0) {
        const std::string more = readFor(quiet);
        if (more.empty())
            break;
        received += more;
    }
    return received;
}

std::vector<std::string> SerialClient::readLines(std::size_t count, std::chrono::milliseconds limit)
{
    const auto complete = [count](const std::string& text) {
        std::size_t feeds = 0;
        for (const char c : text)
            feeds += c == '\n' ? 1 : 0;
        return feeds > count;
    };
    const std::string text = readUntil(complete, limit);
    std::vector<std::string> lines;
    std::size_t start = text.find('\n');
    while (start != std::string::npos && lines.size() < count) {
        const std::size_t end = text.find('\n', start + 1);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(start + 1, end - start));
        start = end;
    }
    return lines;
}

bool SerialClient::waitForHangup(std::chrono::milliseconds limit)
{
    readUntil([](const std::string&) { return false; }, limit);
    return hungUp_;
}

std::string SerialClient::sync()
{
    write("?");
    return readUntil([](const std::string& text) { return text.find("ADSB ") != std::string::npos &&
                                                          text.find('\n', text.find("ADSB ")) != std::string::npos; },
                     std::chrono::seconds(3));
}

} // namespace telvorn::test
