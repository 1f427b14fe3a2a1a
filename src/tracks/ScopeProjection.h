#pragma once

#include "tracks/Geo.h"

namespace telvorn {

// A point of a widget, in pixels from its top-left corner, y downwards.
struct ScopePixel {
    double x = 0.0;
    double y = 0.0;
};

// Maps the earth onto a scope: azimuthal equidistant about the receiver,
// north up, the receiver at the widget's centre and `rangeNm` reaching from
// the centre to the nearer edge. Distances from the receiver are true on
// every bearing, so a range ring is a circle and a distance and bearing the
// board sends land where they say. No toolkit types: the view converts.
class ScopeProjection {
public:
    // A range that is not a positive finite number, or a size below one
    // pixel, is taken as the smallest sensible one, so a view being laid
    // out never divides by zero.
    ScopeProjection(GeoPoint receiver, double rangeNm, double widthPx, double heightPx);

    ScopePixel toPixel(GeoPoint point) const;
    // The inverse, for hit testing a click.
    GeoPoint toPosition(ScopePixel pixel) const;

    double pixelsPerNm() const { return pixelsPerNm_; }
    ScopePixel centre() const { return centre_; }
    GeoPoint receiver() const { return receiver_; }
    double rangeNm() const { return rangeNm_; }

private:
    GeoPoint receiver_;
    double rangeNm_;
    ScopePixel centre_;
    double pixelsPerNm_;
};

} // namespace telvorn
