#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace telvorn::test {

// The host's end of a serial line, as a program opens it: raw mode, no
// flow-control interception. Every wait is bounded; a bound that runs out
// returns what arrived, for the test to judge.
class SerialClient {
public:
    explicit SerialClient(const std::string& path);
    // Adopts an open descriptor (the master side of a test's own pseudo-terminal).
    explicit SerialClient(int fd);
    ~SerialClient();
    SerialClient(const SerialClient&) = delete;
    SerialClient& operator=(const SerialClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void write(std::string_view bytes);
    // Writes one byte at a time with a pause after each, as the host sends a position.
    void writeSlowly(std::string_view bytes, std::chrono::milliseconds pause);
    // Drops whatever was received and not read.
    void flushInput();

    std::string readFor(std::chrono::milliseconds window);
    std::string readUntil(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds limit);
    // Reads until nothing arrives for `quiet`, at most `limit`; returns what came.
    std::string drain(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);
    // Complete lines from a marker to a line feed, skipping a partial first one.
    std::vector<std::string> readLines(std::size_t count, std::chrono::milliseconds limit);
    // Whether the line went away (the device was unplugged) within `limit`.
    bool waitForHangup(std::chrono::milliseconds limit);

    // Writes "?" and waits for the reply: once it is in, every command
    // written before has been obeyed.
    std::string sync();

private:
    int fd_ = -1;
    bool hungUp_ = false;
};

} // namespace telvorn::test
