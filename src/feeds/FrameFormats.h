#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvorn {

// One Mode S downlink frame as bytes: 7 for a 56-bit frame, 14 for a
// 112-bit one.
struct ModeSFrame {
    std::array<std::uint8_t, 14> bytes{};
    std::size_t size = 0;
};

// Field 0 of a record when the board's raw-frame output is on: the frame as
// 14 or 28 hexadecimal digits, either case. Anything else (a partial frame,
// stray characters) gives nothing, so no malformed frame reaches a decoder.
std::optional<ModeSFrame> ParseFrameHex(std::string_view text);

// AVR text, as decoders serve it on their raw port: "*", the frame in
// upper-case hexadecimal, ";", CR LF.
void AppendAvr(const ModeSFrame& frame, std::string& out);

// The Beast binary format: 0x1A, the type ('2' for 56 bits, '3' for 112),
// a 6-byte big-endian timestamp, one signal-level byte, then the frame.
// Every 0x1A after the first byte is sent twice, so a reader can always find
// the start of the next message.
void AppendBeast(const ModeSFrame& frame, std::uint64_t timestamp, std::uint8_t signal, std::string& out);

// Beast timestamps count a 12 MHz clock; ours counts from UTC midnight.
constexpr std::uint64_t BeastTimestamp(long msOfDay)
{
    return std::uint64_t(msOfDay) * 12'000u;
}

} // namespace telvorn
