#include "tracks/Geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace telvorn {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

} // namespace

GeoPoint Destination(GeoPoint from, double bearingDeg, double distanceNm)
{
    const double lat1 = from.lat * kRad;
    const double lon1 = from.lon * kRad;
    const double bearing = bearingDeg * kRad;
    const double angle = distanceNm / kEarthRadiusNm;
    const double sinLat2 =
        std::sin(lat1) * std::cos(angle) + std::cos(lat1) * std::sin(angle) * std::cos(bearing);
    const double lat2 = std::asin(std::clamp(sinLat2, -1.0, 1.0));
    const double lon2 = lon1 + std::atan2(std::sin(bearing) * std::sin(angle) * std::cos(lat1),
                                          std::cos(angle) - std::sin(lat1) * sinLat2);
    return {lat2 / kRad, NormalizeLongitude(lon2 / kRad)};
}

double DistanceNm(GeoPoint from, GeoPoint to)
{
    const double dLat = (to.lat - from.lat) * kRad;
    const double dLon = (to.lon - from.lon) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(from.lat * kRad) * std::cos(to.lat * kRad) * std::sin(dLon / 2) *
                         std::sin(dLon / 2);
    return 2.0 * kEarthRadiusNm * std::asin(std::min(1.0, std::sqrt(h)));
}

double BearingDeg(GeoPoint from, GeoPoint to)
{
    const double lat1 = from.lat * kRad;
    const double lat2 = to.lat * kRad;
    const double dLon = (to.lon - from.lon) * kRad;
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    return NormalizeDegrees(std::atan2(y, x) / kRad);
}

double NormalizeLongitude(double lon)
{
    const double wrapped = lon - 360.0 * std::floor((lon + 180.0) / 360.0);
    return wrapped >= 180.0 ? wrapped - 360.0 : wrapped;
}

double NormalizeDegrees(double angle)
{
    const double wrapped = angle - 360.0 * std::floor(angle / 360.0);
    return wrapped >= 360.0 ? 0.0 : wrapped;
}

bool IsOnEarth(GeoPoint point)
{
    return std::isfinite(point.lat) && std::isfinite(point.lon) && std::abs(point.lat) <= 90.0 &&
           std::abs(point.lon) <= 180.0;
}

} // namespace telvorn
