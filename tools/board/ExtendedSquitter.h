#pragma once

#include <cstdint>
#include <string_view>

namespace telvorn::board {

// The 56-bit ME payloads of the extended squitter messages the emulated
// transponders send (version 2 formats). Inputs are already in transmitted
// units; each function returns the payload in the low 56 bits.

// Type codes 1-4 (category sets D, C, B, A) with the category number 0-7.
std::uint64_t IdentificationMe(int typeCode, int category, std::string_view callsign);

// Type codes 9-18: barometric altitude, CPR flag and fields.
std::uint64_t AirbornePositionMe(int typeCode, std::uint32_t altitudeCode12, bool odd, std::uint32_t yz,
                                 std::uint32_t xz);

// Type codes 5-8. Movement is the 7-bit quantised ground speed, track the
// 7-bit code of 360/128 degree steps, or negative when not valid.
std::uint64_t SurfacePositionMe(int typeCode, int movement, int track, bool odd, std::uint32_t yz,
                                std::uint32_t xz);
// The 7-bit movement code of a ground speed in knots (1 = stopped).
int MovementCode(double knots);

// Type code 19, subtype 1: ground speed as east and north components in
// knots (-1022..1022), vertical rate in ft/min as a multiple of 64.
std::uint64_t GroundVelocityMe(int eastKnots, int northKnots, int verticalRate);
// Type code 19, subtype 3: heading as a 10-bit code of 360/1024 degree steps,
// true airspeed in knots, vertical rate as above.
std::uint64_t AirspeedVelocityMe(int headingCode, int airspeedKnots, int verticalRate);

// Type code 28, subtype 1: emergency state 0-7 and the identity code.
std::uint64_t EmergencyStatusMe(int emergencyState, std::uint32_t identityCode13);

// Type code 31: aircraft operational status, airborne (subtype 0) or surface (1).
std::uint64_t OperationalStatusMe(bool airborne);

} // namespace telvorn::board
