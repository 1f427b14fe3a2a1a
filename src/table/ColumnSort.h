#pragma once

#include "table/AircraftTable.h"
#include "table/MainState.h"

namespace telvorn {

// A click on the header at 1-based position k makes column k - 1 the sort
// column, ascending; a second click on the same header changes nothing.
// Positions outside the header row are ignored.
void ListView_ColumnClick(AircraftTable& table, MainState& state, int headerPosition);

// Whether row a sorts before row b by a column, computed from the cells as
// they stand: numeric columns put empty cells first, then compare values,
// then text; other columns compare text bytes; the address breaks ties.
bool RowBefore(const AircraftRow& a, const AircraftRow& b, std::size_t column, bool numeric);


} // namespace telvorn
