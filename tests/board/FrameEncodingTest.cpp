// Frames built by the emulator against frames and field values published
// outside this project, and read back by an independent reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CprEncoder.h"
#include "ExtendedSquitter.h"
#include "FrameEncoder.h"
#include "ModeSCodes.h"
#include "ModeSReader.h"
#include "modes/POS_Calc.h"

namespace telvorn::board {
namespace {

using test::ReadModeS;

// The reader first proves itself on published frames.
TEST(ModeSReader, ReadsPublishedFrames)
{
    const auto ident = ReadModeS("8D4840D6202CC371C32CE0576098");
    EXPECT_EQ(ident.parityStatus, "OK");
    EXPECT_EQ(ident.address, 0x4840D6u);
    EXPECT_EQ(ident.callsign, "KLM1023");

    const auto position = ReadModeS("8D40621D58C382D690C8AC2863A7");
    EXPECT_EQ(position.altitude, 38000);
    EXPECT_EQ(position.cprFlag, 0);
    EXPECT_EQ(position.yz, 93000u);
    EXPECT_EQ(position.xz, 51372u);
    EXPECT_EQ(ReadModeS("8D40058B58C901375147EFD09357").altitude, 39000);

    const auto ground = ReadModeS("8D485020994409940838175B284F");
    EXPECT_EQ(ground.east, -8);
    EXPECT_EQ(ground.north, -159);
    EXPECT_EQ(ground.verticalRate, -832);

    const auto air = ReadModeS("8DA05F219B06B6AF189400CBC33F");
    EXPECT_EQ(air.subtype, 3);
    EXPECT_EQ(air.airspeed, 375);
    EXPECT_DOUBLE_EQ(*air.heading, 243.984375);
    EXPECT_EQ(air.verticalRate, -2304);

    EXPECT_EQ(ReadModeS("A02014B400000000000000F9D514").altitude, 32300);
    EXPECT_EQ(ReadModeS("A800292DFFBBA9383FFCEB903D01").squawk, 1346);
    EXPECT_EQ(ReadModeS("2A00516D492B80").squawk, 356);
    EXPECT_EQ(ReadModeS("A0001839CA3800315800007448D9").address, 0x400940u);
    EXPECT_EQ(ReadModeS("A000139381951536E024D4CCF6B5").address, 0x3C4DD2u);
}

TEST(FrameEncoder, ReproducesPublishedExtendedSquitters)
{
    EXPECT_EQ(FrameEncoder::ExtendedSquitter(17, 5, 0x4840D6, IdentificationMe(4, 0, "KLM1023")).hex(),
              "8D4840D6202CC371C32CE0576098");
    EXPECT_EQ(FrameEncoder::ExtendedSquitter(17, 5, 0x40621D,
                                             AirbornePositionMe(11, AltitudeCode12(38000), false, 93000, 51372))
                  .hex(),
              "8D40621D58C382D690C8AC2863A7");
    EXPECT_EQ(FrameEncoder::ExtendedSquitter(17, 5, 0x40621D,
                                             AirbornePositionMe(11, AltitudeCode12(38000), true, 74158, 50194))
                  .hex(),
              "8D40621D58C386435CC412692AD6");
    // The all-call reply whose data word's parity is 0xF8740F.
    EXPECT_EQ(FrameEncoder::AllCallReply(5, 0x4840D6).hex(), "5D4840D6F8740F");
}

TEST(FrameEncoder, FieldCodesMatchPublishedReplies)
{
    // 13-bit fields as they stand in bits 20-32 of the published replies.
    EXPECT_EQ(AltitudeCode13(32300), 0x14B4u); // A02014B4...
    EXPECT_EQ(IdentityCode13(1346), 0x092Du);  // A800292D...
    // 2A00516D... has bit 26 (X, carrying nothing) set; the emulator sends it clear.
    EXPECT_EQ(IdentityCode13(356), 0x116Du & ~0x40u);
}

// Surveillance and ACAS replies carry the address only in their parity
// field; the reader recovers it the way a receiver does.
TEST(FrameEncoder, ReplyFieldsReadBack)
{
    struct Row {
        const char* name;
        ModeSFrame frame;
        int df;
        std::uint32_t address;
        std::optional<int> altitude;
        std::optional<int> squawk;
        bool ground;
    };
    const Row rows[] = {
        {"DF4", FrameEncoder::SurveillanceReply(4, 0, AltitudeCode13(12375), 0x3C6444), 4, 0x3C6444, 12375, {}, false},
        {"DF4 low", FrameEncoder::SurveillanceReply(4, 0, AltitudeCode13(-1000), 0x3C6445), 4, 0x3C6445, -1000, {},
         false},
        {"DF20 on ground", FrameEncoder::SurveillanceReply(20, 1, AltitudeCode13(0), 0xA12345, 0x20ull << 48), 20,
         0xA12345, 0, {}, true},
        {"DF5 emergency", FrameEncoder::SurveillanceReply(5, 2, IdentityCode13(7700), 0x4CA1B2), 5, 0x4CA1B2, {}, 7700,
         false},
        {"DF21", FrameEncoder::SurveillanceReply(21, 0, IdentityCode13(1234), 0x780001, 0x20ull << 48), 21, 0x780001,
         {}, 1234, false},
        {"DF0", FrameEncoder::AirAirReply(0, false, AltitudeCode13(41000), 0x896001), 0, 0x896001, 41000, {}, false},
        {"DF16", FrameEncoder::AirAirReply(16, false, AltitudeCode13(50175), 0x0D0001, 0x30ull << 48), 16, 0x0D0001,
         50175, {}, false},
        {"DF11 on ground", FrameEncoder::AllCallReply(4, 0xE40001), 11, 0xE40001, {}, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto read = ReadModeS(row.frame.hex());
        EXPECT_EQ(read.df, row.df);
        EXPECT_EQ(read.address, row.address);
        EXPECT_EQ(read.altitude, row.altitude);
        EXPECT_EQ(read.squawk, row.squawk);
        EXPECT_EQ(read.onGround, row.ground);
    }
}

// Squitters the seeded traffic sends rarely; velocities and the rest are
// read back by the traffic tests by the thousand.
TEST(FrameEncoder, EmergencyAndVehicleSquittersReadBack)
{
    const auto emergency =
        ReadModeS(FrameEncoder::ExtendedSquitter(17, 5, 0x3C6444, EmergencyStatusMe(5, IdentityCode13(7500))).hex());
    EXPECT_EQ(emergency.parityStatus, "OK");
    EXPECT_EQ(emergency.typeCode, 28);
    EXPECT_EQ(emergency.emergency, 5);
    EXPECT_EQ(emergency.squawk, 7500);

    const auto vehicle =
        ReadModeS(FrameEncoder::ExtendedSquitter(18, 0, 0x3C6444, IdentificationMe(2, 1, "FIRE3")).hex());
    EXPECT_EQ(vehicle.df, 18);
    EXPECT_EQ(vehicle.parityStatus, "OK");
    EXPECT_EQ(vehicle.callsign, "FIRE3");
    EXPECT_EQ(vehicle.category, "C1");
}

TEST(ModeSCodes, AltitudeAndMovementSteps)
{
    EXPECT_EQ(QuantizeAltitude(38012.4), 38000);
    EXPECT_EQ(QuantizeAltitude(38012.6), 38025);
    EXPECT_EQ(QuantizeAltitude(-5000), -1000);
    EXPECT_EQ(QuantizeAltitude(60000), 50175);
    EXPECT_EQ(MovementCode(0.0), 1);
    EXPECT_EQ(MovementCode(0.125), 2);
    EXPECT_EQ(MovementCode(1.0), 9);
    EXPECT_EQ(MovementCode(14.9), 38);
    EXPECT_EQ(MovementCode(15.0), 39);
    EXPECT_EQ(MovementCode(100.0), 109);
    EXPECT_EQ(MovementCode(175.0), 124);
    EXPECT_EQ(CallsignText("ezy45tp "), "EZY45TP");
    EXPECT_EQ(CallsignText("A-B"), "A B");
}

// Encoded positions decode, against a receiver within 170 NM, to the point
// encoded, within the CPR grid. Rows cover all four quadrants, both formats,
// longitude-zone boundaries and the antimeridian.
TEST(CprEncoder, AirborneFieldsDecodeWithThePositionDecoder)
{
    struct Row {
        double lat, lon, refLat, refLon;
    };
    const Row rows[] = {
        {52.2572, 3.91937, 52.258, 3.918},   {48.72171, 2.37403, 48.72171, 2.37403},
        {46.1641, 3.44655, 48.72171, 2.37403}, {-33.9, 18.6, -34.5, 19.9},
        {-0.01, -0.01, 0.5, 0.5},            {10.4705, -75.2, 11.0, -74.0},
        {64.1, -21.9, 63.2, -20.0},          {-41.3, 174.8, -40.0, 176.0},
        {35.5, 179.95, 36.0, -179.5},        {87.2, 10.0, 86.0, 12.0},
    };
    for (const Row& row : rows) {
        for (const bool odd : {false, true}) {
            SCOPED_TRACE(testing::Message() << row.lat << "," << row.lon << (odd ? " odd" : " even"));
            const CprCode code = EncodeAirborneCpr({row.lat, row.lon}, odd);
            POS_Calc decoder;
            decoder.LatLoc(row.refLat);
            decoder.LonLoc(row.refLon);
            decoder.LocallyPos(std::uint8_t(odd), double(code.yz), double(code.xz));
            // Near the poles a longitude zone spans up to 360 degrees, and one
            // step of its 17-bit fraction is wider than 0.0002 degree.
            const double lonStep = std::max(0.0002, decoder.DLon() / 131072.0);
            EXPECT_NEAR(decoder.LatDec(), row.lat, 0.0002);
            EXPECT_NEAR(std::remainder(decoder.LonDec() - row.lon, 360.0), 0.0, lonStep);
            EXPECT_NEAR(code.decoded.lat, row.lat, 0.0001);
            EXPECT_NEAR(std::remainder(code.decoded.lon - row.lon, 360.0), 0.0, lonStep);
        }
    }
}

// 10.470465 lies just below the transition latitude 10.4704713, but its odd
// grid point, 10.4704828, lies above it (and above the host decoder's own,
// slightly higher threshold 10.4704802): the longitude zones must be those of
// the grid point the receiver sees, 58, not those of the raw latitude, 59.
// (Its even grid point, 10.4704742, falls between the two thresholds, where
// a standard encoder and the host's decoder disagree by design.)
TEST(CprEncoder, ZoneCountComesFromTheGridPoint)
{
    const CprCode code = EncodeAirborneCpr({10.470465, -75.2}, true);
    EXPECT_EQ(CprNL(code.decoded.lat), 58);
    POS_Calc decoder;
    decoder.LatLoc(11.0);
    decoder.LonLoc(-74.0);
    decoder.LocallyPos(std::uint8_t(1), double(code.yz), double(code.xz));
    EXPECT_NEAR(decoder.LatDec(), 10.470465, 0.0002);
    EXPECT_NEAR(decoder.LonDec(), -75.2, 0.0002);
}

TEST(CprEncoder, ZoneCountsFollowTheTransitionLatitudes)
{
    EXPECT_EQ(CprNL(0.0), 59);
    EXPECT_EQ(CprNL(10.47), 59);
    EXPECT_EQ(CprNL(10.471), 58);
    EXPECT_EQ(CprNL(48.7), 39);
    EXPECT_EQ(CprNL(-48.7), 39);
    EXPECT_EQ(CprNL(86.9), 2);
    EXPECT_EQ(CprNL(87.0), 2);
    EXPECT_EQ(CprNL(87.01), 1);
}

// Surface fields carry the fraction of a 90-degree zone set: a receiver that
// knows its quadrant recovers the position with a resolution of about a metre.
TEST(CprEncoder, SurfaceFieldsUseNinetyDegreeZones)
{
    const GeoPoint where{48.7234, 2.3795};
    for (const bool odd : {false, true}) {
        const CprCode code = EncodeSurfaceCpr(where, odd);
        const double dLat = 90.0 / (odd ? 59 : 60);
        const double lat = dLat * (std::floor(where.lat / dLat) + code.yz / 131072.0);
        const int zones = CprNL(lat) - (odd ? 1 : 0);
        const double dLon = 90.0 / zones;
        const double lon = dLon * (std::floor(where.lon / dLon) + code.xz / 131072.0);
        EXPECT_NEAR(lat, where.lat, 0.00002);
        EXPECT_NEAR(lon, where.lon, 0.00003);
    }
}

} // namespace
} // namespace telvorn::board
