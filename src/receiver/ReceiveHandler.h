#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "receiver/LogSink.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

namespace telvorn {

// Event codes of the serial port that matter to the receive handler.
enum CommEventCode : int {
    comEvReceive = 2,
    comEventRxOver = 1006,
};

// Cuts the received byte stream into lines. A line starts at the earliest
// marker ("*", "+", "-", "!") and ends at its line feed; each complete line
// is logged as received, stripped of its terminator, handed to the decoder
// and counted in the "ALL" panel. Every complete line of an event is handed
// on before the event returns; only an incomplete tail waits.
class ReceiveHandler {
public:
    using LineConsumer = std::function<void(std::string_view frame)>;

    // A partial line longer than this is garbage (real lines are under 200
    // bytes); dropping it keeps a line-feed-less stream from growing the buffer.
    static constexpr std::size_t kMaxPartialLine = 64 * 1024;

    ReceiveHandler(LineConsumer decode, StatusPanels& panels, MainState& state, const Clock& clock);

    // The log gets lines only while the log flag is on.
    void setLog(LogSink* log) { log_ = log; }

    void MSComm_OnComm(int eventCode, std::string_view received);

    // The frame text of a raw line: less its line feed and a carriage return
    // before it, then cut before its first ";".
    static std::string_view FrameText(std::string_view rawLine);

    std::size_t buffered() const { return rxBuffer_.size(); }
    int rxState() const { return rxState_; }
    // Bytes the searches for markers and line feeds have looked at so far:
    // the framing's work, which must grow with the bytes received, not with
    // the number of events a long line arrives in.
    std::uint64_t bytesExamined() const { return bytesExamined_; }

private:
    LineConsumer decode_;
    StatusPanels& panels_;
    MainState& state_;
    const Clock& clock_;
    LogSink* log_ = nullptr;
    std::string rxBuffer_;
    // 0: looking for a line start; 1: the buffer begins with a marker.
    std::int16_t rxState_ = 0;
    // In state 1, the bytes at the buffer's start known to hold no line feed.
    std::size_t searched_ = 0;
    std::uint64_t bytesExamined_ = 0;
};

} // namespace telvorn
