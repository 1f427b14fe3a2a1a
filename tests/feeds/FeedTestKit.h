#pragma once

#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "TextFields.h"
#include "feeds/FeedHub.h"

namespace telvorn::test {

// A sink that keeps what it is offered, up to an optional capacity.
struct CaptureSink final : FeedSink {
    std::string bytes;
    std::size_t capacity = std::string::npos;
    int offers = 0;

    bool offer(std::string_view more) override
    {
        ++offers;
        if (bytes.size() + more.size() > capacity)
            return false;
        bytes += more;
        return true;
    }

    // The CR LF lines received, without their CR LF; a line without one is a fault.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out = Split(bytes, '\n');
        for (std::string& line : out)
            line = line.ends_with('\r') ? line.substr(0, line.size() - 1) : "<unterminated> " + line;
        if (out.back() == "<unterminated> ")
            out.pop_back(); // nothing after the last line feed
        return out;
    }
};

// The process's time zone from now on, as a POSIX TZ text ("JST-9"), which
// needs no time zone database. Every test that reads local time sets it.
inline void SetTimeZone(const char* zone)
{
    ::setenv("TZ", zone, 1);
    ::tzset();
}

} // namespace telvorn::test
