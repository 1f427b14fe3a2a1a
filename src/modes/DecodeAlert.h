#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "table/StatusPanels.h"

namespace telvorn {

// The first three fields of an alert line "!SUBJECT,CODE,SOURCE[,...]",
// marker removed: subject, emergency code, source. Empty for fewer than three.
std::optional<std::array<std::string_view, 3>> SplitAlert(std::string_view line);

// The state text of an emergency code, "0" to "8"; "unknown" for any other text.
std::string_view AlertStateText(std::string_view code);

// The panel text of an alert line "!SUBJECT,CODE,SOURCE[,...]": the subject,
// the source marker (" (SQUACK) " for "S", " (MODE-S) " for "M", nothing
// otherwise) and the state text of the emergency code. Empty for a line with
// fewer than three fields, which leaves the panel as it was.
std::optional<std::string> AlertText(std::string_view line);

// Shows the alert in the "ALT" panel, replacing the previous one.
void DecodeAlert(std::string_view line, StatusPanels& panels);

} // namespace telvorn
