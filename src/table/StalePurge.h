#pragma once

#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

namespace telvorn {

// Rows not written for more than this many seconds leave the table.
inline constexpr double PurgeAge = 180.0;
inline constexpr int PurgeIntervalMs = 20000;

// Age in whole seconds of a row last written at `lastHeard` seconds of the
// local day. A row written before midnight gets a day added, so it still
// leaves the table once it is old enough.
double RowAge(double nowSeconds, double lastHeard);

// The purge timer's tick: removes every stale row and shows the rows left
// in the "PRC" panel; does nothing while a record is being written. A
// "LAST" cell that does not read as a time of day marks its row stale.
// Returns the number of rows removed.
std::size_t TimerClean_Timer(AircraftTable& table, StatusPanels& panels, const MainState& state,
                             const Clock& clock);

} // namespace telvorn
