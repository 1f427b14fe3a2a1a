#include "platform/SettingsFileFormat.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr std::string_view kTextPrefix = "text:";
constexpr std::string_view kNumberPrefix = "number:";

constexpr std::string_view kHeader
    = "# Telvorn settings. One value a line: name=text:characters or name=number:integer.\n"
      "# Text escapes: \\\\ \\n \\r \\t \\0 \\xHH. Every line ends with a line feed.\n";

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

std::optional<std::int32_t> ParseNumber(std::string_view text)
{
    // Plain decimal only: from_chars takes no blanks and no "+".
    if (text.empty() || text.size() > 11)
        return std::nullopt;
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    if (value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<SettingsFileEntry> ParseLine(std::string_view line)
{
    if (std::any_of(line.begin(), line.end(),
            [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    auto name = UnescapeSettingsText(line.substr(0, eq));
    if (!name || name->empty())
        return std::nullopt;
    const auto rest = line.substr(eq + 1);

    SettingsFileEntry entry;
    entry.name = std::move(*name);
    if (rest.starts_with(kTextPrefix)) {
        auto text = UnescapeSettingsText(rest.substr(kTextPrefix.size()));
        if (!text)
            return std::nullopt;
        entry.kind = SettingsValueKind::Text;
        entry.text = std::move(*text);
    } else if (rest.starts_with(kNumberPrefix)) {
        const auto number = ParseNumber(rest.substr(kNumberPrefix.size()));
        if (!number)
            return std::nullopt;
        entry.kind = SettingsValueKind::Number;
        entry.number = *number;
    } else {
        return std::nullopt;
    }
    return entry;
}

} // namespace

bool SameSettingsName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
        return lower(x) == lower(y);
    });
}

std::string EscapeSettingsText(std::string_view raw)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(raw.size());
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        case '\0': out += "\\0"; continue;
        default: break;
        }
        // "=" would end a name early; escaping it in values too keeps one rule.
        if (IsControl(byte) || byte >= 0x80 || c == '=') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeSettingsText(std::string_view escaped)
{
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == escaped.size())
            return std::nullopt;
        switch (escaped[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x': {
            if (escaped.size() - i < 3)
                return std::nullopt;
            const int high = HexDigitValue(escaped[i + 1]);
            const int low = HexDigitValue(escaped[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

std::vector<SettingsFileEntry> ParseSettingsFile(std::string_view contents)
{
    std::vector<SettingsFileEntry> entries;
    std::size_t start = 0;
    while (start < contents.size()) {
        const auto end = contents.find('\n', start);
        if (end == std::string_view::npos)
            break;
        auto line = contents.substr(start, end - start);
        start = end + 1;
        // A file edited on Windows; a real carriage return in a value is escaped.
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        auto entry = ParseLine(line);
        if (!entry)
            continue;
        const auto same = std::find_if(entries.begin(), entries.end(),
            [&](const auto& e) { return SameSettingsName(e.name, entry->name); });
        if (same != entries.end())
            *same = std::move(*entry);
        else
            entries.push_back(std::move(*entry));
    }
    return entries;
}

std::string FormatSettingsFile(const std::vector<SettingsFileEntry>& entries)
{
    std::string out(kHeader);
    for (const auto& e : entries) {
        out += EscapeSettingsText(e.name);
        out += '=';
        if (e.kind == SettingsValueKind::Number) {
            out += kNumberPrefix;
            out += std::to_string(e.number);
        } else {
            out += kTextPrefix;
            out += EscapeSettingsText(e.text);
        }
        out += '\n';
    }
    return out;
}

} // namespace telvorn
