#include "BoardCommands.h"

#include "PositionCode.h"
#include "text/NumberText.h"

namespace telvorn::board {

namespace {

constexpr char kXon = 17;
constexpr char kXoff = 19;
constexpr std::int32_t kMaxLatitudeUnits = 90 * 100000;
constexpr std::int32_t kMaxLongitudeUnits = 180 * 100000;

} // namespace

BoardCommands::BoardCommands(FirmwareIdentity firmware, BoardState initial)
    : firmware_(std::move(firmware)), state_(initial)
{
}

std::string BoardCommands::feed(std::string_view bytes, TimePoint now)
{
    std::string reply;
    for (const char c : bytes) {
        // Flow control acts wherever it arrives, also between position digits.
        if (c == kXoff) {
            state_.held = true;
            continue;
        }
        if (c == kXon) {
            state_.held = false;
            continue;
        }
        if (collecting_ && takeDigit(c, now))
            continue;
        execute(c, now, reply);
    }
    return reply;
}

void BoardCommands::powerCycle()
{
    BoardState fresh;
    fresh.latitudeUnits = state_.latitudeUnits;
    fresh.longitudeUnits = state_.longitudeUnits;
    state_ = fresh;
    collecting_ = false;
    digits_.clear();
}

bool BoardCommands::takeDigit(char c, TimePoint now)
{
    // Hex digits overlap the commands "0", "d" and "D": while a position is
    // coming they are digits. Anything else, or a long pause, abandons it.
    if (now - lastDigit_ > kDigitTimeout || HexDigitValue(c) < 0) {
        collecting_ = false;
        return false;
    }
    digits_ += c;
    lastDigit_ = now;
    if (digits_.size() == 16) {
        collecting_ = false;
        storePosition();
    }
    return true;
}

void BoardCommands::storePosition()
{
    const auto lat = PositionFromHex(std::string_view(digits_).substr(0, 8));
    const auto lon = PositionFromHex(std::string_view(digits_).substr(8, 8));
    // A position off the globe is refused and the old one kept.
    if (!lat || !lon || *lat < -kMaxLatitudeUnits || *lat > kMaxLatitudeUnits || *lon < -kMaxLongitudeUnits ||
        *lon > kMaxLongitudeUnits)
        return;
    state_.latitudeUnits = *lat;
    state_.longitudeUnits = *lon;
}

void BoardCommands::execute(char command, TimePoint now, std::string& reply)
{
    switch (command) {
    case 'w': state_.rawFrames = true; break;
    case 'W': state_.rawFrames = false; break;
    case 'd': state_.distance = true; break;
    case 'D': state_.distance = false; break;
    case 'l': state_.rawPosition = false; break;
    case 'L': state_.rawPosition = true; break;
    case '?':
        if (!firmware_.mute)
            reply += VersionReply(firmware_);
        break;
    case 'p': reply += PositionReply(state_); break;
    case 'P':
        collecting_ = true;
        digits_.clear();
        lastDigit_ = now;
        break;
    default:
        // "x", "0" and anything unknown: accepted without effect.
        break;
    }
}

std::string BoardCommands::VersionReply(const FirmwareIdentity& firmware)
{
    std::string reply = "ADSB " + firmware.version + " Telvorn board emulator\r\n";
    if (firmware.testMode)
        reply += "RYRY\r\n";
    return reply;
}

std::string BoardCommands::PositionReply(const BoardState& state)
{
    return "|" + PositionText(state.latitudeUnits) + "," + PositionText(state.longitudeUnits) + ";";
}

} // namespace telvorn::board
