#pragma once

#include <optional>
#include <string_view>

#include "table/AircraftTable.h"
#include "table/ApplyRecord.h"
#include "table/MainState.h"

namespace telvorn {

// What the frame decoder tells those who follow the table: the network
// feeds, the per-aircraft tracks. Called on the receive path, once per line,
// so an observer must do little and never block.
class RecordObserver {
public:
    virtual ~RecordObserver() = default;
    // Every record line with exactly 16 fields, accepted or not (DF 18 and
    // 19 records still carry a frame in field 0).
    virtual void recordReceived(const RecordFields& /*fields*/) {}
    // A record written into the table, after its position hand-off:
    // element 1 of PosLat and PosLon holds its position (decoded locally in
    // raw mode), or is empty.
    virtual void recordApplied(const RecordFields& /*fields*/, RowId /*row*/, const MainState& /*state*/) {}
    // An alert line, marker included, whether or not it parsed.
    virtual void alertReceived(std::string_view /*line*/) {}
};

} // namespace telvorn
