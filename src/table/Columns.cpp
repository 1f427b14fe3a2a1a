#include "table/Columns.h"

namespace telvorn {

int ValidSortColumn(int stored)
{
    constexpr int kDefaultSortColumn = Index(Column::Time);
    return stored >= 0 && stored < int(kColumnCount) ? stored : kDefaultSortColumn;
}

ColumnSet SetupColumns(bool distanceFlag)
{
    const auto L = Alignment::Left;
    const auto R = Alignment::Right;
    return ColumnSet{{
        {"NUMB", "N.", 400, L, true},
        {"DF", "DF", 400, L, true},
        {"TIME", "Time", 1020, L, false},
        {"ICAO", "ICAO", 820, L, false},
        {"CONT", "Country", 2000, L, false},
        {"CALL", "Call", 1040, L, false},
        {"CAT", "P", 320, L, false},
        {"SQWK", "Iden", 600, R, false},
        {"ALTI", "Alt", 860, R, true},
        {"ALTT", "T", 280, L, false},
        {"CPR0", "CPR", 320, R, true},
        {"LAT0", distanceFlag ? "Dist." : "Lat", 1200, R, true},
        {"LNG0", distanceFlag ? "Bear." : "Lon", 1200, R, true},
        {"VRT", "VRate", 1200, R, true},
        {"EWV", "EWVel", 700, R, true},
        {"NSV", "NSVel", 700, R, true},
        {"MGH", "MagHdr", 1200, R, true},
        {"ASP", "AirSpd", 1200, R, true},
        // Never seen, but it holds the last-heard time that the purge reads.
        {"LAST", "Last", 0, R, true},
    }};
}

} // namespace telvorn
