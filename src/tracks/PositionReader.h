#pragma once

#include <optional>
#include <string>

#include "table/MainState.h"
#include "tracks/Geo.h"

namespace telvorn {

// The position of the record just applied, whichever way it came: element 1
// of PosLat and PosLon holds the board's latitude and longitude (decoded
// output), the locally decoded ones (raw output), or the distance in
// nautical miles and the true bearing from the receiver (distance output,
// the distance flag without raw output). Nonsense gives nothing: a text
// without a number, a value that is not finite, a point off the earth, a
// negative distance or one beyond half the earth's circumference, a bearing
// outside 0 to 360, an unusable receiver position.
class PositionReader {
public:
    std::optional<GeoPoint> read(const MainState& state);

    // The configured receiver position (element 0, leading-number parse),
    // read again only when its texts change.
    std::optional<GeoPoint> receiver(const MainState& state);

private:
    std::string latText_;
    std::string lonText_;
    std::optional<GeoPoint> receiver_;
    bool parsed_ = false;
};

} // namespace telvorn
