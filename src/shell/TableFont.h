#pragma once

#include <QFont>

namespace telvorn {

// The aircraft list's face, "Lucida Console" 8.25 pt, or the first fixed-pitch
// face there is where it is missing: Qt's own fallback for an absent family
// is a proportional font, which would break the list's columns.
QFont TableFont();

// Twips to Qt's logical pixels, 15 twips a pixel at 96 dots per inch; Qt's
// high-DPI scaling takes logical pixels on from there.
constexpr int Pixels(int twips)
{
    return (twips + 7) / 15;
}

} // namespace telvorn
