// The emulated traffic judged as a receiver sees it: every record agrees
// with its own frame, positions decode to where the aircraft really was,
// and the mix, the population and its turnover look like a ground station's.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "LineFormatter.h"
#include "ModeSReader.h"
#include "TrafficRun.h"
#include "modes/POS_Calc.h"
#include "table/Common.h"

namespace telvorn::board {
namespace {

using test::ReadModeS;
using test::RecordFields;

std::optional<int> Int(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    return std::atoi(text.c_str());
}

// Ten simulated minutes of 40 aircraft at 20 lines per second.
const std::vector<test::Heard>& Traffic()
{
    static const auto heard = test::RunTraffic(20261205, 40, 600.0, 20.0);
    return heard;
}

TEST(Traffic, RecordsAgreeWithTheirFrames)
{
    BoardState decoded;
    decoded.rawFrames = true;
    BoardState raw = decoded;
    raw.rawPosition = true;
    POS_Calc positions;
    positions.LatLoc(decoded.station().lat);
    positions.LonLoc(decoded.station().lon);

    int records = 0;
    int airbornePositions = 0;
    for (const auto& [message, time] : Traffic()) {
        if (message.kind != LineKind::Record)
            continue;
        ++records;
        const std::string line = LineFormatter::Format(message, decoded);
        SCOPED_TRACE(line);
        const auto f = RecordFields(line);
        ASSERT_EQ(f.size(), 16u);
        const auto frame = ReadModeS(f[0]);
        ASSERT_TRUE(frame.wellFormed);
        EXPECT_EQ(frame.df, std::atoi(f[2].c_str()));
        EXPECT_EQ(frame.address, std::uint32_t(std::strtoul(f[3].c_str(), nullptr, 16)));
        if (frame.df == 11 || (frame.df >= 17 && frame.df <= 19)) {
            EXPECT_EQ(frame.parityStatus, "OK");
        }
        EXPECT_EQ(frame.callsign.value_or(""), f[4]);
        EXPECT_EQ(frame.category, f[5]);
        if (f[9] == "@") {
            EXPECT_TRUE(frame.onGround);
        } else {
            EXPECT_EQ(frame.altitude, Int(f[9]));
        }
        EXPECT_EQ(frame.squawk, Int(f[10]));
        EXPECT_EQ(frame.verticalRate, Int(f[11]));
        EXPECT_EQ(frame.east, Int(f[12]));
        EXPECT_EQ(frame.north, Int(f[13]));
        EXPECT_EQ(frame.heading.has_value(), !f[14].empty());
        if (frame.heading) {
            EXPECT_NEAR(*frame.heading, std::atof(f[14].c_str()), 0.05);
        }
        EXPECT_EQ(frame.airspeed, Int(f[15]));

        EXPECT_EQ(frame.cprFlag, Int(f[6]));
        if (!frame.cprFlag)
            continue;
        // Raw position mode carries the frame's own CPR fields.
        const auto rawFields = RecordFields(LineFormatter::Format(message, raw));
        EXPECT_EQ(rawFields[7], std::to_string(frame.yz));
        EXPECT_EQ(rawFields[8], std::to_string(frame.xz));
        if (frame.onGround)
            continue;
        // The host's own decoder, referenced at the receiver, finds the
        // aircraft where it was and where the board's decoded fields put it,
        // within the reach of a local decode (half a zone, 180 NM at best).
        if (DistanceNm(decoded.station(), message.truePosition) > 170.0)
            continue;
        ++airbornePositions;
        positions.LocallyPos(std::uint8_t(*frame.cprFlag), double(frame.yz), double(frame.xz));
        EXPECT_NEAR(positions.LatDec(), message.truePosition.lat, 0.0002);
        EXPECT_NEAR(positions.LonDec(), message.truePosition.lon, 0.0002);
        EXPECT_NEAR(positions.LatDec(), std::atof(f[7].c_str()), 0.0002);
        EXPECT_NEAR(positions.LonDec(), std::atof(f[8].c_str()), 0.0002);
    }
    EXPECT_GT(records, 8000);
    EXPECT_GT(airbornePositions, 1000);
}

TEST(Traffic, FrameLinesPassOrFailTheirParityCheck)
{
    int good = 0;
    int damaged = 0;
    for (const auto& [message, time] : Traffic()) {
        if (message.kind == LineKind::Frame) {
            ++good;
            EXPECT_EQ(ReadModeS(message.frame.hex()).parityStatus, "OK") << message.frame.hex();
        } else if (message.kind == LineKind::DamagedFrame) {
            ++damaged;
            EXPECT_NE(ReadModeS(message.frame.hex()).parityStatus, "OK") << message.frame.hex();
        }
    }
    EXPECT_GT(good, 0);
    EXPECT_GT(damaged, 0);
}

TEST(Traffic, MixLooksLikeAGroundStation)
{
    // More aircraft, so that emergencies are sure to be among them.
    const auto heard = test::RunTraffic(7, 150, 120.0, 100.0);
    std::map<int, int> byFormat;
    std::map<LineKind, int> byKind;
    int onGround = 0;
    int alerts = 0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const Message& m = heard[i].message;
        ++byKind[m.kind];
        if (m.kind == LineKind::Record) {
            ++byFormat[m.df];
            onGround += m.onGround ? 1 : 0;
        }
        if (m.kind != LineKind::Alert)
            continue;
        // An alert follows the record that raised it: the emergency squawk of
        // an identity reply, or an emergency status squitter.
        ++alerts;
        ASSERT_GT(i, 0u);
        const Message& cause = heard[i - 1].message;
        EXPECT_EQ(cause.address, m.address);
        ASSERT_TRUE(cause.squawk);
        if (m.alertSource == 'S') {
            const std::map<int, int> codeOf{{7500, 5}, {7600, 4}, {7700, 1}};
            ASSERT_TRUE(codeOf.count(*cause.squawk)) << *cause.squawk;
            EXPECT_EQ(m.alertCode, codeOf.at(*cause.squawk));
        } else {
            EXPECT_EQ(m.alertSource, 'M');
            EXPECT_EQ(ReadModeS(cause.frame.hex()).emergency, m.alertCode);
        }
    }
    const double records = byKind[LineKind::Record];
    const double lines = double(heard.size());
    for (const int df : {0, 4, 5, 11, 16, 17, 20, 21})
        EXPECT_GT(byFormat[df], 0) << "DF " << df;
    EXPECT_GT(byFormat[17] / records, 0.3);
    const double rejected = (byFormat[18] + byFormat[19]) / records;
    EXPECT_GT(rejected, 0.005);
    EXPECT_LT(rejected, 0.1);
    EXPECT_GT(byKind[LineKind::Frame] / lines, 0.01);
    EXPECT_LT(byKind[LineKind::Frame] / lines, 0.1);
    EXPECT_GT(byKind[LineKind::DamagedFrame] / lines, 0.01);
    EXPECT_LT(byKind[LineKind::DamagedFrame] / lines, 0.06);
    EXPECT_GT(onGround / records, 0.02);
    EXPECT_GT(alerts, 0);
    EXPECT_LT(alerts / lines, 0.02);
}

TEST(Traffic, AircraftComeAndGoAroundTheReceiver)
{
    const GeoPoint station = BoardState{}.station();
    std::map<std::uint32_t, std::pair<double, double>> heardFromTo;
    std::set<std::string> countries;
    for (const auto& [m, time] : Traffic()) {
        if (m.kind != LineKind::Record)
            continue;
        auto [it, fresh] = heardFromTo.try_emplace(m.address, time, time);
        it->second.second = time;
        countries.emplace(GetCountry(std::int32_t(m.address)));
        EXPECT_LT(DistanceNm(station, m.truePosition), 255.0);
        if (m.altitude) {
            EXPECT_GE(*m.altitude, -1000);
            EXPECT_LE(*m.altitude, 45000);
        }
        if (m.eastVelocity) {
            EXPECT_LT(std::hypot(*m.eastVelocity, *m.northVelocity), 600.0);
        }
        if (m.airspeed) {
            EXPECT_LT(*m.airspeed, 600);
        }
    }
    int gone = 0;    // heard early, silent for the last 200 s: work for the purge
    int arrived = 0; // first heard after the first minute
    int present = 0;
    for (const auto& [address, span] : heardFromTo) {
        gone += span.first < 60.0 && span.second < 400.0 ? 1 : 0;
        arrived += span.first > 60.0 ? 1 : 0;
        present += span.second > 590.0 ? 1 : 0;
    }
    EXPECT_GE(gone, 3);
    EXPECT_GE(arrived, 3);
    EXPECT_GE(present, 20);
    EXPECT_LE(present, 80);
    countries.erase("");
    EXPECT_GE(countries.size(), 15u);
}

TEST(Traffic, SameSeedSameTraffic)
{
    const auto first = test::RunTraffic(99, 30, 60.0, 50.0);
    const auto second = test::RunTraffic(99, 30, 60.0, 50.0);
    const auto other = test::RunTraffic(100, 30, 60.0, 50.0);
    ASSERT_EQ(first.size(), second.size());
    const BoardState state;
    std::string a, b, c;
    for (std::size_t i = 0; i < first.size(); ++i) {
        a += LineFormatter::Format(first[i].message, state);
        b += LineFormatter::Format(second[i].message, state);
    }
    for (const auto& heard : other)
        c += LineFormatter::Format(heard.message, state);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

} // namespace
} // namespace telvorn::board
