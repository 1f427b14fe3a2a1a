#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "tracks/Geo.h"

namespace telvorn {

// Coasts and borders for a scope: closed rings of points, read from the text
// that data/world-outline.txt holds (one ring a line, "latitude,longitude"
// in hundredths of a degree, blanks between points, "#" lines are comments).
// Flat storage: one vector of points and where each ring starts, so ten
// thousand points cost one allocation.
class Outline {
public:
    // A point that is not two integers, or lies off the earth, ends its ring
    // there; a ring with fewer than two points is left out.
    static Outline Parse(std::string_view text);

    std::size_t ringCount() const { return starts_.size(); }
    std::size_t pointCount() const { return points_.size(); }
    // The points of ring i, the first not repeated at the end.
    const GeoPoint* ring(std::size_t i, std::size_t& size) const;

private:
    void endRing(std::size_t start);

    std::vector<GeoPoint> points_;
    std::vector<std::size_t> starts_;
};

} // namespace telvorn
