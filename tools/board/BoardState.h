#pragma once

#include <cstdint>

#include "Geo.h"

namespace telvorn::board {

// What the board's commands set. A fresh board sends decoded positions
// without raw frames or distances, flows freely, and keeps its stored
// position across runs (here: from the options).
struct BoardState {
    bool held = false;        // XOFF received and no XON since
    bool rawFrames = false;   // "w": frame text in field 0
    bool distance = false;    // "d": distance (NM) and bearing (degrees) in fields 7 and 8
    bool rawPosition = false; // "L": CPR flag and fields instead of a decoded position;
                              // takes precedence over "d", whose distance needs a decode

    // Stored receiver position in units of 0.00001 degree: floor(degrees × 100000).
    std::int32_t latitudeUnits = 4872171;
    std::int32_t longitudeUnits = 237403;

    GeoPoint station() const { return {latitudeUnits / 100000.0, longitudeUnits / 100000.0}; }
};

} // namespace telvorn::board
