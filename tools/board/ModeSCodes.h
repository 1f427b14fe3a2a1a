#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telvorn::board {

// Field codes shared by several Mode S formats.

// Barometric altitude in the 25-foot code (Q bit set): the value a receiver
// reads back, -1000 to 50175 ft. Higher altitudes need the Gillham code,
// which the emulated traffic never reaches.
int QuantizeAltitude(double feet);
// 12-bit altitude field of an airborne-position squitter.
std::uint32_t AltitudeCode12(int feet);
// 13-bit altitude field of surveillance and ACAS replies: the 12-bit code
// with the metric (M) bit inserted as zero.
std::uint32_t AltitudeCode13(int feet);

// 13-bit identity (Mode A) field. The squawk is its four octal digits written
// as a decimal number, 7700 for 7700.
std::uint32_t IdentityCode13(int squawk);

// The 6-bit character set of flight identification: eight characters packed
// into 48 bits, unknown characters sent as blanks.
std::uint64_t CallsignCode48(std::string_view callsign);
// The text a receiver shows for a call sign: upper case, trailing blanks cut.
std::string CallsignText(std::string_view callsign);

} // namespace telvorn::board
