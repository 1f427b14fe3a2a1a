#pragma once

#include <cstdint>

#include "Geo.h"

namespace telvorn::board {

// Compact Position Reporting as the transponder encodes it: 17-bit latitude
// and longitude fractions of a zone, with even (flag 0) and odd (flag 1)
// zone sets. Airborne zones span 360 degrees, surface zones 90 degrees; the
// surface fields are the low 17 bits of the finer surface encoding.
struct CprCode {
    std::uint32_t yz = 0;
    std::uint32_t xz = 0;
    // The position a receiver recovers from this code: the input quantised to
    // the zone grid, longitude in [-180, 180).
    GeoPoint decoded;
};

// Number of longitude zones at a latitude (1-59), with the full-precision
// transition latitudes of the standard.
int CprNL(double lat);

CprCode EncodeAirborneCpr(GeoPoint position, bool odd);
CprCode EncodeSurfaceCpr(GeoPoint position, bool odd);

} // namespace telvorn::board
