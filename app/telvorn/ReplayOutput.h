#pragma once

#include <string>
#include <string_view>

#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"
#include "tracks/Tracker.h"

namespace telvorn::app {

// A JSON string literal. Each byte is one character, as the serial link
// carries them: printable ASCII stays, everything else is escaped, bytes
// from 0x80 up as \u0080..\u00ff, so the output is valid ASCII JSON.
std::string JsonString(std::string_view bytes);

// The replay's one JSON object: panels, column keys, rows in display order,
// the last aircraft position, and each row's own position keyed by address.
std::string ReplayJson(const StatusPanels& panels, const AircraftTable& table, const MainState& state,
                       const Tracker& tracker);

// The same table for a person to read, columns aligned.
std::string ReplayText(const StatusPanels& panels, const AircraftTable& table, const MainState& state);

} // namespace telvorn::app
