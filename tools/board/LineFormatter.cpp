#include "LineFormatter.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace telvorn::board {

namespace {

// Fixed-point text with "." whatever the locale.
std::string Fixed(double value, int decimals)
{
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::string Hex6(std::uint32_t address)
{
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%06X", static_cast<unsigned>(address & 0xFFFFFFu));
    return buffer.data();
}

std::string Squawk(int squawk)
{
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d", squawk);
    return buffer.data();
}

std::string Optional(const std::optional<int>& value)
{
    return value ? std::to_string(*value) : std::string();
}

} // namespace

std::string LineFormatter::Format(const Message& message, const BoardState& state)
{
    std::string line;
    switch (message.kind) {
    case LineKind::Record:
        line = "+" + Record(message, state);
        break;
    case LineKind::Frame:
        line = "*" + message.frame.hex();
        break;
    case LineKind::DamagedFrame:
        line = "-" + message.frame.hex();
        break;
    case LineKind::Alert:
        line = "!" + Hex6(message.address) + "," + std::to_string(message.alertCode) + "," + message.alertSource;
        break;
    }
    return line + ";\r\n";
}

std::string LineFormatter::Record(const Message& message, const BoardState& state)
{
    std::array<std::string, 16> f;
    if (state.rawFrames)
        f[0] = message.frame.hex();
    f[2] = std::to_string(message.df);
    f[3] = Hex6(message.address);
    if (message.callsign) {
        f[4] = *message.callsign;
        f[5] = message.category;
    }
    if (message.position) {
        const PositionReport& p = *message.position;
        f[6] = p.odd ? "1" : "0";
        if (state.rawPosition) {
            f[7] = std::to_string(p.yz);
            f[8] = std::to_string(p.xz);
        } else if (state.distance) {
            f[7] = Fixed(DistanceNm(state.station(), p.decoded), 1);
            f[8] = Fixed(BearingDeg(state.station(), p.decoded), 1);
        } else {
            f[7] = Fixed(p.decoded.lat, 5);
            f[8] = Fixed(p.decoded.lon, 5);
        }
    }
    if (message.onGround)
        f[9] = "@";
    else
        f[9] = Optional(message.altitude);
    if (message.squawk)
        f[10] = Squawk(*message.squawk);
    f[11] = Optional(message.verticalRate);
    f[12] = Optional(message.eastVelocity);
    f[13] = Optional(message.northVelocity);
    if (message.heading)
        f[14] = Fixed(*message.heading, 1);
    f[15] = Optional(message.airspeed);

    std::string record = f[0];
    for (std::size_t i = 1; i < f.size(); ++i)
        record += "," + f[i];
    return record;
}

} // namespace telvorn::board
