#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

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
// kTrailSpacing seconds, at most kTrailPoints of them, and only those not
// older than kTrailAge before the aircraft was last heard are shown. Its
// storage is taken on the first position and kept across reset(), so a row
// slot that is reused costs no new memory.
//
// Every record of the aircraft passes here, so what a record touches (the
// times, the position) sits together in one small object and the trail's
// storage is written only when a point is added.
class AircraftTrack {
public:
    static constexpr std::size_t kTrailPoints = 40;
    static constexpr double kTrailSpacing = 5.0;
    static constexpr double kTrailAge = 180.0;

    // Forgets everything: the row has left the table.
    void reset();

    // A record of the aircraft arrived at `time`.
    void heard(double time) { lastHeard_ = time; }
    // A position already checked to be on the earth.
    void setPosition(GeoPoint position, double time);
    // Degrees true, brought into [0, 360).
    void setTrack(double degrees);

    std::optional<GeoPoint> position() const { return hasPosition_ ? std::optional(position_) : std::nullopt; }
    double positionTime() const { return positionTime_; }
    std::optional<double> track() const { return hasTrack_ ? std::optional(track_) : std::nullopt; }
    // Never heard before the first record: 0.
    double lastHeard() const { return lastHeard_; }

    // Trail points young enough to show, oldest first; the newest lies at
    // most kTrailSpacing seconds behind position().
    std::size_t trailSize() const { return trailCount_ - staleTrailPoints(); }
    TrailPoint trailPoint(std::size_t i) const;

private:
    // Single precision places a point to about a metre, and halves the trail.
    struct StoredPoint {
        float lat;
        float lon;
        double time;
    };
    std::size_t staleTrailPoints() const;
    const StoredPoint& stored(std::size_t i) const { return trail_[(trailFirst_ + i) % kTrailPoints]; }

    double lastHeard_ = 0.0;
    double positionTime_ = 0.0;
    double newestTrailTime_ = 0.0;
    GeoPoint position_;
    double track_ = 0.0;
    // A ring: trailFirst_ is the oldest point.
    std::unique_ptr<StoredPoint[]> trail_;
    std::uint8_t trailFirst_ = 0;
    std::uint8_t trailCount_ = 0;
    bool hasPosition_ = false;
    bool hasTrack_ = false;
};

} // namespace telvorn
