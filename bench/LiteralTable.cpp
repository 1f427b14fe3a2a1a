#include "LiteralTable.h"

#include <algorithm>

#include "table/ColumnSort.h"
#include "table/Common.h"
#include "text/NumberText.h"

namespace telvorn::bench {

void LiteralTable::apply(const RecordFields& f, const MainState& state, const Clock& clock)
{
    auto it = std::find_if(rows_.begin(), rows_.end(),
                           [&](const AircraftRow& r) { return r[Column::Icao] == f[3]; });
    if (it == rows_.end()) {
        rows_.insert(rows_.begin(), AircraftRow{});
        it = rows_.begin();
        it->cells[Index(Column::Numb)] = "1";
        it->cells[Index(Column::Cont)] = GetCountry(LeadingHexValue(f[3]));
    } else {
        it->cells[Index(Column::Numb)] = IntegerText(LeadingNumber((*it)[Column::Numb]) + 1.0);
    }
    auto& c = it->cells;
    c[Index(Column::Altt)].clear();
    c[Index(Column::Df)] = f[2];
    c[Index(Column::Time)] = std::string_view(state.FrameTime).substr(8, 8);
    c[Index(Column::Icao)] = f[3];
    c[Index(Column::Last)] = SingleText(float(clock.localSecondsOfDay()));
    if (!f[4].empty()) {
        c[Index(Column::Call)] = f[4];
        c[Index(Column::Cat)] = f[5];
    }
    if (!f[10].empty())
        c[Index(Column::Sqwk)] = f[10];
    if (!f[9].empty())
        c[Index(Column::Alti)] = PadAltitude(f[9]);
    if (!f[6].empty()) {
        c[Index(Column::Cpr0)] = f[6];
        c[Index(Column::Lat0)] = f[7];
        c[Index(Column::Lng0)] = f[8];
    }
    for (std::size_t k = 11; k <= 15; ++k)
        if (!f[k].empty())
            c[k + 2] = f[k];

    const std::size_t col = sortColumn_;
    const bool numeric = SetupColumns(false)[col].numeric;
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const AircraftRow& a, const AircraftRow& b) { return RowBefore(a, b, col, numeric); });
}

} // namespace telvorn::bench
