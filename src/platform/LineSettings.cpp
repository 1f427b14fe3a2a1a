#include "platform/LineSettings.h"

#include <array>

#include "text/NumberText.h"

namespace telvorn {

namespace {

std::optional<Parity> ParityOf(std::string_view text)
{
    if (text.size() != 1)
        return std::nullopt;
    switch (text[0]) {
    case 'n': case 'N': return Parity::None;
    case 'e': case 'E': return Parity::Even;
    case 'o': case 'O': return Parity::Odd;
    case 'm': case 'M': return Parity::Mark;
    case 's': case 'S': return Parity::Space;
    default: return std::nullopt;
    }
}

std::optional<int> SmallNumber(std::string_view text, int low, int high)
{
    if (!IsDigits(text) || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text)
{
    std::array<std::string_view, 4> parts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (i + 1 == parts.size()))
            return std::nullopt;
        parts[i] = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    const auto speed = SmallNumber(parts[0], 1, 100000000);
    const auto parity = ParityOf(parts[1]);
    const auto data = SmallNumber(parts[2], 5, 8);
    std::optional<int> stop;
    if (parts[3] == "1.5")
        stop = 15;
    else if (parts[3] == "1" || parts[3] == "2")
        stop = parts[3][0] - '0';
    if (!speed || !parity || !data || !stop)
        return std::nullopt;
    return LineSettings{*speed, *parity, *data, *stop};
}

std::string DefaultDeviceOfPort(int number)
{
    if (number < 1)
        return {};
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

} // namespace telvorn
