#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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
    explicit SerialClient(const std::string& path);
    explicit SerialClient(int fd) : fd_(fd) {}
    ~SerialClient();
    SerialClient(const SerialClient&) = delete;
    SerialClient& operator=(const SerialClient&) = delete;

    bool hungUp() const { return hungUp_; }
    void write(std::string_view bytes);
    // Reads until `done` holds for what came, the line hangs up, or `limit` runs out.
    std::string read(std::chrono::milliseconds limit, const std::function<bool(const std::string&)>& done = {});
    // `count` complete lines without their line feeds, skipping a partial first one.
    std::vector<std::string> readLines(std::size_t count);
    // Writes "p" and waits for the position reply: every command written before has been obeyed.
    std::string sync();

private:
    int fd_ = -1;
    bool hungUp_ = false;
};

// Digits after the decimal point.
std::size_t Decimals(const std::string& number);

// The host's reading of a "p" reply "|lat,lon;": each number floored at 0.00001 degree.
std::pair<std::int32_t, std::int32_t> ReadPositionReply(const std::string& reply);

} // namespace telvorn::test
