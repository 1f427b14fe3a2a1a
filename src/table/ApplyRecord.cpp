#include "table/ApplyRecord.h"

#include <cmath>
#include <cstdio>

#include "table/Common.h"
#include "text/NumberText.h"

namespace telvorn {

namespace {

// An altitude step of at most 25 feet either way counts as level flight.
constexpr double kLevelBand = 25.0;

constexpr std::size_t kStampHundredthsFrom = 8;
constexpr std::size_t kStampHundredthsLength = 8;

std::string_view TimeOfStamp(std::string_view stamp)
{
    if (stamp.size() <= kStampHundredthsFrom)
        return {};
    return stamp.substr(kStampHundredthsFrom, kStampHundredthsLength);
}

} // namespace

std::string PadAltitude(std::string_view altitude)
{
    constexpr std::size_t width = 6;
    if (altitude.size() >= width)
        return std::string(altitude);
    const bool negative = !altitude.empty() && altitude.front() == '-';
    std::string padded(altitude);
    padded.insert(negative ? 1 : 0, width - altitude.size(), '0');
    return padded;
}

std::string DistanceText(std::string_view field)
{
    const double rounded = std::round(LeadingNumber(field));
    std::string digits = IntegerText(std::fabs(rounded));
    if (digits.size() < 6)
        digits.insert(0, 6 - digits.size(), '0');
    if (rounded < 0.0)
        digits.insert(0, 1, '-');
    return digits;
}

RowId ApplyRecord(AircraftTable& table, StatusPanels& panels, const MainState& state,
                 const Clock& clock, const RecordFields& f)
{
    const std::string_view address = f[3];
    std::optional<RowId> found = table.FindAircraftRow(address);
    RowId r;
    if (!found) {
        r = table.addRow(address);
        table.setCell(r, Column::Numb, "1");
        // The address never changes for a row, so neither does its country.
        table.setCell(r, Column::Cont, GetCountry(LeadingHexValue(address)));
    } else {
        r = *found;
        table.setCell(r, Column::Numb, IntegerText(LeadingNumber(table.row(r)[Column::Numb]) + 1.0));
    }
    table.setSelected(r);
    panels.setText(Panel::Prc, std::to_string(table.size()));

    table.setCell(r, Column::Altt, "");
    table.setCell(r, Column::Df, f[2]);
    table.setCell(r, Column::Time, TimeOfStamp(state.FrameTime));
    table.setCell(r, Column::Icao, address);
    table.setCell(r, Column::Last, SingleText(float(clock.localSecondsOfDay())));

    if (!f[4].empty()) {
        table.setCell(r, Column::Call, f[4]);
        table.setCell(r, Column::Cat, f[5]);
        table.setCallColoured(r);
    }
    if (!f[10].empty()) {
        table.setCell(r, Column::Sqwk, f[10]);
        table.setSquawkColoured(r);
    }
    if (!f[9].empty()) {
        if (f[9] == "@") {
            table.setCell(r, Column::Alti, "Landed");
        } else {
            const std::string& previous = table.row(r)[Column::Alti];
            if (!previous.empty()) {
                const double d = RoundHalfEven(LeadingNumber(f[9]) - LeadingNumber(previous));
                const char* trend = d > kLevelBand ? "^" : d < -kLevelBand ? "v" : "=";
                table.setCell(r, Column::Altt, trend);
            }
            table.setCell(r, Column::Alti, PadAltitude(f[9]));
        }
    }
    if (!f[6].empty()) {
        table.setCell(r, Column::Cpr0, f[6]);
        if (state.DstFlag)
            table.setCell(r, Column::Lat0, DistanceText(f[7]));
        else
            table.setCell(r, Column::Lat0, f[7]);
        table.setCell(r, Column::Lng0, f[8]);
    }
    constexpr std::array<Column, 5> kVelocityCells{Column::Vrt, Column::Ewv, Column::Nsv, Column::Mgh, Column::Asp};
    for (std::size_t k = 11; k <= 15; ++k)
        if (!f[k].empty())
            table.setCell(r, kVelocityCells[k - 11], f[k]);

    table.commitRow(r);
    return r;
}

} // namespace telvorn
