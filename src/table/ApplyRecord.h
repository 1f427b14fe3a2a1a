#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

namespace telvorn {

// The 16 comma-separated fields of a record line, numbered 0 to 15.
using RecordFields = std::array<std::string_view, 16>;

// Altitude cell text: zero-padded to six characters, negative values padded
// after their sign ("-100" -> "-00100") so the text reads back as the same
// number for the next trend. Six or more characters stay as they are.
std::string PadAltitude(std::string_view altitude);

// The distance cell with the distance flag set: whole number, at least six
// digits, "-" before negative values; halves round away from zero.
std::string DistanceText(std::string_view field);

// Writes one accepted record into the row of its address, creating the row
// on the first record of that address. Called with TableBusy set. Returns
// the row written.
RowId ApplyRecord(AircraftTable& table, StatusPanels& panels, const MainState& state,
                 const Clock& clock, const RecordFields& fields);

} // namespace telvorn
