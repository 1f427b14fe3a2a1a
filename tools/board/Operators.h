#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace telvorn::board {

// A run of ICAO addresses allocated to one state (or to a part of its fleet).
struct AddressBlock {
    std::uint32_t first = 0;
    std::uint32_t size = 0;
};

// An airline: its ICAO telephony designator, the state whose address block
// registers its fleet, how often it shows up, and whether it flies
// wide-bodies. Short-haul operators also provide the regional traffic.
struct Airline {
    std::string_view code;
    AddressBlock block;
    double weight;
    bool longHaul;
};

// How a state writes the registration that light aircraft use as their
// flight identification: a fixed prefix followed by letters, or, for the
// United States, "N" and digits.
struct RegistrationStyle {
    std::string_view prefix;
    int letters;
    AddressBlock block;
    double weight;
};

// Military call-sign prefixes and the part of the state's block its air arm uses.
struct MilitaryOperator {
    std::string_view code;
    AddressBlock block;
};

std::span<const Airline> Airlines();
std::span<const RegistrationStyle> Registrations();
std::span<const MilitaryOperator> MilitaryOperators();
// Call signs of airside vehicles.
std::span<const std::string_view> VehicleCallsigns();

} // namespace telvorn::board
