#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
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

// The process's time zone for the lifetime of the object, as a POSIX TZ
// text ("JST-9"), which needs no time zone database.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (previous_)
            ::setenv("TZ", previous_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

} // namespace telvorn::test
