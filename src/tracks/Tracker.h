#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "modes/RecordObserver.h"
#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "tracks/AircraftTrack.h"
#include "tracks/EmergencyWatch.h"
#include "tracks/PositionReader.h"

namespace telvorn {

// Follows the table record by record and keeps, beside each row and outside
// its cells, what a scope needs: the aircraft's position, track, trail and
// last-heard time, and whether it is in an emergency. Keyed by row id; a
// row's entry goes when the purge removes the row, so an address that comes
// back starts afresh, and the memory grows only with the most rows the table
// ever held at once.
class Tracker final : public RecordObserver, public RowRemovalListener {
public:
    // Times come from the line's UTC stamp (FrameTime), else from `clock`.
    Tracker(AircraftTable& table, const Clock& clock);
    ~Tracker() override;
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    // The track of a row in the table; null for an id that holds no row.
    // Valid until the next record reaches the tracker.
    const AircraftTrack* track(RowId row) const;
    bool inEmergency(RowId row) const { return emergencies_.inEmergency(row); }
    std::string_view emergencyText(RowId row) const { return emergencies_.emergencyText(row); }

    // Every row's track, in no particular order.
    template <typename F>
    void forEachTrack(F&& f) const
    {
        for (RowId id = 0; id < tracks_.size(); ++id)
            if (live_[id])
                f(id, tracks_[id]);
    }

    void recordApplied(const RecordFields& fields, RowId row, const MainState& state) override;
    void alertReceived(std::string_view line) override;
    void rowRemoving(RowId row, const AircraftRow& cells) override;

private:
    void updateTrack(AircraftTrack& track, const AircraftRow& row);

    AircraftTable& table_;
    const Clock& clock_;
    std::vector<AircraftTrack> tracks_;
    std::vector<std::uint8_t> live_;
    EmergencyWatch emergencies_;
    PositionReader positions_;
};

} // namespace telvorn
