#pragma once

#include "tracks/Geo.h"

namespace telvorn::board {

// The board places its traffic on the same sphere as the program reads it.
using telvorn::BearingDeg;
using telvorn::Destination;
using telvorn::DistanceNm;
using telvorn::GeoPoint;
using telvorn::kEarthRadiusNm;
using telvorn::NormalizeDegrees;
using telvorn::NormalizeLongitude;

} // namespace telvorn::board
