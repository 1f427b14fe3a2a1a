// Frames built by the emulator against frames and field values published
// outside this project, and read back by an independent reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "CprEncoder.h"
#include "ExtendedSquitter.h"
#include "FrameEncoder.h"
#include "ModeSCodes.h"
#include "ModeSReader.h"
#include "modes/POS_Calc.h"

namespace telvorn::board {
namespace {

using test::Describe;
using test::ReadModeS;

ModeSFrame Squitter(int df, int capability, std::uint32_t address, std::uint64_t me)
{
    return FrameEncoder::ExtendedSquitter(df, capability, address, me);
}

// Frames and field values published outside this project: the reader reads
// each field a row names, and the encoder, given the same values, sends the
// same frame. Then built frames at the edges of their fields, read back
// whole; the traffic tests read the common ones by the thousand.
// Surveillance and ACAS replies carry the address only in their parity
// field; the reader recovers it as a receiver does.
TEST(FrameEncoder, FramesReadAndReproduce)
{
    struct Row {
        const char* hex; // published, or none for a built frame
        const char* fields; // tokens of Describe(), all of them for a built frame
        std::optional<ModeSFrame> built;
    };
    const Row rows[] = {
        {"8D4840D6202CC371C32CE0576098", "DF17 4840D6 OK TC4 KLM1023 A0",
         Squitter(17, 5, 0x4840D6, IdentificationMe(4, 0, "KLM1023"))},
        {"8D40621D58C382D690C8AC2863A7", "DF17 40621D OK TC11 alt=38000 cpr=0,93000,51372",
         Squitter(17, 5, 0x40621D, AirbornePositionMe(11, AltitudeCode12(38000), false, 93000, 51372))},
        {"8D40621D58C386435CC412692AD6", "OK alt=38000 cpr=1,74158,50194",
         Squitter(17, 5, 0x40621D, AirbornePositionMe(11, AltitudeCode12(38000), true, 74158, 50194))},
        // The all-call reply whose data word's parity is 0xF8740F.
        {"5D4840D6F8740F", "DF11 4840D6 OK", FrameEncoder::AllCallReply(5, 0x4840D6)},
        {"8D40058B58C901375147EFD09357", "alt=39000", {}},
        {"8D485020994409940838175B284F", "OK TC19/1 east=-8 north=-159 vr=-832", {}},
        {"8DA05F219B06B6AF189400CBC33F", "OK TC19/3 hdg=243.984375 tas=375 vr=-2304", {}},
        {"A02014B400000000000000F9D514", "DF20 alt=32300", {}},
        {"A800292DFFBBA9383FFCEB903D01", "DF21 squawk=1346", {}},
        {"2A00516D492B80", "DF5 squawk=0356", {}},
        {"A0001839CA3800315800007448D9", "DF20 400940", {}},
        {"A000139381951536E024D4CCF6B5", "DF20 3C4DD2", {}},
        {nullptr, "DF4 3C6445 alt=-1000", FrameEncoder::SurveillanceReply(4, 0, AltitudeCode13(-1000), 0x3C6445)},
        {nullptr, "DF20 A12345 ground alt=0",
         FrameEncoder::SurveillanceReply(20, 1, AltitudeCode13(0), 0xA12345, 0x20ull << 48)},
        {nullptr, "DF5 4CA1B2 squawk=7700", FrameEncoder::SurveillanceReply(5, 2, IdentityCode13(7700), 0x4CA1B2)},
        {nullptr, "DF16 0D0001 alt=50175",
         FrameEncoder::AirAirReply(16, false, AltitudeCode13(50175), 0x0D0001, 0x30ull << 48)},
        {nullptr, "DF11 E40001 OK ground", FrameEncoder::AllCallReply(4, 0xE40001)},
        // Squitters the seeded traffic sends rarely.
        {nullptr, "DF17 3C6444 OK TC28/1 squawk=7500 emergency=5",
         Squitter(17, 5, 0x3C6444, EmergencyStatusMe(5, IdentityCode13(7500)))},
        {nullptr, "DF18 3C6444 OK TC2 FIRE3 C1", Squitter(18, 0, 0x3C6444, IdentificationMe(2, 1, "FIRE3"))},
    };
    for (const Row& row : rows) {
        const std::string hex = row.hex ? row.hex : row.built->hex();
        SCOPED_TRACE(hex);
        const std::string read = Describe(ReadModeS(hex));
        if (!row.hex) {
            EXPECT_EQ(read, row.fields);
            continue;
        }
        std::istringstream fields(row.fields);
        for (std::string field; fields >> field;)
            EXPECT_NE((" " + read + " ").find(" " + field + " "), std::string::npos) << field << " not in " << read;
        if (row.built) {
            EXPECT_EQ(row.built->hex(), row.hex);
        }
    }
    // 13-bit fields as they stand in bits 20-32 of the published replies;
    // 2A00516D... has bit 26 (X, carrying nothing) set, the emulator sends it clear.
    EXPECT_EQ(AltitudeCode13(32300), 0x14B4u);
    EXPECT_EQ(IdentityCode13(1346), 0x092Du);
    EXPECT_EQ(IdentityCode13(356), 0x116Du & ~0x40u);
}

TEST(ModeSCodes, AltitudeAndMovementSteps)
{
    for (const auto& [feet, code] : {std::pair{38012.4, 38000}, {38012.6, 38025}, {-5000.0, -1000}, {60000.0, 50175}})
        EXPECT_EQ(QuantizeAltitude(feet), code) << feet;
    for (const auto& [knots, code] :
         {std::pair{0.0, 1}, {0.125, 2}, {1.0, 9}, {14.9, 38}, {15.0, 39}, {100.0, 109}, {175.0, 124}})
        EXPECT_EQ(MovementCode(knots), code) << knots;
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
        bool evenToo = true;
    };
    const Row rows[] = {
        {52.2572, 3.91937, 52.258, 3.918},     {48.72171, 2.37403, 48.72171, 2.37403},
        {46.1641, 3.44655, 48.72171, 2.37403}, {-33.9, 18.6, -34.5, 19.9},
        {-0.01, -0.01, 0.5, 0.5},              {10.4705, -75.2, 11.0, -74.0},
        {64.1, -21.9, 63.2, -20.0},            {-41.3, 174.8, -40.0, 176.0},
        {35.5, 179.95, 36.0, -179.5},          {87.2, 10.0, 86.0, 12.0},
        // Just below the transition latitude 10.4704713, but its odd grid
        // point 10.4704828 lies above it (and above the host decoder's own
        // threshold 10.4704802): the zones are the grid point's, 58, not 59.
        // Its even grid point falls between the two thresholds, where a
        // standard encoder and the host's decoder disagree by design.
        {10.470465, -75.2, 11.0, -74.0, false},
    };
    for (const Row& row : rows) {
        for (const bool odd : {false, true}) {
            if (!odd && !row.evenToo)
                continue;
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

TEST(CprEncoder, ZoneCountsFollowTheTransitionLatitudes)
{
    for (const auto& [lat, zones] :
         {std::pair{0.0, 59}, {10.47, 59}, {10.471, 58}, {48.7, 39}, {-48.7, 39}, {86.9, 2}, {87.0, 2}, {87.01, 1}})
        EXPECT_EQ(CprNL(lat), zones) << lat;
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
