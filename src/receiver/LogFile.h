#pragma once

#include <cstdio>
#include <string>

#include "receiver/LogSink.h"

namespace telvorn {

// The raw-line log ("Output.txt"). Each opening starts a fresh file: the
// old content is cut off rather than left as a stale tail behind the new lines.
class LogFile final : public LogSink {
public:
    static constexpr const char* kFileName = "Output.txt";

    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile() override;

    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    bool write(std::string_view bytes) override;
    void flush() override;

    // What the system said at the first write or flush that failed since the
    // opening ("No space left on device"); empty while every one succeeded.
    const std::string& failure() const { return failure_; }

private:
    void failed();

    std::FILE* file_ = nullptr;
    std::string failure_;
};

} // namespace telvorn
