#include "tracks/AircraftTrack.h"

namespace telvorn {

void AircraftTrack::reset()
{
    std::unique_ptr<StoredPoint[]> storage = std::move(trail_);
    *this = AircraftTrack{};
    trail_ = std::move(storage);
}

void AircraftTrack::setPosition(GeoPoint position, double time)
{
    position_ = position;
    hasPosition_ = true;
    positionTime_ = time;
    if (trailCount_ > 0) {
        const double sinceNewest = time - newestTrailTime_;
        // A clock set back would leave the trail out of order: start it again.
        if (sinceNewest < 0.0)
            trailCount_ = 0;
        else if (sinceNewest < kTrailSpacing)
            return;
    }
    if (!trail_)
        trail_ = std::make_unique<StoredPoint[]>(kTrailPoints);
    if (trailCount_ == kTrailPoints) {
        trailFirst_ = std::uint8_t((trailFirst_ + 1) % kTrailPoints);
        --trailCount_;
    }
    trail_[(trailFirst_ + trailCount_) % kTrailPoints] = {float(position.lat), float(position.lon), time};
    ++trailCount_;
    newestTrailTime_ = time;
}

void AircraftTrack::setTrack(double degrees)
{
    track_ = NormalizeDegrees(degrees);
    hasTrack_ = true;
}

TrailPoint AircraftTrack::trailPoint(std::size_t i) const
{
    const StoredPoint& p = stored(staleTrailPoints() + i);
    return {{p.lat, p.lon}, p.time};
}

// Points grow old between records without touching the trail; they are
// passed over here, where a view reads them, and overwritten as new ones come.
std::size_t AircraftTrack::staleTrailPoints() const
{
    std::size_t stale = 0;
    while (stale < trailCount_ && lastHeard_ - stored(stale).time > kTrailAge)
        ++stale;
    return stale;
}

} // namespace telvorn
