#pragma once

#include <optional>

#include <QColor>

#include "shell/AircraftTableModel.h"
#include "tracks/Tracker.h"

namespace telvorn {

// An aircraft in an emergency stands out the same way in the list and on the
// scope: bold on this background. Yellow, so that the red call signs and the
// dark-green squawks stay readable on it.
QColor EmergencyBackground();

// The style of a row in an emergency, its meaning as the tooltip ("hijack",
// "radio failure", "general emergency" or the alert's state text); nothing
// for a row in none.
std::optional<RowStyle> EmergencyStyle(const Tracker& tracker, RowId row);

} // namespace telvorn
