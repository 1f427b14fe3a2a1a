#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SettingsBackend.h"

namespace telvorn {

// One value of a settings file. Text is kept without a terminating zero: the
// store adds it back when the value is read, as the registry reports it.
struct SettingsFileEntry {
    std::string name;
    SettingsValueKind kind = SettingsValueKind::Text;
    std::string text;
    std::int32_t number = 0;

    friend bool operator==(const SettingsFileEntry&, const SettingsFileEntry&) = default;
};

// The file is read only this far; a settings file is a few hundred bytes, so
// anything larger is damage and what lies beyond is ignored.
inline constexpr std::size_t SettingsFileReadLimit = 1 << 20;

// One value a line, "name=text:characters" or "name=number:-1", every line
// ending with a line feed. Lines that do not parse are skipped one by one,
// so a damaged file still yields its intact values. A last line without its
// line feed may have been cut short and is skipped too. Names compare
// without regard to ASCII case, as registry value names do; of two lines
// with the same name the later one counts.
std::vector<SettingsFileEntry> ParseSettingsFile(std::string_view contents);
std::string FormatSettingsFile(const std::vector<SettingsFileEntry>& entries);

// Backslash escapes for the bytes that cannot stand in a line as they are:
// "\\", "\n", "\r", "\t", "\0", and "\xHH" for other control bytes, "=",
// and bytes from 0x7F up, so that any byte string round-trips and the file
// stays plain ASCII whatever the code page of the text.
std::string EscapeSettingsText(std::string_view raw);
std::optional<std::string> UnescapeSettingsText(std::string_view escaped);

bool SameSettingsName(std::string_view a, std::string_view b);

} // namespace telvorn
