#pragma once

#include <cstdint>
#include <string>

namespace telvorn::board {

enum class AircraftKind { Light, Regional, Airliner, Heavy, Rotorcraft, Military, Vehicle };

// What the aircraft is doing in the coverage area; it decides how it steers.
enum class FlightPlan {
    Overfly,  // crosses the area at cruise level, with the odd level or heading change
    Arrive,   // descends towards the receiver's airfield and lands
    Taxi,     // on the ground before take-off
    Depart,   // climbs out from the airfield to its cruise level
    TaxiIn,   // on the ground after landing, until it parks
    Local,    // light aircraft and helicopters wandering at low level
    Surface,  // airside vehicle, never airborne
};

// Emergencies and the alert code the board reports for each.
enum class Emergency { None = 0, General = 1, Medical = 2, MinimumFuel = 3, Radio = 4, Unlawful = 5 };

struct Aircraft {
    std::uint32_t address = 0;
    AircraftKind kind = AircraftKind::Airliner;
    FlightPlan plan = FlightPlan::Overfly;
    std::string callsign;
    // Emitter category as receivers print it ("A3"), and its wire form: the
    // identification type code (4 = set A ... 1 = set D) and number.
    std::string category;
    int categoryTypeCode = 4;
    int categoryNumber = 0;
    int squawk = 0; // four octal digits written as a decimal number
    Emergency emergency = Emergency::None;
    // 17, 18 (non-transponder device) or 19 (military); 0 for a transponder
    // without extended squitter, heard only through interrogation replies.
    int squitterFormat = 17;
    int positionTypeCode = 11;   // 9-18, from the navigation accuracy
    bool reportsAirspeed = false; // velocity as heading and airspeed (subtype 3)

    // Kinematics in a plane around the receiver: nautical miles east and
    // north of it, feet, degrees true, knots, feet per minute.
    double east = 0.0;
    double north = 0.0;
    double altitude = 0.0;
    double heading = 0.0;
    double speed = 0.0;
    double verticalRate = 0.0;
    bool onGround = false;

    double cruiseAltitude = 0.0;
    double cruiseSpeed = 0.0;
    double climbRate = 0.0;   // ft/min
    double descentRate = 0.0; // ft/min, positive
    double targetAltitude = 0.0;
    double targetHeading = 0.0;
    double targetSpeed = 0.0;

    // Simulation times in seconds.
    double phaseEnds = 0.0;     // end of taxiing, or parking after landing
    double nextManoeuvre = 0.0;
    double signalLost = 0.0;    // from then on it is no longer heard
    bool nextOdd = false;       // CPR format of its next position message
};

} // namespace telvorn::board
