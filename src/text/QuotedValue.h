#pragma once

#include <string>
#include <string_view>

namespace telvorn {

// A value as a one-line message shows it: in single quotes, control bytes
// as \xHH, so that whatever a user or a script typed cannot break the line
// or move a terminal's cursor.
std::string QuotedValue(std::string_view value);

} // namespace telvorn
