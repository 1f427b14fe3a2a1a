#include "shell/EmergencyStyle.h"

#include <string_view>

namespace telvorn {

QColor EmergencyBackground()
{
    return QColor(255, 226, 80);
}

std::optional<RowStyle> EmergencyStyle(const Tracker& tracker, RowId row)
{
    const std::string_view text = tracker.emergencyText(row);
    if (text.empty())
        return std::nullopt;
    return RowStyle{EmergencyBackground(), true, QString::fromLatin1(text.data(), qsizetype(text.size()))};
}

} // namespace telvorn
