#include "modes/DecodeAlert.h"

#include <array>

namespace telvorn {

std::string_view AlertStateText(std::string_view code)
{
    static constexpr std::array<std::string_view, 9> kStates{
        "No Emergency",      "General Emergency", "Lifeguard/Medical",
        "Minimum Fuel",      "No Communications", "Unlawful Intercept",
        "Reserved",          "Reserved",          "Military Interceptor",
    };
    if (code.size() == 1 && code[0] >= '0' && code[0] <= '8')
        return kStates[std::size_t(code[0] - '0')];
    return "unknown";
}

std::optional<std::array<std::string_view, 3>> SplitAlert(std::string_view line)
{
    if (!line.empty())
        line.remove_prefix(1);
    std::array<std::string_view, 3> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < fields.size()) {
        const std::size_t comma = line.find(',', start);
        fields[count++] = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (count < fields.size())
        return std::nullopt;
    return fields;
}

std::optional<std::string> AlertText(std::string_view line)
{
    const std::optional<std::array<std::string_view, 3>> split = SplitAlert(line);
    if (!split)
        return std::nullopt;
    const std::array<std::string_view, 3>& fields = *split;
    std::string text(fields[0]);
    if (fields[2] == "S")
        text += " (SQUACK) ";
    else if (fields[2] == "M")
        text += " (MODE-S) ";
    text += AlertStateText(fields[1]);
    return text;
}

void DecodeAlert(std::string_view line, StatusPanels& panels)
{
    if (std::optional<std::string> text = AlertText(line))
        panels.setText(Panel::Alt, *text);
}

} // namespace telvorn
