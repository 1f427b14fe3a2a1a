#include "AircraftFactory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "Geo.h"
#include "Operators.h"

namespace telvorn::board {

namespace {

struct Category {
    const char* text;
    int typeCode;
    int number;
};

template <class Table>
const auto& PickWeighted(Random& rng, const Table& table)
{
    std::vector<double> weights;
    for (const auto& row : table)
        weights.push_back(row.weight);
    return table[rng.weighted(weights)];
}

std::string Letters(Random& rng, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += char('A' + rng.below(26));
    return text;
}

std::string AirlineFlight(Random& rng, std::string_view code)
{
    std::string callsign(code);
    if (rng.chance(0.7))
        return callsign + std::to_string(rng.between(1, rng.chance(0.5) ? 999 : 9999));
    return callsign + std::to_string(rng.between(1, 999)) + Letters(rng, rng.between(1, 2));
}

std::string Registration(Random& rng, const RegistrationStyle& style)
{
    if (style.letters > 0)
        return std::string(style.prefix) + Letters(rng, style.letters);
    // United States: N, a number that does not start with 0, up to two letters.
    return "N" + std::to_string(rng.between(1, 9999)) + Letters(rng, rng.between(0, 1));
}

std::uint32_t DrawAddress(Random& rng, AddressBlock block, const std::function<bool(std::uint32_t)>& taken)
{
    std::uint32_t address = block.first + rng.below(block.size);
    for (int attempt = 0; attempt < 64 && taken(address); ++attempt)
        address = block.first + rng.below(block.size);
    return address;
}

int DiscreteSquawk(Random& rng)
{
    // Codes that controllers assign: no 7xxx and none of the conspicuity codes.
    for (;;) {
        const int code = rng.between(1, 6) * 1000 + rng.between(0, 7) * 100 + rng.between(0, 7) * 10 +
                         rng.between(0, 7);
        if (code != 1200 && code != 2000)
            return code;
    }
}

Emergency DrawEmergency(Random& rng)
{
    static constexpr std::array<double, 5> kWeights{40, 15, 10, 25, 10};
    static constexpr std::array kKinds{Emergency::General, Emergency::Medical, Emergency::MinimumFuel,
                                       Emergency::Radio, Emergency::Unlawful};
    return kKinds[rng.weighted(kWeights)];
}

void SetCategory(Aircraft& a, Category category)
{
    a.category = category.text;
    a.categoryTypeCode = category.typeCode;
    a.categoryNumber = category.number;
}

} // namespace

AircraftFactory::AircraftFactory(double rangeNm) : rangeNm_(rangeNm) {}

Aircraft AircraftFactory::create(Random& rng, double now, bool initial,
                                 const std::function<bool(std::uint32_t)>& taken) const
{
    static constexpr std::array<double, 7> kKindWeights{12, 10, 50, 10, 5, 4, 5};
    static constexpr std::array kKinds{AircraftKind::Light,      AircraftKind::Regional, AircraftKind::Airliner,
                                       AircraftKind::Heavy,      AircraftKind::Rotorcraft,
                                       AircraftKind::Military,   AircraftKind::Vehicle};
    Aircraft a;
    a.kind = kKinds[rng.weighted(kKindWeights)];
    chooseIdentity(rng, a, taken);
    choosePerformance(rng, a);
    placeInArea(rng, a, now, initial);
    return a;
}

void AircraftFactory::chooseIdentity(Random& rng, Aircraft& a,
                                     const std::function<bool(std::uint32_t)>& taken) const
{
    a.squitterFormat = 17;
    a.squawk = DiscreteSquawk(rng);
    switch (a.kind) {
    case AircraftKind::Light:
    case AircraftKind::Rotorcraft: {
        const RegistrationStyle& style = PickWeighted(rng, Registrations());
        a.callsign = Registration(rng, style);
        a.address = DrawAddress(rng, style.block, taken);
        SetCategory(a, a.kind == AircraftKind::Light ? Category{"A1", 4, 1} : Category{"A7", 4, 7});
        // Many light aircraft carry a Mode S transponder without extended squitter.
        a.squitterFormat = rng.chance(a.kind == AircraftKind::Light ? 0.6 : 0.7) ? 17 : 0;
        if (rng.chance(0.7))
            a.squawk = 7000;
        break;
    }
    case AircraftKind::Military: {
        const auto operators = MilitaryOperators();
        const MilitaryOperator& op = operators[rng.below(std::uint32_t(operators.size()))];
        a.callsign = std::string(op.code) + std::to_string(rng.between(10, op.code.size() > 3 ? 99 : 9999));
        a.address = DrawAddress(rng, op.block, taken);
        const bool transport = op.code == "RCH" || op.code == "NATO";
        SetCategory(a, transport ? Category{"A5", 4, 5} : Category{"A6", 4, 6});
        a.squitterFormat = rng.chance(0.5) ? 19 : 0;
        break;
    }
    case AircraftKind::Vehicle: {
        const auto names = VehicleCallsigns();
        const std::string_view name = names[rng.below(std::uint32_t(names.size()))];
        a.callsign = name.size() >= 7 ? std::string(name) : std::string(name) + std::to_string(rng.between(1, 19));
        a.address = DrawAddress(rng, PickWeighted(rng, Registrations()).block, taken);
        SetCategory(a, name == "FIRE" ? Category{"C1", 2, 1} : Category{"C2", 2, 2});
        // A vehicle's ADS-B device is no transponder: it squitters as DF 18
        // and answers no interrogation.
        a.squitterFormat = 18;
        a.squawk = 0;
        break;
    }
    default: {
        const auto airlines = Airlines();
        std::vector<double> weights;
        for (const Airline& airline : airlines)
            weights.push_back(a.kind == AircraftKind::Heavy && !airline.longHaul ? 0.0 : airline.weight);
        const Airline& airline = airlines[rng.weighted(weights)];
        a.callsign = AirlineFlight(rng, airline.code);
        a.address = DrawAddress(rng, airline.block, taken);
        if (a.kind == AircraftKind::Regional)
            SetCategory(a, {"A2", 4, 2});
        else if (a.kind == AircraftKind::Heavy)
            SetCategory(a, {"A5", 4, 5});
        else
            SetCategory(a, rng.chance(0.05) ? Category{"A4", 4, 4} : Category{"A3", 4, 3});
        break;
    }
    }
    static constexpr std::array<double, 5> kTypeCodeWeights{10, 15, 60, 10, 5};
    a.positionTypeCode = 9 + int(rng.weighted(kTypeCodeWeights));
    a.reportsAirspeed = a.kind != AircraftKind::Vehicle && rng.chance(0.1);
    if (a.kind != AircraftKind::Vehicle && rng.chance(0.02)) {
        a.emergency = DrawEmergency(rng);
        if (a.emergency == Emergency::General)
            a.squawk = 7700;
        else if (a.emergency == Emergency::Radio)
            a.squawk = 7600;
        else if (a.emergency == Emergency::Unlawful)
            a.squawk = 7500;
    }
}

void AircraftFactory::choosePerformance(Random& rng, Aircraft& a) const
{
    struct Performance {
        double speedLow, speedHigh, altitudeLow, altitudeHigh, step, climb, descent;
    };
    static constexpr Performance kLight{90, 140, 2000, 9000, 500, 700, 500};
    static constexpr Performance kRegional{250, 320, 17000, 26000, 1000, 1800, 1500};
    static constexpr Performance kAirliner{420, 470, 30000, 39000, 1000, 2200, 1800};
    static constexpr Performance kHeavy{460, 500, 32000, 41000, 1000, 1800, 1800};
    static constexpr Performance kRotorcraft{100, 135, 500, 2500, 100, 800, 700};
    static constexpr Performance kMilitary{300, 480, 20000, 35000, 1000, 3000, 2500};
    static constexpr Performance kVehicle{0, 25, 0, 0, 100, 0, 0};
    const Performance* p = &kAirliner;
    switch (a.kind) {
    case AircraftKind::Light: p = &kLight; break;
    case AircraftKind::Regional: p = &kRegional; break;
    case AircraftKind::Airliner: p = &kAirliner; break;
    case AircraftKind::Heavy: p = &kHeavy; break;
    case AircraftKind::Rotorcraft: p = &kRotorcraft; break;
    case AircraftKind::Military: p = &kMilitary; break;
    case AircraftKind::Vehicle: p = &kVehicle; break;
    }
    a.cruiseSpeed = std::round(rng.uniform(p->speedLow, p->speedHigh));
    a.cruiseAltitude = std::round(rng.uniform(p->altitudeLow, p->altitudeHigh) / p->step) * p->step;
    a.climbRate = p->climb;
    a.descentRate = p->descent;
}

void AircraftFactory::placeInArea(Random& rng, Aircraft& a, double now, bool initial) const
{
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double outward = rng.uniform(0.0, 360.0);
    const auto placeAt = [&](double distance) {
        a.east = distance * std::sin(outward * kRad);
        a.north = distance * std::cos(outward * kRad);
    };
    const auto airborneAt = [&](double altitude, double heading, double speed) {
        a.altitude = altitude;
        a.heading = heading;
        a.speed = speed;
        a.onGround = false;
    };
    const double inbound = NormalizeDegrees(outward + 180.0);

    if (a.kind == AircraftKind::Vehicle)
        a.plan = FlightPlan::Surface;
    else if (a.kind == AircraftKind::Military)
        a.plan = FlightPlan::Overfly;
    else if (a.kind == AircraftKind::Light || a.kind == AircraftKind::Rotorcraft)
        a.plan = std::array{FlightPlan::Local, FlightPlan::Arrive, FlightPlan::Taxi}[rng.weighted(
            std::array<double, 3>{70, 15, 15})];
    else
        a.plan = std::array{FlightPlan::Overfly, FlightPlan::Arrive, FlightPlan::Taxi, FlightPlan::Depart}
            [rng.weighted(std::array<double, 4>{60, 20, 12, initial ? 8.0 : 0.0})];

    a.signalLost = now + 1e9;
    a.nextManoeuvre = now + rng.exponential(300.0);
    a.nextOdd = rng.chance(0.5);
    a.targetSpeed = a.cruiseSpeed;
    a.targetAltitude = a.cruiseAltitude;

    switch (a.plan) {
    case FlightPlan::Overfly:
        if (initial) {
            // Denser near the receiver, as line of sight favours close traffic.
            placeAt(rangeNm_ * std::pow(rng.uniform(), 0.75));
            airborneAt(a.cruiseAltitude, rng.uniform(0.0, 360.0), a.cruiseSpeed);
        } else if (rng.chance(0.75)) {
            placeAt(rangeNm_ * rng.uniform(0.9, 0.98));
            airborneAt(a.cruiseAltitude, NormalizeDegrees(inbound + rng.uniform(-60.0, 60.0)), a.cruiseSpeed);
        } else {
            // Climbing out of another airfield, heard once above the terrain.
            placeAt(rangeNm_ * rng.uniform(0.2, 0.8));
            airborneAt(std::round(rng.uniform(8000.0, a.cruiseAltitude) / 100.0) * 100.0,
                       rng.uniform(0.0, 360.0), a.cruiseSpeed * 0.8);
        }
        break;
    case FlightPlan::Arrive: {
        // Light aircraft and helicopters come from nearby fields, low and slow.
        const bool nearby = a.kind == AircraftKind::Light || a.kind == AircraftKind::Rotorcraft;
        const double distance = nearby    ? rng.uniform(8.0, 50.0)
                                : initial ? rng.uniform(8.0, 150.0)
                                          : rng.uniform(60.0, 160.0);
        placeAt(std::min(distance, rangeNm_ * 0.95));
        airborneAt(std::clamp(distance * 300.0, 1500.0, a.cruiseAltitude), inbound,
                   distance < 40.0 ? std::min(a.cruiseSpeed, 250.0) : a.cruiseSpeed);
        break;
    }
    case FlightPlan::Taxi:
        placeAt(rng.uniform(0.0, 0.8));
        a.heading = rng.uniform(0.0, 360.0);
        a.onGround = true;
        a.phaseEnds = now + rng.uniform(60.0, 360.0);
        a.targetSpeed = 15.0;
        break;
    case FlightPlan::Depart: {
        const double distance = rng.uniform(3.0, 40.0);
        placeAt(distance);
        airborneAt(std::min(a.cruiseAltitude, 1500.0 + distance * 700.0), outward,
                   std::min(a.cruiseSpeed, 250.0 + distance * 5.0));
        break;
    }
    case FlightPlan::Local:
        placeAt(rng.uniform(3.0, 60.0));
        airborneAt(a.cruiseAltitude, rng.uniform(0.0, 360.0), a.cruiseSpeed);
        a.signalLost = now + rng.exponential(1200.0);
        break;
    case FlightPlan::Surface:
    case FlightPlan::TaxiIn:
        placeAt(rng.uniform(0.0, 1.0));
        a.heading = rng.uniform(0.0, 360.0);
        a.onGround = true;
        a.speed = rng.uniform(0.0, a.cruiseSpeed);
        a.signalLost = now + rng.exponential(1800.0);
        break;
    }
    a.targetHeading = a.heading;
}

} // namespace telvorn::board
