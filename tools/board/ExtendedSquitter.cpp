#include "ExtendedSquitter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "BitPacker.h"
#include "ModeSCodes.h"

namespace telvorn::board {

namespace {

// Vertical rate field: source (1 = barometric), sign (1 = down) and the rate
// in 64 ft/min steps plus one.
void PutVerticalRate(BitPacker& bits, int verticalRate)
{
    const int steps = std::min(std::abs(verticalRate) / 64, 510);
    bits.put(1, 1).put(verticalRate < 0 ? 1 : 0, 1).put(std::uint64_t(steps + 1), 9);
    // Two reserved bits, then no GNSS-barometric difference.
    bits.put(0, 2).put(0, 1).put(0, 7);
}

void PutSpeedComponent(BitPacker& bits, int knots)
{
    const int magnitude = std::min(std::abs(knots), 1022);
    bits.put(knots < 0 ? 1 : 0, 1).put(std::uint64_t(magnitude + 1), 10);
}

} // namespace

std::uint64_t IdentificationMe(int typeCode, int category, std::string_view callsign)
{
    BitPacker bits;
    bits.put(std::uint64_t(typeCode), 5).put(std::uint64_t(category), 3).put(CallsignCode48(callsign), 48);
    return bits.word();
}

std::uint64_t AirbornePositionMe(int typeCode, std::uint32_t altitudeCode12, bool odd, std::uint32_t yz,
                                 std::uint32_t xz)
{
    BitPacker bits;
    // Surveillance status 0 (no condition), single antenna flag 0, time bit 0.
    bits.put(std::uint64_t(typeCode), 5).put(0, 2).put(0, 1).put(altitudeCode12, 12);
    bits.put(0, 1).put(odd ? 1 : 0, 1).put(yz, 17).put(xz, 17);
    return bits.word();
}

std::uint64_t SurfacePositionMe(int typeCode, int movement, int track, bool odd, std::uint32_t yz,
                                std::uint32_t xz)
{
    BitPacker bits;
    bits.put(std::uint64_t(typeCode), 5).put(std::uint64_t(movement), 7);
    bits.put(track >= 0 ? 1 : 0, 1).put(std::uint64_t(std::max(track, 0)), 7);
    bits.put(0, 1).put(odd ? 1 : 0, 1).put(yz, 17).put(xz, 17);
    return bits.word();
}

int MovementCode(double knots)
{
    // Finer steps at taxi speeds, coarser at take-off speeds.
    struct Band {
        double from;
        double step;
        int firstCode;
    };
    static constexpr Band kBands[] = {
        {0.125, 0.125, 2}, {1.0, 0.25, 9}, {2.0, 0.5, 13}, {15.0, 1.0, 39}, {70.0, 2.0, 94}, {100.0, 5.0, 109},
    };
    if (knots < 0.125)
        return 1;
    if (knots >= 175.0)
        return 124;
    int code = 1;
    for (const Band& band : kBands)
        if (knots >= band.from)
            code = band.firstCode + int(std::floor((knots - band.from) / band.step));
    return code;
}

std::uint64_t GroundVelocityMe(int eastKnots, int northKnots, int verticalRate)
{
    BitPacker bits;
    // Subtype 1, no intent change, no IFR capability, velocity accuracy category 1.
    bits.put(19, 5).put(1, 3).put(0, 1).put(0, 1).put(1, 3);
    PutSpeedComponent(bits, eastKnots);
    PutSpeedComponent(bits, northKnots);
    PutVerticalRate(bits, verticalRate);
    return bits.word();
}

std::uint64_t AirspeedVelocityMe(int headingCode, int airspeedKnots, int verticalRate)
{
    BitPacker bits;
    bits.put(19, 5).put(3, 3).put(0, 1).put(0, 1).put(1, 3);
    bits.put(1, 1).put(std::uint64_t(headingCode & 0x3FF), 10);
    // Airspeed type 1: true airspeed.
    bits.put(1, 1).put(std::uint64_t(std::clamp(airspeedKnots, 0, 1022) + 1), 10);
    PutVerticalRate(bits, verticalRate);
    return bits.word();
}

std::uint64_t EmergencyStatusMe(int emergencyState, std::uint32_t identityCode13)
{
    BitPacker bits;
    bits.put(28, 5).put(1, 3).put(std::uint64_t(emergencyState), 3).put(identityCode13, 13).put(0, 32);
    return bits.word();
}

std::uint64_t OperationalStatusMe(bool airborne)
{
    BitPacker bits;
    // Capability and mode words of an ordinary version 2 transponder: ACAS
    // operational and 1090ES in when airborne, NACp 9, SIL 3, NIC baro set.
    bits.put(31, 5).put(airborne ? 0 : 1, 3).put(airborne ? 0x2800 : 0x0800, 16).put(0, 16);
    bits.put(2, 3).put(0, 1).put(9, 4).put(2, 2).put(3, 2).put(1, 1).put(0, 1).put(0, 1).put(0, 1);
    return bits.word();
}

} // namespace telvorn::board
