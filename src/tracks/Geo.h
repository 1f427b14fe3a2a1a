#pragma once

namespace telvorn {

// Spherical-earth geometry in degrees and nautical miles. A sphere is close
// enough for placing traffic, for the board's distance and bearing fields and
// for a scope; the board and the program use the same one, so a distance and
// bearing the board sends lead back to the point it measured.
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
// Finite, latitude within [-90, 90] and longitude within [-180, 180].
bool IsOnEarth(GeoPoint point);

} // namespace telvorn
