#include "MessageBuilder.h"

#include <algorithm>
#include <cmath>

#include "CprEncoder.h"
#include "ExtendedSquitter.h"
#include "ModeSCodes.h"

namespace telvorn::board {

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

bool SquawksEmergency(const Aircraft& a)
{
    return a.squawk == 7500 || a.squawk == 7600 || a.squawk == 7700;
}

// Flight status of surveillance replies: alert when the identity code is an
// emergency one, airborne or on the ground.
int FlightStatus(const Aircraft& a)
{
    const int alert = SquawksEmergency(a) ? 2 : 0;
    return alert + (a.onGround ? 1 : 0);
}

// Capability of DF 11 and DF 17: level 2 transponder on the ground (4) or airborne (5).
int Capability(const Aircraft& a)
{
    return a.onGround ? 4 : 5;
}

// BDS 2,0: the aircraft identification register read out through Comm-B.
std::uint64_t IdentificationRegister(const Aircraft& a)
{
    return (std::uint64_t(0x20) << 48) | CallsignCode48(a.callsign);
}

void AddAltitudeOrGround(Message& m, const Aircraft& a)
{
    if (a.onGround)
        m.onGround = true;
    else
        m.altitude = QuantizeAltitude(a.altitude);
}

Message Squitter(const Aircraft& a, std::uint64_t me)
{
    Message m;
    // DF 18 puts its control field and DF 19 its application field where
    // DF 17 has the capability; 0 in both means an ADS-B message with an
    // ICAO address.
    const int field = a.squitterFormat == 17 ? Capability(a) : 0;
    m.frame = FrameEncoder::ExtendedSquitter(a.squitterFormat, field, a.address, me);
    return m;
}

int QuantizeVerticalRate(double feetPerMinute)
{
    const long steps = std::clamp(std::lround(feetPerMinute / 64.0), -510L, 510L);
    return int(steps) * 64;
}

} // namespace

GeoPoint MessageBuilder::PositionOf(const Aircraft& a, GeoPoint station)
{
    const double distance = std::hypot(a.east, a.north);
    if (distance == 0.0)
        return station;
    return Destination(station, std::atan2(a.east, a.north) / kRad, distance);
}

Message MessageBuilder::Build(MessageType type, Aircraft& a, GeoPoint station)
{
    const int altitude = QuantizeAltitude(a.altitude);
    Message m;
    switch (type) {
    case MessageType::Identification:
        m = Squitter(a, IdentificationMe(a.categoryTypeCode, a.categoryNumber, a.callsign));
        m.callsign = CallsignText(a.callsign);
        m.category = a.category;
        // Only DF 17's capability field tells the ground; DF 18 and 19 carry no such flag.
        m.onGround = a.onGround && a.squitterFormat == 17;
        break;
    case MessageType::AirbornePosition:
    case MessageType::SurfacePosition: {
        const bool surface = type == MessageType::SurfacePosition;
        const GeoPoint where = PositionOf(a, station);
        const CprCode code = surface ? EncodeSurfaceCpr(where, a.nextOdd) : EncodeAirborneCpr(where, a.nextOdd);
        if (surface) {
            const int track = a.speed >= 0.5 ? int(std::lround(a.heading * 128.0 / 360.0)) & 0x7F : -1;
            m = Squitter(a, SurfacePositionMe(6, MovementCode(a.speed), track, a.nextOdd, code.yz, code.xz));
            m.onGround = true;
        } else {
            m = Squitter(a, AirbornePositionMe(a.positionTypeCode, AltitudeCode12(altitude), a.nextOdd, code.yz,
                                               code.xz));
            m.altitude = altitude;
        }
        m.position = PositionReport{a.nextOdd, code.yz, code.xz, surface, code.decoded};
        a.nextOdd = !a.nextOdd;
        break;
    }
    case MessageType::Velocity: {
        const int verticalRate = QuantizeVerticalRate(a.verticalRate);
        if (a.reportsAirspeed) {
            const int headingCode = int(std::lround(a.heading * 1024.0 / 360.0)) & 0x3FF;
            const int airspeed = std::clamp(int(std::lround(a.speed)), 0, 1022);
            m = Squitter(a, AirspeedVelocityMe(headingCode, airspeed, verticalRate));
            m.heading = headingCode * 360.0 / 1024.0;
            m.airspeed = airspeed;
        } else {
            const int east = std::clamp(int(std::lround(a.speed * std::sin(a.heading * kRad))), -1022, 1022);
            const int north = std::clamp(int(std::lround(a.speed * std::cos(a.heading * kRad))), -1022, 1022);
            m = Squitter(a, GroundVelocityMe(east, north, verticalRate));
            m.eastVelocity = east;
            m.northVelocity = north;
        }
        m.verticalRate = verticalRate;
        break;
    }
    case MessageType::EmergencyStatus:
        m = Squitter(a, EmergencyStatusMe(int(a.emergency), IdentityCode13(a.squawk)));
        m.squawk = a.squawk;
        break;
    case MessageType::OperationalStatus:
        m = Squitter(a, OperationalStatusMe(!a.onGround));
        m.kind = LineKind::Frame;
        break;
    case MessageType::AllCall:
        m.frame = FrameEncoder::AllCallReply(Capability(a), a.address);
        m.onGround = a.onGround;
        break;
    case MessageType::AltitudeReply:
    case MessageType::CommBAltitude: {
        const int df = type == MessageType::AltitudeReply ? 4 : 20;
        const std::uint64_t commB = df == 20 ? IdentificationRegister(a) : 0;
        m.frame = FrameEncoder::SurveillanceReply(df, FlightStatus(a), AltitudeCode13(altitude), a.address, commB);
        AddAltitudeOrGround(m, a);
        break;
    }
    case MessageType::IdentityReply:
    case MessageType::CommBIdentity: {
        const int df = type == MessageType::IdentityReply ? 5 : 21;
        const std::uint64_t commB = df == 21 ? IdentificationRegister(a) : 0;
        m.frame = FrameEncoder::SurveillanceReply(df, FlightStatus(a), IdentityCode13(a.squawk), a.address, commB);
        m.squawk = a.squawk;
        m.onGround = a.onGround;
        break;
    }
    case MessageType::AcasShort:
    case MessageType::AcasLong: {
        const int df = type == MessageType::AcasShort ? 0 : 16;
        // An ACAS coordination reply without a resolution advisory.
        const std::uint64_t payload = df == 16 ? std::uint64_t(0x30) << 48 : 0;
        m.frame = FrameEncoder::AirAirReply(df, a.onGround, AltitudeCode13(altitude), a.address, payload);
        AddAltitudeOrGround(m, a);
        break;
    }
    }
    m.df = m.frame.downlinkFormat();
    m.address = a.address;
    m.truePosition = PositionOf(a, station);
    return m;
}

Message MessageBuilder::Alert(const Aircraft& a, char source)
{
    Message m;
    m.kind = LineKind::Alert;
    m.address = a.address;
    m.alertCode = int(a.emergency);
    m.alertSource = source;
    return m;
}

Message MessageBuilder::Damage(Message message, Random& rng)
{
    const auto bits = std::uint32_t(message.frame.length * 8);
    const std::uint32_t first = rng.below(bits);
    message.frame.flipBit(first);
    // Any one or two flipped bits break the parity; the second must differ
    // from the first or the pair would cancel out.
    if (rng.chance(0.3))
        message.frame.flipBit((first + 1 + rng.below(bits - 1)) % bits);
    message.kind = LineKind::DamagedFrame;
    return message;
}

} // namespace telvorn::board
