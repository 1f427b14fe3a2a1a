#include "table/ColumnSort.h"

#include "text/NumberText.h"

namespace telvorn {

void ListView_ColumnClick(AircraftTable& table, MainState& state, int headerPosition)
{
    const int column = headerPosition - 1;
    if (column < 0 || column >= int(kColumnCount))
        return;
    state.SortColumn = std::int16_t(column);
    if (column != table.sortColumn())
        table.setSortColumn(column);
}

bool RowBefore(const AircraftRow& a, const AircraftRow& b, std::size_t column, bool numeric)
{
    const std::string& x = a.cells[column];
    const std::string& y = b.cells[column];
    if (numeric) {
        if (x.empty() != y.empty())
            return x.empty();
        const double vx = LeadingNumber(x);
        const double vy = LeadingNumber(y);
        if (vx != vy)
            return vx < vy;
    }
    if (x != y)
        return x < y;
    return a[Column::Icao] < b[Column::Icao];
}


} // namespace telvorn
