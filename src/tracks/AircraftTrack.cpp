#include "tracks/AircraftTrack.h"

namespace telvorn {

void AircraftTrack::reset()
{
    position_.reset();
    positionTime_ = 0.0;
    track_.reset();
    lastHeard_ = 0.0;
    trailFirst_ = 0;
    trailCount_ = 0;
}

void AircraftTrack::heard(double time)
{
    lastHeard_ = time;
    while (trailCount_ > 0 && time - trail_[trailFirst_].time > kTrailAge) {
        trailFirst_ = (trailFirst_ + 1) % kTrailPoints;
        --trailCount_;
    }
}

void AircraftTrack::setPosition(GeoPoint position, double time)
{
    position_ = position;
    positionTime_ = time;
    if (trailCount_ > 0) {
        const double sinceNewest = time - trailPoint(trailCount_ - 1).time;
        // A clock set back would leave the trail out of order: start it again.
        if (sinceNewest < 0.0)
            trailCount_ = 0;
        else if (sinceNewest < kTrailSpacing)
            return;
    }
    if (trail_.empty())
        trail_.resize(kTrailPoints);
    if (trailCount_ == kTrailPoints) {
        trailFirst_ = (trailFirst_ + 1) % kTrailPoints;
        --trailCount_;
    }
    trail_[(trailFirst_ + trailCount_) % kTrailPoints] = {position, time};
    ++trailCount_;
}

void AircraftTrack::setTrack(double degrees)
{
    track_ = NormalizeDegrees(degrees);
}

const TrailPoint& AircraftTrack::trailPoint(std::size_t i) const
{
    return trail_[(trailFirst_ + i) % kTrailPoints];
}

} // namespace telvorn
