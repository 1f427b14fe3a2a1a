#pragma once

#include <string>

#include "BoardState.h"
#include "Message.h"

namespace telvorn::board {

// Writes a message as the board's output line, shaped by the output options
// in force: "+" records with 16 comma-separated fields, "*" and "-" frame
// lines, "!" alerts; each ends with ";", carriage return, line feed.
//
// Record fields: 0 frame (with "w"), 1 unused, 2 downlink format, 3 address
// (six hex digits), 4 call sign, 5 category ("A3"), 6 CPR flag, 7 and 8
// latitude and longitude in degrees with five decimals, or with "d" distance
// in nautical miles and true bearing in degrees with one decimal, or with "L"
// the 17-bit CPR latitude and longitude; 9 altitude in feet or "@" on the
// ground, 10 squawk, 11 vertical rate ft/min, 12 and 13 east and north
// velocity in knots, 14 heading in degrees (one decimal), 15 true airspeed
// in knots.
class LineFormatter {
public:
    static std::string Format(const Message& message, const BoardState& state);

private:
    static std::string Record(const Message& message, const BoardState& state);
};

} // namespace telvorn::board
