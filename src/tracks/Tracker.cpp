#include "tracks/Tracker.h"

#include <chrono>
#include <cmath>
#include <numbers>

#include "table/Common.h"
#include "text/NumberText.h"

namespace telvorn {

Tracker::Tracker(AircraftTable& table, const Clock& clock)
    : table_(table), clock_(clock), emergencies_(table)
{
    table_.addRemovalListener(this);
}

Tracker::~Tracker()
{
    table_.removeRemovalListener(this);
}

const AircraftTrack* Tracker::track(RowId row) const
{
    if (row >= tracks_.size() || !live_[row])
        return nullptr;
    return &tracks_[row];
}

void Tracker::recordApplied(const RecordFields& fields, RowId row, const MainState& state)
{
    if (row >= tracks_.size()) {
        tracks_.resize(std::size_t(row) + 1);
        live_.resize(std::size_t(row) + 1);
    }
    live_[row] = 1;
    AircraftTrack& track = tracks_[row];
    const std::optional<double> stamp = UTCStampSeconds(state.FrameTime);
    const double time = stamp ? *stamp : UtcSeconds(clock_);
    track.heard(time);
    if (const std::optional<GeoPoint> position = positions_.read(state))
        track.setPosition(*position, time);
    if (!fields[12].empty() || !fields[13].empty() || !fields[14].empty())
        updateTrack(track, table_.row(row));
    emergencies_.recordApplied(fields, row);
}

void Tracker::alertReceived(std::string_view line)
{
    emergencies_.alertReceived(line);
}

void Tracker::rowRemoving(RowId row, const AircraftRow& /*cells*/)
{
    if (row < tracks_.size()) {
        tracks_[row].reset();
        live_[row] = 0;
    }
    emergencies_.rowRemoved(row);
}

// Over the ground from the velocity cells (east-west positive east,
// north-south positive north), which keep the latest of each; the magnetic
// heading only while no velocity is known. A record may carry one velocity
// component alone, so the cells, not the record, are read.
void Tracker::updateTrack(AircraftTrack& track, const AircraftRow& row)
{
    const std::optional<double> east = ParseLeadingNumber(row[Column::Ewv]);
    const std::optional<double> north = ParseLeadingNumber(row[Column::Nsv]);
    if (east && north && std::isfinite(*east) && std::isfinite(*north) && (*east != 0.0 || *north != 0.0)) {
        track.setTrack(std::atan2(*east, *north) * 180.0 / std::numbers::pi);
        return;
    }
    const std::optional<double> heading = ParseLeadingNumber(row[Column::Mgh]);
    if (heading && std::isfinite(*heading))
        track.setTrack(*heading);
}

} // namespace telvorn
