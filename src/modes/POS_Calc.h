#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace telvorn {

// Locally referenced CPR decoding of airborne positions: each message alone,
// against a reference position, with 17-bit encoded latitude and longitude.
// Everything that depends only on the reference is prepared when the
// reference changes, so a decode is a table search and a few operations.
class POS_Calc {
public:
    POS_Calc();

    // Number of longitude zones at a latitude, 0-59; NaN throws std::domain_error.
    std::uint8_t GetNL(const double& lat) const;

    // Reference coordinates (write-only properties); each assignment re-prepares.
    // A latitude whose zone number does not fit 16 bits (or NaN) throws
    // std::overflow_error and leaves the previous reference in place.
    void LonLoc(double lon);
    void LatLoc(double lat);

    // The last decode with five decimals and "." whatever the locale.
    std::string LON() const;
    std::string LAT() const;

    // Decodes one message. A flag above 1 throws std::out_of_range before
    // anything changes; a zone count below the flag throws std::overflow_error
    // with LatDec already written; out-of-range arithmetic throws too.
    void LocallyPos(const std::uint8_t& flag, const double& yz, const double& xz);

    double LatDec() const { return latDec_; }
    double LonDec() const { return lonDec_; }
    double DLon() const { return dLon_; }
    double NLThreshold(int index) const { return nlTable_.at(std::size_t(index)); }

private:
    static double FloorMod(double x, double y);
    static double ArcCos(double x);
    void PrepareRef();

    std::array<double, 60> nlTable_{};
    double latRef_ = 48.72171;
    double lonRef_ = 2.37403;
    double latDec_ = 0.0;
    double lonDec_ = 0.0;
    std::array<std::int16_t, 3> refZone_{};
    std::array<double, 3> refFrac_{};
    std::array<double, 3> dLat_{};
    double dLon_ = 0.0;
};

} // namespace telvorn
