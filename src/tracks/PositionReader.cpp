#include "tracks/PositionReader.h"

#include <cmath>
#include <numbers>

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr double kFarthestNm = std::numbers::pi * kEarthRadiusNm;

std::optional<double> Finite(const std::string& text)
{
    const std::optional<double> value = ParseLeadingNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<GeoPoint> PositionReader::read(const MainState& state)
{
    if (state.PosLat[1].empty() || state.PosLon[1].empty())
        return std::nullopt;
    const std::optional<double> first = Finite(state.PosLat[1]);
    const std::optional<double> second = Finite(state.PosLon[1]);
    if (!first || !second)
        return std::nullopt;
    // The board sends raw fields in raw output whatever the distance flag says.
    if (state.DstFlag && !state.RawMode) {
        const double distance = *first;
        const double bearing = *second;
        if (distance < 0.0 || distance > kFarthestNm || bearing < 0.0 || bearing > 360.0)
            return std::nullopt;
        const std::optional<GeoPoint> from = receiver(state);
        if (!from)
            return std::nullopt;
        return Destination(*from, bearing, distance);
    }
    GeoPoint point{*first, *second};
    // A local decode lies within half a zone of the reference, which can
    // take it past the antimeridian.
    if (state.RawMode)
        point.lon = NormalizeLongitude(point.lon);
    if (!IsOnEarth(point))
        return std::nullopt;
    return point;
}

std::optional<GeoPoint> PositionReader::receiver(const MainState& state)
{
    if (!parsed_ || latText_ != state.PosLat[0] || lonText_ != state.PosLon[0]) {
        latText_ = state.PosLat[0];
        lonText_ = state.PosLon[0];
        parsed_ = true;
        const GeoPoint point{LeadingNumber(latText_), LeadingNumber(lonText_)};
        receiver_ = IsOnEarth(point) ? std::optional<GeoPoint>(point) : std::nullopt;
    }
    return receiver_;
}

} // namespace telvorn
