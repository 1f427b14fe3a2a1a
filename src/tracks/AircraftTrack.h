#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "tracks/Geo.h"

namespace telvorn {

// One trail point: where the aircraft was, and when (UTC seconds since 1970).
struct TrailPoint {
    GeoPoint position;
    double time = 0.0;
};

// What is kept of one aircraft beside its row: the last known position, the
// track over the ground, a short trail and the time it was last heard.
// Times are UTC seconds since 1970.
//
// The trail is bounded in count and in age: a point is kept at most every
// kTrailSpacing seconds, at most kTrailPoints of them, none older than
// kTrailAge before the aircraft was last heard. Its storage is taken on the
// first position and kept across reset(), so a row slot that is reused costs
// no new memory.
class AircraftTrack {
public:
    static constexpr std::size_t kTrailPoints = 40;
    static constexpr double kTrailSpacing = 5.0;
    static constexpr double kTrailAge = 180.0;

    // Forgets everything: the row has left the table.
    void reset();

    // A record of the aircraft arrived at `time`; trail points that have
    // grown too old go.
    void heard(double time);
    // A position already checked to be on the earth.
    void setPosition(GeoPoint position, double time);
    // Degrees true, brought into [0, 360).
    void setTrack(double degrees);

    const std::optional<GeoPoint>& position() const { return position_; }
    double positionTime() const { return positionTime_; }
    const std::optional<double>& track() const { return track_; }
    // Never heard before the first record: 0.
    double lastHeard() const { return lastHeard_; }

    // Trail points, oldest first; the newest lies at most kTrailSpacing
    // seconds behind position().
    std::size_t trailSize() const { return trailCount_; }
    const TrailPoint& trailPoint(std::size_t i) const;

private:
    std::optional<GeoPoint> position_;
    double positionTime_ = 0.0;
    std::optional<double> track_;
    double lastHeard_ = 0.0;
    // A ring: trailFirst_ is the oldest point.
    std::vector<TrailPoint> trail_;
    std::size_t trailFirst_ = 0;
    std::size_t trailCount_ = 0;
};

} // namespace telvorn
