#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "platform/Clock.h"
#include "shell/ScopePainter.h"
#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "tracks/PositionReader.h"
#include "tracks/ScopeProjection.h"
#include "tracks/Tracker.h"

namespace telvorn {

// The scope: the traffic the tracker keeps, seen from above, with the
// configured receiver position at the centre and north up. It draws when it
// is told to (the main window's coalesced refresh) or when the user acts on
// it, never per record. The mouse wheel steps the range; a click picks the
// aircraft under the pointer; the pointer resting on an aircraft shows what
// it is, and for one in an emergency what the emergency is.
class ScopeView final : public QWidget {
    Q_OBJECT

public:
    // The wheel's steps, in nautical miles.
    static std::int32_t StepRange(std::int32_t rangeNm, int steps);

    ScopeView(const Tracker& tracker, const AircraftTable& table, const MainState& state, const Clock& clock,
              QWidget* parent = nullptr);

    std::int32_t rangeNm() const { return rangeNm_; }
    // Brought within the stored range's bounds.
    void setRangeNm(std::int32_t rangeNm);

    // The aircraft the user picked here or in the list, drawn highlighted;
    // nothing once its row has gone, even if a new address took the row's id.
    std::optional<RowId> selected() const;
    void setSelected(std::optional<RowId> row);

    // The projection of the widget's present size, range and receiver.
    ScopeProjection projection() const;
    // The aircraft whose symbol is nearest `pixel`, within a few pixels.
    std::optional<RowId> aircraftAt(QPointF pixel) const;
    // Asks for a frame, not before `notBeforeMs` from now and not before the
    // last one is kFrameMs old. The window's refresh and the user's wheel
    // and clicks all come through here, so the scope draws at most ten
    // times a second.
    void requestFrame(int notBeforeMs = 0);
    static constexpr int kFrameMs = 100;
    // Frames drawn so far, for the window bench.
    long paints() const { return paints_; }

signals:
    // The user clicked on an aircraft.
    void aircraftClicked(RowId row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    const Tracker& tracker_;
    const AircraftTable& table_;
    const MainState& state_;
    const Clock& clock_;
    mutable PositionReader receiver_;
    ScopePainter painter_;
    std::int32_t rangeNm_;
    std::optional<RowId> selected_;
    std::string selectedAddress_;
    int wheelAngle_ = 0;
    QElapsedTimer sinceFrame_;
    QTimer nextFrame_;
    long paints_ = 0;
};

} // namespace telvorn
