#include "tracks/ScopeProjection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace telvorn {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kSmallestRangeNm = 0.1;

double AtLeast(double value, double least)
{
    return std::isfinite(value) && value > least ? value : least;
}

} // namespace

ScopeProjection::ScopeProjection(GeoPoint receiver, double rangeNm, double widthPx, double heightPx)
    : receiver_(receiver), rangeNm_(AtLeast(rangeNm, kSmallestRangeNm))
{
    const double width = AtLeast(widthPx, 1.0);
    const double height = AtLeast(heightPx, 1.0);
    centre_ = {width / 2.0, height / 2.0};
    pixelsPerNm_ = std::min(width, height) / 2.0 / rangeNm_;
}

ScopePixel ScopeProjection::toPixel(GeoPoint point) const
{
    const double distance = DistanceNm(receiver_, point) * pixelsPerNm_;
    const double bearing = BearingDeg(receiver_, point) * kRad;
    return {centre_.x + distance * std::sin(bearing), centre_.y - distance * std::cos(bearing)};
}

GeoPoint ScopeProjection::toPosition(ScopePixel pixel) const
{
    const double dx = pixel.x - centre_.x;
    const double dy = centre_.y - pixel.y;
    return Destination(receiver_, std::atan2(dx, dy) / kRad, std::hypot(dx, dy) / pixelsPerNm_);
}

} // namespace telvorn
