#include "CprEncoder.h"

#include <cmath>
#include <numbers>

namespace telvorn::board {

namespace {

constexpr double kFieldScale = 131072.0; // 2^17
constexpr int kLatZones = 15;            // NZ: latitude zones between equator and pole

double FloorMod(double x, double y)
{
    return x - y * std::floor(x / y);
}

CprCode Encode(GeoPoint position, bool odd, double span)
{
    const int i = odd ? 1 : 0;
    const double dLat = span / (4 * kLatZones - i);
    const double yzFull = std::floor(kFieldScale * FloorMod(position.lat, dLat) / dLat + 0.5);
    // The zone grid point the receiver will reconstruct: its zone count, not the
    // raw latitude's, decides the longitude zones.
    const double rLat = dLat * (yzFull / kFieldScale + std::floor(position.lat / dLat));
    const int zones = CprNL(rLat) - i;
    const double dLon = zones > 0 ? span / zones : span;
    const double xzFull = std::floor(kFieldScale * FloorMod(position.lon, dLon) / dLon + 0.5);
    const double rLon = dLon * (xzFull / kFieldScale + std::floor(position.lon / dLon));

    CprCode code;
    code.yz = std::uint32_t(std::int64_t(yzFull)) & 0x1FFFFu;
    code.xz = std::uint32_t(std::int64_t(xzFull)) & 0x1FFFFu;
    code.decoded = {rLat, NormalizeLongitude(rLon)};
    return code;
}

} // namespace

int CprNL(double lat)
{
    const double a = std::fabs(lat);
    if (a == 0.0)
        return 59;
    if (a == 87.0)
        return 2;
    if (a > 87.0)
        return 1;
    const double pi = std::numbers::pi;
    const double numerator = 1.0 - std::cos(pi / (2.0 * kLatZones));
    const double cosLat = std::cos(pi / 180.0 * a);
    return int(std::floor(2.0 * pi / std::acos(1.0 - numerator / (cosLat * cosLat))));
}

CprCode EncodeAirborneCpr(GeoPoint position, bool odd)
{
    return Encode(position, odd, 360.0);
}

CprCode EncodeSurfaceCpr(GeoPoint position, bool odd)
{
    return Encode(position, odd, 90.0);
}

} // namespace telvorn::board
