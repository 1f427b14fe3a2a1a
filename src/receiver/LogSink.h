#pragma once

#include <string_view>

namespace telvorn {

// Where received lines go when logging is on. A failed write is reported
// and otherwise ignored: decoding goes on whatever the disk does.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual bool write(std::string_view bytes) = 0;
    // Called once per receive event, so a run left for hours keeps its log on disk.
    virtual void flush() {}
};

} // namespace telvorn
