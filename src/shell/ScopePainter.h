#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QStaticText>

#include "table/AircraftTable.h"
#include "tracks/Outline.h"
#include "tracks/ScopeProjection.h"
#include "tracks/Tracker.h"

class QPainter;

namespace telvorn {

// Draws one frame of the scope: the outline of coasts and borders, the range
// rings with their distances, north, the receiver, and every aircraft with a
// position as a symbol turned to its track, its trail and its label, fading
// as it ages towards the purge.
//
// A frame's cost is the traffic, not the map: the background, outline and
// rings are drawn into a picture once for each receiver, range and size, and
// each label keeps its laid-out text until its cells change. The aircraft
// are drawn in passes (trails, symbols, labels), so pens and fonts change
// once a pass rather than once an aircraft.
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
    // Where the top left corner of a label of `size` goes beside a symbol at
    // `at`: above right, else below right, above left or below left,
    // whichever first covers none of the labels already `placed`; above
    // right when all of them do, so that every aircraft keeps its label.
    static QPointF PlaceLabel(QPointF at, QSizeF size, const std::vector<QRectF>& placed);

    ScopePainter();

    void paint(QPainter& painter, const ScopeProjection& projection, const Tracker& tracker,
               const AircraftTable& table, double now, std::optional<RowId> selected);

private:
    struct Shown {
        RowId id;
        const AircraftTrack* track;
        QPointF at;
        double alpha;
        bool emergency;
        bool selected;
        QPointF labelAt;
    };
    struct Label {
        std::string name;
        std::string altitude;
        QStaticText nameText;
        QStaticText altitudeText;
        QSizeF size;     // in the label font
        QSizeF boldSize; // in the bold font of emergencies
    };
    struct Key {
        double lat = 0.0, lon = 0.0, range = 0.0, width = 0.0, height = 0.0, ratio = 1.0;
        friend bool operator==(const Key&, const Key&) = default;
    };

    void drawBase(QPainter& painter, const ScopeProjection& projection);
    void drawOutline(QPainter& painter, const ScopeProjection& projection);
    void drawRings(QPainter& painter, const ScopeProjection& projection);
    void drawTrails(QPainter& painter, const ScopeProjection& projection);
    void drawSymbols(QPainter& painter);
    void drawLabels(QPainter& painter, const AircraftTable& table);
    Label& labelOf(RowId id, const AircraftTable& table);

    std::optional<Key> baseKey_;
    QPixmap base_;
    std::vector<Shown> shown_;
    std::vector<Label> labels_;
    QFont labelFont_;
    QFont boldFont_;
    QFont ringFont_;
    QFontMetricsF labelMetrics_;
    QFontMetricsF boldMetrics_;
    double labelLine_ = 0.0;
    double boldLine_ = 0.0;
    QPolygonF trail_;
    std::vector<QRectF> placed_;
};

} // namespace telvorn
