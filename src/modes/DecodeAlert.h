#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "table/StatusPanels.h"

namespace telvorn {

// The panel text of an alert line "!SUBJECT,CODE,SOURCE[,...]": the subject,
// the source marker (" (SQUACK) " for "S", " (MODE-S) " for "M", nothing
// otherwise) and the state text of the emergency code. Empty for a line with
// fewer than three fields, which leaves the panel as it was.
std::optional<std::string> AlertText(std::string_view line);

// Shows the alert in the "ALT" panel, replacing the previous one.
void DecodeAlert(std::string_view line, StatusPanels& panels);

} // namespace telvorn
