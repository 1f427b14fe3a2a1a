#include "receiver/ReceiveHandler.h"

#include "table/Common.h"

namespace telvorn {

namespace {

constexpr std::string_view kMarkers = "*+-!";

} // namespace

ReceiveHandler::ReceiveHandler(LineConsumer decode, StatusPanels& panels, MainState& state, const Clock& clock)
    : decode_(std::move(decode)), panels_(panels), state_(state), clock_(clock)
{
}

std::string_view ReceiveHandler::FrameText(std::string_view rawLine)
{
    if (!rawLine.empty() && rawLine.back() == '\n')
        rawLine.remove_suffix(1);
    if (!rawLine.empty() && rawLine.back() == '\r')
        rawLine.remove_suffix(1);
    return rawLine.substr(0, rawLine.find(';'));
}

void ReceiveHandler::MSComm_OnComm(int eventCode, std::string_view received)
{
    if (eventCode == comEventRxOver) {
        // Text after the gap must not pass as the rest of a line whose
        // start was found before it: look for a fresh marker.
        rxBuffer_.clear();
        rxState_ = 0;
        searched_ = 0;
        return;
    }
    if (eventCode != comEvReceive)
        return;

    rxBuffer_.append(received);
    std::size_t head = 0;
    // Where the search for the line feed goes on: past what earlier events
    // searched already, so a line that arrives a byte at a time is scanned
    // once rather than from its start at every event.
    std::size_t searchFrom = rxState_ == 1 ? searched_ : 0;
    bool logged = false;
    for (;;) {
        if (rxState_ == 0) {
            WriteUTCStamp(clock_, state_.FrameTime);
            const std::size_t marker = rxBuffer_.find_first_of(kMarkers, head);
            bytesExamined_ += (marker == std::string::npos ? rxBuffer_.size() : marker + 1) - head;
            if (marker == std::string::npos) {
                // Nothing here can ever start a line.
                head = rxBuffer_.size();
                break;
            }
            head = marker;
            searchFrom = marker;
            rxState_ = 1;
        }
        const std::size_t lineFeed = rxBuffer_.find('\n', searchFrom);
        bytesExamined_ += (lineFeed == std::string::npos ? rxBuffer_.size() : lineFeed + 1) - searchFrom;
        if (lineFeed == std::string::npos) {
            if (rxBuffer_.size() - head > kMaxPartialLine) {
                head = rxBuffer_.size();
                rxState_ = 0;
            }
            break;
        }
        const std::string_view rawLine(rxBuffer_.data() + head, lineFeed + 1 - head);
        if (state_.LogFlag && log_) {
            log_->write(rawLine);
            logged = true;
        }
        const std::string_view frame = FrameText(rawLine);
        head = lineFeed + 1;
        rxState_ = 0;
        decode_(frame);
        panels_.increment(Panel::All);
    }
    rxBuffer_.erase(0, head);
    // A partial line left in the buffer holds no line feed anywhere.
    searched_ = rxState_ == 1 ? rxBuffer_.size() : 0;
    if (logged)
        log_->flush();
}

} // namespace telvorn
