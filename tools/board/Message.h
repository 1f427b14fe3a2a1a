#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "FrameEncoder.h"
#include "Geo.h"

namespace telvorn::board {

// What one output line carries, before the board's output options shape it.
enum class LineKind {
    Record,       // "+": values the board decoded from the frame
    Frame,        // "*": a good frame the board passes on without a record
    DamagedFrame, // "-": a frame whose parity failed
    Alert,        // "!": an emergency state
};

struct PositionReport {
    bool odd = false;
    std::uint32_t yz = 0;
    std::uint32_t xz = 0;
    bool surface = false;
    // The position a receiver decodes from the fields.
    GeoPoint decoded;
};

// A record's values are those a receiver reads back from its frame: altitude
// in 25 ft steps, vertical rate in 64 ft/min steps, heading in 360/1024
// degree steps, velocities in whole knots.
struct Message {
    LineKind kind = LineKind::Record;
    ModeSFrame frame;
    int df = 0;
    std::uint32_t address = 0;

    std::optional<std::string> callsign; // with the category
    std::string category;
    std::optional<PositionReport> position;
    std::optional<int> altitude; // feet
    bool onGround = false;       // reported as "@" in place of the altitude
    std::optional<int> squawk;
    std::optional<int> verticalRate; // ft/min, climbing positive
    std::optional<int> eastVelocity; // knots, east positive
    std::optional<int> northVelocity; // knots, north positive
    std::optional<double> heading;   // degrees
    std::optional<int> airspeed;     // knots

    int alertCode = 0;
    char alertSource = 'S'; // 'S' from the squawk, 'M' from a Mode S message

    // Where the aircraft really was when it sent the frame.
    GeoPoint truePosition;
};

} // namespace telvorn::board
