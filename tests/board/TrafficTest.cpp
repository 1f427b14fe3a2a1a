// The emulated traffic judged as a receiver sees it: every record agrees
// with its own frame, positions decode to where the aircraft really was,
// and the mix, the population and its turnover look like a ground station's.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>
#include <set>
#include <tuple>

#include "BoardTestKit.h"
#include "LineFormatter.h"
#include "ModeSReader.h"
#include "TrafficModel.h"
#include "modes/POS_Calc.h"
#include "table/Common.h"

namespace telvorn::board {
namespace {

using test::ReadModeS;
using test::RecordFields;

// Ten simulated minutes of 40 aircraft at 20 lines per second around the
// default stored position, with the simulated second each was heard.
const std::vector<std::pair<Message, double>>& Traffic()
{
    static const auto heard = [] {
        TrafficModel model(20261205, 40);
        std::vector<std::pair<Message, double>> lines;
        for (; model.now() < 600.0; model.advance(1.0 / 20.0))
            if (auto message = model.next(BoardState{}.station()))
                lines.emplace_back(std::move(*message), model.now());
        return lines;
    }();
    return heard;
}

std::optional<int> Int(const std::string& text)
{
    return text.empty() ? std::nullopt : std::optional<int>(std::atoi(text.c_str()));
}

// Frame lines pass their parity check and damaged ones fail it; records
// agree with their own frames, and their positions decode with the host's
// decoder to where the aircraft really was, and to the distance and bearing
// the board gives instead when asked.
TEST(Traffic, LinesAgreeWithTheirFrames)
{
    BoardState decoded;
    decoded.rawFrames = true;
    BoardState ranged = decoded;
    ranged.distance = true;
    BoardState raw = ranged; // raw CPR wins over distance
    raw.rawPosition = true;
    const GeoPoint station = decoded.station();
    POS_Calc positions;
    positions.LatLoc(station.lat);
    positions.LonLoc(station.lon);

    int records = 0;
    int airbornePositions = 0;
    for (const auto& [message, time] : Traffic()) {
        const std::string line = LineFormatter::Format(message, decoded);
        SCOPED_TRACE(line);
        if (message.kind == LineKind::Frame || message.kind == LineKind::DamagedFrame) {
            // Passed on with the marker of its parity check: "*" good, "-" damaged.
            const std::string hex = message.frame.hex();
            EXPECT_EQ(line, (ReadModeS(hex).parityStatus == "OK" ? "*" : "-") + hex + ";\r\n");
        }
        if (message.kind != LineKind::Record)
            continue;
        ++records;
        ASSERT_TRUE(line.starts_with("+") && line.ends_with(";\r\n"));
        const auto f = RecordFields(line);
        ASSERT_EQ(f.size(), 16u);
        const auto frame = ReadModeS(f[0]);
        EXPECT_EQ(frame.df, std::atoi(f[2].c_str()));
        EXPECT_EQ(frame.address, std::uint32_t(std::strtoul(f[3].c_str(), nullptr, 16)));
        if (frame.df == 11 || (frame.df >= 17 && frame.df <= 19)) {
            EXPECT_EQ(frame.parityStatus, "OK");
        }
        EXPECT_EQ(frame.callsign.value_or(""), f[4]);
        EXPECT_EQ(frame.category, f[5]);
        if (f[9] == "@")
            EXPECT_TRUE(frame.onGround);
        else
            EXPECT_EQ(frame.altitude, Int(f[9]));
        const std::pair<std::optional<int>, int> numbers[] = {
            {frame.cprFlag, 6}, {frame.verticalRate, 11}, {frame.east, 12}, {frame.north, 13}, {frame.airspeed, 15},
        };
        for (const auto& [value, field] : numbers)
            EXPECT_EQ(value, Int(f[std::size_t(field)])) << "field " << field;
        EXPECT_EQ(f[10], frame.squawk ? std::to_string(10000 + *frame.squawk).substr(1) : ""); // four octal digits
        EXPECT_EQ(frame.heading.has_value(), !f[14].empty());
        if (frame.heading) {
            EXPECT_NEAR(*frame.heading, std::atof(f[14].c_str()), 0.05);
            EXPECT_EQ(test::Decimals(f[14]), 1u);
        }
        if (!frame.cprFlag)
            continue;
        const auto cpr = RecordFields(LineFormatter::Format(message, raw));
        EXPECT_EQ(cpr[7] + "," + cpr[8], std::to_string(frame.yz) + "," + std::to_string(frame.xz));
        // The host's decoder, referenced at the receiver, finds the aircraft
        // where it was and where the decoded fields put it, within the reach
        // of a local decode (half a zone, 180 NM at best).
        if (frame.onGround || DistanceNm(station, message.truePosition) > 170.0)
            continue;
        ++airbornePositions;
        positions.LocallyPos(std::uint8_t(*frame.cprFlag), double(frame.yz), double(frame.xz));
        EXPECT_NEAR(positions.LatDec(), message.truePosition.lat, 0.0002);
        EXPECT_NEAR(positions.LonDec(), message.truePosition.lon, 0.0002);
        EXPECT_NEAR(positions.LatDec(), std::atof(f[7].c_str()), 0.0002);
        EXPECT_NEAR(positions.LonDec(), std::atof(f[8].c_str()), 0.0002);
        // Great-circle distance and initial bearing on the board's sphere.
        const auto d = RecordFields(LineFormatter::Format(message, ranged));
        const double rad = std::numbers::pi / 180.0;
        const double p1 = station.lat * rad, p2 = positions.LatDec() * rad;
        const double dl = (positions.LonDec() - station.lon) * rad;
        const double y = std::sin(dl) * std::cos(p2);
        const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
        const double cosAngle = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
        const double distance = std::atan2(std::hypot(x, y), cosAngle) * 3440.065;
        EXPECT_NEAR(std::atof(d[7].c_str()), distance, 0.06);
        if (distance > 10.0) {
            EXPECT_NEAR(std::remainder(std::atof(d[8].c_str()) - std::atan2(y, x) / rad, 360.0), 0.0, 0.15);
        }
    }
    EXPECT_GT(records, 8000);
    EXPECT_GT(airbornePositions, 1000);
}

// The mix of formats and line kinds, the population and its turnover, and
// the countries of the addresses look like a ground station's.
TEST(Traffic, LooksLikeAGroundStation)
{
    const auto& heard = Traffic();
    std::map<int, double> byFormat;
    std::map<LineKind, double> byKind;
    double onGround = 0;
    std::map<std::uint32_t, std::pair<double, double>> heardFromTo;
    std::set<std::string> countries;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const auto& [m, time] = heard[i];
        ++byKind[m.kind];
        if (m.kind == LineKind::Record) {
            ++byFormat[m.df];
            onGround += m.onGround ? 1 : 0;
            heardFromTo.try_emplace(m.address, time, time).first->second.second = time;
            countries.emplace(GetCountry(std::int32_t(m.address)));
            EXPECT_LT(DistanceNm(BoardState{}.station(), m.truePosition), 255.0);
            EXPECT_GE(m.altitude.value_or(0), -1000);
            EXPECT_LE(m.altitude.value_or(0), 45000);
            EXPECT_LT(std::hypot(m.eastVelocity.value_or(0), m.northVelocity.value_or(0)), 600.0);
            EXPECT_LT(m.airspeed.value_or(0), 600);
        }
        if (m.kind != LineKind::Alert)
            continue;
        // An alert follows the record that raised it and names its address:
        // the emergency squawk of an identity reply ('S'), or an emergency
        // status squitter ('M').
        ASSERT_GT(i, 0u);
        const Message& cause = heard[i - 1].first;
        EXPECT_EQ(LineFormatter::Format(m, {}), "!" + RecordFields(LineFormatter::Format(cause, {}))[3] + "," +
                                                    std::to_string(m.alertCode) + "," + m.alertSource + ";\r\n");
        const std::map<int, int> codeOf{{7500, 5}, {7600, 4}, {7700, 1}};
        const auto code = m.alertSource == 'S' && codeOf.contains(cause.squawk.value_or(0))
                              ? std::optional(codeOf.at(*cause.squawk))
                              : ReadModeS(cause.frame.hex()).emergency;
        EXPECT_EQ(code, m.alertCode) << m.alertSource;
        EXPECT_EQ(m.alertSource, cause.df == 17 ? 'M' : 'S');
    }
    for (const int df : {0, 4, 5, 11, 16, 17, 20, 21})
        EXPECT_GT(byFormat[df], 0) << "DF " << df;
    const double records = byKind[LineKind::Record];
    const double lines = double(heard.size());
    const std::tuple<const char*, double, double, double> shares[] = {
        {"DF 17 of records", byFormat[17] / records, 0.3, 1.0},
        {"DF 18 and 19 of records", (byFormat[18] + byFormat[19]) / records, 0.005, 0.1},
        {"on the ground of records", onGround / records, 0.02, 1.0},
        {"frame lines", byKind[LineKind::Frame] / lines, 0.01, 0.1},
        {"damaged frame lines", byKind[LineKind::DamagedFrame] / lines, 0.01, 0.06},
        {"alerts", byKind[LineKind::Alert] / lines, 0.0, 0.02},
    };
    for (const auto& [name, share, low, high] : shares) {
        EXPECT_GT(share, low) << name;
        EXPECT_LT(share, high) << name;
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

} // namespace
} // namespace telvorn::board
