#include "ModeSCodes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace telvorn::board {

namespace {

constexpr std::string_view kCharset =
    "#ABCDEFGHIJKLMNOPQRSTUVWXYZ##### ###############0123456789######";

std::uint32_t Bit(int value, int bit, int position)
{
    return std::uint32_t((value >> bit) & 1) << position;
}

} // namespace

int QuantizeAltitude(double feet)
{
    const double clamped = std::clamp(feet, -1000.0, 50175.0);
    return int(std::lround((clamped + 1000.0) / 25.0)) * 25 - 1000;
}

std::uint32_t AltitudeCode12(int feet)
{
    const auto n = std::uint32_t((QuantizeAltitude(feet) + 1000) / 25);
    // The Q bit sits at bit 4 and splits the 11-bit count into 7 and 4 bits.
    return ((n << 1) & 0xFE0u) | 0x10u | (n & 0xFu);
}

std::uint32_t AltitudeCode13(int feet)
{
    const std::uint32_t code12 = AltitudeCode12(feet);
    return ((code12 & 0xFC0u) << 1) | (code12 & 0x3Fu);
}

std::uint32_t IdentityCode13(int squawk)
{
    const int a = (squawk / 1000) % 10;
    const int b = (squawk / 100) % 10;
    const int c = (squawk / 10) % 10;
    const int d = squawk % 10;
    // Bit order of the field: C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4.
    return Bit(c, 0, 12) | Bit(a, 0, 11) | Bit(c, 1, 10) | Bit(a, 1, 9) | Bit(c, 2, 8) |
           Bit(a, 2, 7) | Bit(b, 0, 5) | Bit(d, 0, 4) | Bit(b, 1, 3) | Bit(d, 1, 2) | Bit(b, 2, 1) |
           Bit(d, 2, 0);
}

std::uint64_t CallsignCode48(std::string_view callsign)
{
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        char c = i < callsign.size() ? char(std::toupper(static_cast<unsigned char>(callsign[i]))) : ' ';
        std::size_t code = c == '#' ? std::string_view::npos : kCharset.find(c);
        if (code == std::string_view::npos)
            code = 32;
        packed = (packed << 6) | code;
    }
    return packed;
}

std::string CallsignText(std::string_view callsign)
{
    std::string text;
    for (std::size_t i = 0; i < 8 && i < callsign.size(); ++i) {
        const char c = char(std::toupper(static_cast<unsigned char>(callsign[i])));
        text += (c != '#' && kCharset.find(c) != std::string_view::npos) ? c : ' ';
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace telvorn::board
