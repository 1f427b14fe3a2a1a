#pragma once

#include "Aircraft.h"
#include "Geo.h"
#include "Message.h"
#include "Random.h"

namespace telvorn::board {

enum class MessageType {
    Identification,    // DF 17/18/19, type codes 1-4
    AirbornePosition,  // type codes 9-18
    SurfacePosition,   // type codes 5-8
    Velocity,          // type code 19
    EmergencyStatus,   // type code 28
    OperationalStatus, // type code 31: passed on as a frame line
    AllCall,           // DF 11
    AltitudeReply,     // DF 4
    IdentityReply,     // DF 5
    CommBAltitude,     // DF 20
    CommBIdentity,     // DF 21
    AcasShort,         // DF 0
    AcasLong,          // DF 16
};

// Turns an aircraft's state into one message: the frame its transponder
// sends and the values a receiver decodes from it.
class MessageBuilder {
public:
    // Position messages alternate the aircraft's CPR format, so `a` changes.
    static Message Build(MessageType type, Aircraft& a, GeoPoint station);
    // The alert the board raises for an aircraft's emergency.
    static Message Alert(const Aircraft& a, char source);
    // The same frame with one or two bits flipped, passed on as damaged.
    static Message Damage(Message message, Random& rng);
    // The aircraft's geodetic position: its plane offsets laid out from the
    // receiver as distance and bearing.
    static GeoPoint PositionOf(const Aircraft& a, GeoPoint station);
};

} // namespace telvorn::board
