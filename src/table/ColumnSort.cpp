#include "table/ColumnSort.h"

namespace telvorn {

namespace {

constexpr int kDefaultSortColumn = 2;

} // namespace

void ListView_ColumnClick(AircraftTable& table, MainState& state, int headerPosition)
{
    const int column = headerPosition - 1;
    if (column < 0 || column >= int(kColumnCount))
        return;
    state.SortColumn = std::int16_t(column);
    if (column != table.sortColumn())
        table.setSortColumn(column);
}

int ValidSortColumn(int stored)
{
    return stored >= 0 && stored < int(kColumnCount) ? stored : kDefaultSortColumn;
}

} // namespace telvorn
