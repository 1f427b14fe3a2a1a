#pragma once

#include <optional>
#include <vector>

#include <QFont>
#include <QPolygonF>
#include <QSize>

#include "table/AircraftTable.h"
#include "tracks/Outline.h"
#include "tracks/ScopeProjection.h"
#include "tracks/Tracker.h"

class QPainter;

namespace telvorn {

// Draws one frame of the scope: the outline of coasts and borders, the range
// rings with their distances, north, the receiver, and every aircraft with a
// position as a symbol turned to its track, its trail and its label, fading
// as it ages towards the purge. The outline is projected once for each
// receiver, range and size, not at every frame: it is most of the points.
class ScopePainter {
public:
    // The outline that ships with the program (data/world-outline.txt).
    static const Outline& World();
    // How opaque an aircraft last heard `ageSeconds` ago is drawn: whole for
    // the first 30 s, then fading to a fifth at the purge age.
    static double Fade(double ageSeconds);
    // The distance between range rings that puts three to five of them
    // inside the range.
    static double RingStepNm(double rangeNm);

    ScopePainter();

    void paint(QPainter& painter, const ScopeProjection& projection, const Tracker& tracker,
               const AircraftTable& table, double now, std::optional<RowId> selected);

private:
    void drawOutline(QPainter& painter, const ScopeProjection& projection);
    void drawRings(QPainter& painter, const ScopeProjection& projection);
    void drawAircraft(QPainter& painter, const ScopeProjection& projection, RowId id, const AircraftTrack& track,
                      const Tracker& tracker, const AircraftTable& table, double now, bool selected);

    struct Key {
        double lat = 0.0, lon = 0.0, range = 0.0, width = 0.0, height = 0.0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    std::optional<Key> outlineKey_;
    std::vector<QPolygonF> outlinePixels_;
    QFont labelFont_;
    QFont boldFont_;
    QFont ringFont_;
    double labelLine_ = 0.0;
    double boldLine_ = 0.0;
    QPolygonF trail_;
};

} // namespace telvorn
