#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvorn::test {

// What a receiver reads out of one Mode S frame. Written for the tests from
// the published frame layouts, bit by bit in the standard's 1-based bit
// numbers, independently of the emulator's encoder.
struct ReadFrame {
    int df = -1; // -1: not 14 or 28 hex digits
    std::uint32_t address = 0; // the AA field, or recovered from the address parity
    std::string parityStatus;  // CRC_Calc's status, for formats with plain parity
    bool onGround = false;     // from CA, FS, VS or a surface position

    int typeCode = -1, subtype = -1;
    std::optional<std::string> callsign; // trailing blanks cut
    std::string category;                // "A3"
    std::optional<int> altitude;         // feet
    std::optional<int> cprFlag;
    std::uint32_t yz = 0, xz = 0;
    std::optional<int> squawk; // four octal digits as a decimal number
    std::optional<int> emergency;
    std::optional<int> east, north, verticalRate, airspeed; // knots, ft/min
    std::optional<double> heading;                           // degrees
};

ReadFrame ReadModeS(std::string_view hex);

// Every field read, as one line of text to compare in one go:
// "DF17 4840D6 OK TC4 KLM1023 A0", "DF4 3C6444 alt=12375", ...
std::string Describe(const ReadFrame& f);

} // namespace telvorn::test
