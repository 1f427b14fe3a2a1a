#include "Operators.h"

#include <array>

namespace telvorn::board {

namespace {

// Address blocks of the ICAO allocation.
constexpr AddressBlock kFrance{0x380000, 0x40000};
constexpr AddressBlock kUnitedKingdom{0x404000, 0x20000}; // clear of the Bermuda sub-blocks
constexpr AddressBlock kGermany{0x3C0000, 0x30000};
constexpr AddressBlock kNetherlands{0x480000, 0x8000};
constexpr AddressBlock kIreland{0x4CA000, 0x1000};
constexpr AddressBlock kSpain{0x340000, 0x40000};
constexpr AddressBlock kItaly{0x300000, 0x3F000};
constexpr AddressBlock kSwitzerland{0x4B0000, 0x7000};
constexpr AddressBlock kAustria{0x440000, 0x8000};
constexpr AddressBlock kSweden{0x4A8000, 0x8000};
constexpr AddressBlock kDenmark{0x458000, 0x8000};
constexpr AddressBlock kNorway{0x478000, 0x8000};
constexpr AddressBlock kFinland{0x460000, 0x8000};
constexpr AddressBlock kPortugal{0x490000, 0x8000};
constexpr AddressBlock kPoland{0x488000, 0x8000};
constexpr AddressBlock kTurkey{0x4B8000, 0x8000};
constexpr AddressBlock kEmirates{0x896000, 0x1000};
constexpr AddressBlock kQatar{0x06A000, 0x400};
constexpr AddressBlock kUnitedStates{0xA00000, 0xE0000}; // civil part, below the military range
constexpr AddressBlock kCanada{0xC00000, 0x40000};
constexpr AddressBlock kChina{0x780000, 0x40000};
constexpr AddressBlock kJapan{0x840000, 0x40000};
constexpr AddressBlock kSingapore{0x768000, 0x8000};
constexpr AddressBlock kAustralia{0x7C0000, 0x40000};
constexpr AddressBlock kEthiopia{0x040000, 0x1000};
constexpr AddressBlock kMorocco{0x020000, 0x8000};
constexpr AddressBlock kEgypt{0x010000, 0x8000};
constexpr AddressBlock kRussia{0x100000, 0x100000};
constexpr AddressBlock kIsrael{0x738000, 0x8000};
constexpr AddressBlock kSaudiArabia{0x710000, 0x8000};
constexpr AddressBlock kSouthKorea{0x718000, 0x8000};
constexpr AddressBlock kIndia{0x800000, 0x40000};
constexpr AddressBlock kBrazil{0xE40000, 0x40000};
constexpr AddressBlock kArgentina{0xE00000, 0x40000};
constexpr AddressBlock kMexico{0x0D0000, 0x8000};
constexpr AddressBlock kHungary{0x470000, 0x8000};
constexpr AddressBlock kIceland{0x4CC000, 0x1000};
constexpr AddressBlock kGreece{0x468000, 0x8000};
constexpr AddressBlock kRomania{0x4A0000, 0x8000};
constexpr AddressBlock kCzechRepublic{0x498000, 0x8000};
constexpr AddressBlock kBelgium{0x448000, 0x7000};
constexpr AddressBlock kLuxembourg{0x4D0000, 0x300};
constexpr AddressBlock kTunisia{0x028000, 0x8000};
constexpr AddressBlock kAlgeria{0x0A0000, 0x8000};
constexpr AddressBlock kCroatia{0x501C00, 0x400};
constexpr AddressBlock kLatvia{0x502C00, 0x400};
constexpr AddressBlock kKenya{0x04C000, 0x1000};
constexpr AddressBlock kSouthAfrica{0x008000, 0x8000};
constexpr AddressBlock kNewZealand{0xC80000, 0x8000};
constexpr AddressBlock kThailand{0x880000, 0x8000};
constexpr AddressBlock kMalaysia{0x750000, 0x8000};
constexpr AddressBlock kIndonesia{0x8A0000, 0x8000};
constexpr AddressBlock kVietnam{0x888000, 0x8000};
constexpr AddressBlock kPakistan{0x760000, 0x8000};
constexpr AddressBlock kJordan{0x740000, 0x8000};
constexpr AddressBlock kLebanon{0x748000, 0x8000};
constexpr AddressBlock kKuwait{0x706000, 0x1000};
constexpr AddressBlock kOman{0x70C000, 0x400};
constexpr AddressBlock kChile{0xE80000, 0x1000};
constexpr AddressBlock kColombia{0x0AC000, 0x1000};

constexpr std::array kAirlines{
    Airline{"AFR", kFrance, 8, true},       Airline{"HOP", kFrance, 3, false},
    Airline{"TVF", kFrance, 3, false},      Airline{"EZY", kUnitedKingdom, 6, false},
    Airline{"BAW", kUnitedKingdom, 5, true}, Airline{"VIR", kUnitedKingdom, 1, true},
    Airline{"DLH", kGermany, 6, true},      Airline{"EWG", kGermany, 3, false},
    Airline{"KLM", kNetherlands, 4, true},  Airline{"TRA", kNetherlands, 2, false},
    Airline{"RYR", kIreland, 7, false},     Airline{"EIN", kIreland, 2, true},
    Airline{"IBE", kSpain, 2, true},        Airline{"VLG", kSpain, 4, false},
    Airline{"ITY", kItaly, 2, true},        Airline{"SWR", kSwitzerland, 3, true},
    Airline{"AUA", kAustria, 2, false},     Airline{"SAS", kSweden, 2, true},
    Airline{"DTR", kDenmark, 1, false},     Airline{"NAX", kNorway, 2, false},
    Airline{"FIN", kFinland, 1, true},      Airline{"TAP", kPortugal, 2, true},
    Airline{"LOT", kPoland, 1, false},      Airline{"THY", kTurkey, 3, true},
    Airline{"UAE", kEmirates, 2, true},     Airline{"QTR", kQatar, 2, true},
    Airline{"DAL", kUnitedStates, 2, true}, Airline{"UAL", kUnitedStates, 2, true},
    Airline{"FDX", kUnitedStates, 1, true}, Airline{"ACA", kCanada, 1, true},
    Airline{"CCA", kChina, 1, true},        Airline{"JAL", kJapan, 1, true},
    Airline{"SIA", kSingapore, 1, true},    Airline{"QFA", kAustralia, 1, true},
    Airline{"ETH", kEthiopia, 1, true},     Airline{"RAM", kMorocco, 1, false},
    Airline{"MSR", kEgypt, 1, false},       Airline{"AFL", kRussia, 1, true},
    Airline{"ELY", kIsrael, 1, true},       Airline{"SVA", kSaudiArabia, 1, true},
    Airline{"KAL", kSouthKorea, 1, true},   Airline{"AIC", kIndia, 1, true},
    Airline{"TAM", kBrazil, 1, true},       Airline{"ARG", kArgentina, 1, true},
    Airline{"AMX", kMexico, 1, true},       Airline{"WZZ", kHungary, 4, false},
    Airline{"ICE", kIceland, 1, false},     Airline{"AEE", kGreece, 1, false},
    Airline{"ROT", kRomania, 1, false},     Airline{"CSA", kCzechRepublic, 1, false},
    Airline{"BEL", kBelgium, 2, false},     Airline{"LGL", kLuxembourg, 1, false},
    Airline{"TAR", kTunisia, 1, false},     Airline{"DAH", kAlgeria, 1, false},
    Airline{"CTN", kCroatia, 1, false},     Airline{"BTI", kLatvia, 1, false},
    Airline{"KQA", kKenya, 1, true},        Airline{"SAA", kSouthAfrica, 1, true},
    Airline{"ANZ", kNewZealand, 1, true},   Airline{"THA", kThailand, 1, true},
    Airline{"MAS", kMalaysia, 1, true},     Airline{"GIA", kIndonesia, 1, true},
    Airline{"HVN", kVietnam, 1, true},      Airline{"PIA", kPakistan, 1, true},
    Airline{"RJA", kJordan, 1, false},      Airline{"MEA", kLebanon, 1, false},
    Airline{"KAC", kKuwait, 1, true},       Airline{"OMA", kOman, 1, true},
    Airline{"LAN", kChile, 1, true},        Airline{"AVA", kColombia, 1, true},
};

constexpr std::array kRegistrations{
    RegistrationStyle{"F", 4, kFrance, 6},      RegistrationStyle{"G", 4, kUnitedKingdom, 4},
    RegistrationStyle{"DE", 3, kGermany, 4},    RegistrationStyle{"HB", 3, kSwitzerland, 2},
    RegistrationStyle{"PH", 3, kNetherlands, 1}, RegistrationStyle{"OO", 3, kBelgium, 1},
    RegistrationStyle{"I", 4, kItaly, 2},       RegistrationStyle{"EC", 3, kSpain, 2},
    RegistrationStyle{"OE", 3, kAustria, 1},    RegistrationStyle{"SE", 3, kSweden, 1},
    RegistrationStyle{"N", 0, kUnitedStates, 2}, RegistrationStyle{"CG", 3, kCanada, 1},
    RegistrationStyle{"VH", 3, kAustralia, 1},  RegistrationStyle{"SP", 3, kPoland, 1},
    RegistrationStyle{"OK", 3, kCzechRepublic, 1}, RegistrationStyle{"EI", 3, kIreland, 1},
    RegistrationStyle{"CS", 3, kPortugal, 1},   RegistrationStyle{"LX", 3, kLuxembourg, 1},
};

// Air arms fly from the upper ends of their states' blocks.
constexpr std::array kMilitary{
    MilitaryOperator{"RCH", {0xAE0000, 0x10000}}, MilitaryOperator{"CTM", {0x3B7000, 0x1000}},
    MilitaryOperator{"GAF", {0x3F4000, 0x4000}},  MilitaryOperator{"RRR", {0x43C000, 0x1000}},
    MilitaryOperator{"IAM", {0x33F000, 0x1000}},  MilitaryOperator{"NATO", {0x4D0300, 0x100}},
    MilitaryOperator{"BAF", {0x44F000, 0x1000}},  MilitaryOperator{"SUI", {0x4B7000, 0x1000}},
};

constexpr std::array<std::string_view, 8> kVehicles{
    "FOLLOWME", "FIRE", "TUG", "OPS", "SNOW", "BIRD", "TOW", "MARSHAL",
};

} // namespace

std::span<const Airline> Airlines()
{
    return kAirlines;
}

std::span<const RegistrationStyle> Registrations()
{
    return kRegistrations;
}

std::span<const MilitaryOperator> MilitaryOperators()
{
    return kMilitary;
}

std::span<const std::string_view> VehicleCallsigns()
{
    return kVehicles;
}

} // namespace telvorn::board
