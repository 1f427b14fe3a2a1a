#pragma once

namespace telvorn::board {

// Spherical-earth geometry in degrees and nautical miles. A sphere is close
// enough for placing traffic and for the board's distance and bearing fields.
struct GeoPoint {
    double lat = 0.0;
    double lon = 0.0;
};

inline constexpr double kEarthRadiusNm = 3440.065;

// The point reached by going distanceNm along the great circle that leaves
// `from` with the given true bearing.
GeoPoint Destination(GeoPoint from, double bearingDeg, double distanceNm);
double DistanceNm(GeoPoint from, GeoPoint to);
// True bearing from `from` to `to`, in [0, 360).
double BearingDeg(GeoPoint from, GeoPoint to);
// Longitude brought into [-180, 180).
double NormalizeLongitude(double lon);
// Angle brought into [0, 360).
double NormalizeDegrees(double angle);

} // namespace telvorn::board
