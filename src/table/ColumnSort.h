#pragma once

#include "table/AircraftTable.h"
#include "table/MainState.h"

namespace telvorn {

// A click on the header at 1-based position k makes column k - 1 the sort
// column, ascending; a second click on the same header changes nothing.
// Positions outside the header row are ignored.
void ListView_ColumnClick(AircraftTable& table, MainState& state, int headerPosition);

// A stored sort column that is not a column position falls back to the default.
int ValidSortColumn(int stored);

} // namespace telvorn
