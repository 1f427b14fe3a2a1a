#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "BoardState.h"

namespace telvorn::board {

// What the board says about itself in reply to "?".
struct FirmwareIdentity {
    std::string version = "2.8";
    bool testMode = false; // the reply then also carries CR LF "RYRY"
    bool mute = false;     // never answer "?", as a board with broken firmware
};

// The board's command interpreter. Commands are single bytes with no line
// end: XOFF (19) and XON (17) hold and release the traffic; "w"/"W", "d"/"D"
// and "l"/"L" switch output options; "x" and "0" are accepted and change
// nothing the output shows; "?" and "p" answer at once; "P" takes sixteen
// hexadecimal digits (latitude, then longitude) and stores the position.
// Anything else is ignored.
//
// Replies are not held by XOFF: the host pauses the traffic precisely to
// read them undisturbed. A host whose serial driver does XON/XOFF flow
// control has its kernel send the same two bytes when its input fills and
// drains, and the board obeys them alike, so a slow reader loses nothing.
class BoardCommands {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // A "P" whose digits stop coming for this long is abandoned.
    static constexpr std::chrono::milliseconds kDigitTimeout{1000};

    BoardCommands(FirmwareIdentity firmware, BoardState initial);

    // Interprets what the host wrote; returns the reply bytes to send now.
    std::string feed(std::string_view bytes, TimePoint now);
    const BoardState& state() const { return state_; }
    // Back to the power-up output options, keeping the stored position.
    void powerCycle();

    static std::string VersionReply(const FirmwareIdentity& firmware);
    static std::string PositionReply(const BoardState& state);

private:
    void execute(char command, TimePoint now, std::string& reply);
    bool takeDigit(char c, TimePoint now);
    void storePosition();

    FirmwareIdentity firmware_;
    BoardState state_;
    bool collecting_ = false;
    std::string digits_;
    TimePoint lastDigit_{};
};

} // namespace telvorn::board
