#include "ModeSReader.h"

#include <iomanip>
#include <sstream>
#include <utility>
#include <vector>

#include "modes/CRC_Calc.h"

namespace telvorn::test {

namespace {

// A frame's bits; b(first, last) reads bits first..last, 1-based and
// inclusive, as the standard numbers them.
struct Bits {
    explicit Bits(std::string_view hex)
    {
        for (const char c : hex)
            for (int v = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10, bit = 3; bit >= 0; --bit)
                bits.push_back((v >> bit) & 1);
    }
    std::uint32_t operator()(int first, int last) const
    {
        std::uint32_t value = 0;
        for (int i = first; i <= last; ++i)
            value = (value << 1) | std::uint32_t(bits[std::size_t(i - 1)]);
        return value;
    }
    int size() const { return int(bits.size()); }
    std::vector<int> bits;
};

// 25-foot altitude from the bits of a code whose Q bit is `q` and whose M
// bit (13-bit codes only) is `m`; the count is every other bit in order.
std::optional<int> Altitude(const Bits& b, int first, int last, int q, int m)
{
    if (b(q, q) != 1 || (m > 0 && b(m, m) != 0))
        return std::nullopt;
    std::uint32_t n = 0;
    for (int i = first; i <= last; ++i)
        if (i != q && i != m)
            n = (n << 1) | b(i, i);
    return int(n) * 25 - 1000;
}

// Identity code: C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4 from bit `at`; a
// digit's bits 1, 2 and 4 lie two apart from its offset.
int Squawk(const Bits& b, int at)
{
    const auto bit = [&](int i) { return int(b(at + i, at + i)); };
    const auto digit = [&](int o) { return bit(o + 4) * 4 + bit(o + 2) * 2 + bit(o); };
    return digit(1) * 1000 + digit(7) * 100 + digit(0) * 10 + digit(8);
}

// CRC_Calc's status of the frame, and the parity it computes over the data bits.
std::pair<std::string, std::uint32_t> Parity(const Bits& b)
{
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
    const CRC_Calc crc;
    const std::string status(b.size() == 112
                                 ? crc.CheckCRCl(b(1, 32), b(33, 64), b(65, 88) << 8, b(89, 112), parity, syndrome)
                                 : crc.CheckCRCs(b(1, 32), b(33, 56), parity, syndrome));
    return {status, parity};
}

void ReadSquitter(const Bits& b, ReadFrame& f)
{
    // ME bit k is frame bit k + 32.
    f.typeCode = int(b(33, 37));
    const int tc = f.typeCode;
    if (tc >= 1 && tc <= 4) {
        static constexpr std::string_view kChars =
            "#ABCDEFGHIJKLMNOPQRSTUVWXYZ##### ###############0123456789######";
        std::string text;
        for (int i = 0; i < 8; ++i)
            text += kChars[b(41 + 6 * i, 46 + 6 * i)];
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        f.callsign = text;
        f.category = std::string(1, "?DCBA"[tc]) + std::to_string(b(38, 40));
    } else if (tc >= 5 && tc <= 18) {
        f.cprFlag = int(b(54, 54));
        f.yz = b(55, 71);
        f.xz = b(72, 88);
        if (tc <= 8)
            f.onGround = true;
        else
            f.altitude = Altitude(b, 41, 52, 48, 0);
    } else if (tc == 19) {
        f.subtype = int(b(38, 40));
        const int sign = b(69, 69) ? -1 : 1;
        const int rate = int(b(70, 78));
        if (rate > 0)
            f.verticalRate = sign * (rate - 1) * 64;
        if (f.subtype == 1) {
            f.east = (b(46, 46) ? -1 : 1) * (int(b(47, 56)) - 1);
            f.north = (b(57, 57) ? -1 : 1) * (int(b(58, 67)) - 1);
        } else if (f.subtype == 3) {
            if (b(46, 46))
                f.heading = b(47, 56) * 360.0 / 1024.0;
            f.airspeed = int(b(58, 67)) - 1;
        }
    } else if (tc == 28) {
        f.subtype = int(b(38, 40));
        f.emergency = int(b(41, 43));
        f.squawk = Squawk(b, 44);
    }
}

} // namespace

ReadFrame ReadModeS(std::string_view hex)
{
    ReadFrame f;
    if ((hex.size() != 14 && hex.size() != 28) || hex.find_first_not_of("0123456789ABCDEFabcdef") != hex.npos)
        return f;
    const Bits b(hex);
    f.df = int(b(1, 5));
    const int last = b.size();
    const auto [status, parity] = Parity(b);
    if (f.df == 11 || (f.df >= 17 && f.df <= 19)) {
        f.address = b(9, 32);
        f.parityStatus = status;
        f.onGround = f.df != 18 && f.df != 19 && b(6, 8) == 4;
        if (f.df != 11)
            ReadSquitter(b, f);
    } else if (f.df == 0 || f.df == 16) {
        f.address = b(last - 23, last) ^ parity;
        f.onGround = b(6, 6) == 1;
        f.altitude = Altitude(b, 20, 32, 28, 26);
    } else if (f.df == 4 || f.df == 5 || f.df == 20 || f.df == 21) {
        f.address = b(last - 23, last) ^ parity;
        f.onGround = b(6, 8) == 1 || b(6, 8) == 3;
        if (f.df == 4 || f.df == 20)
            f.altitude = Altitude(b, 20, 32, 28, 26);
        else
            f.squawk = Squawk(b, 20);
    }
    return f;
}

std::string Describe(const ReadFrame& f)
{
    std::ostringstream s;
    const auto add = [&s](const char* name, const auto& value) {
        if (value)
            s << name << *value;
    };
    s << "DF" << f.df << ' ' << std::hex << std::uppercase << std::setfill('0') << std::setw(6) << f.address
      << std::dec << std::setprecision(10) << (f.parityStatus.empty() ? "" : " ") << f.parityStatus;
    add(" TC", f.typeCode >= 0 ? std::optional(f.typeCode) : std::nullopt);
    add("/", f.subtype >= 0 ? std::optional(f.subtype) : std::nullopt);
    s << (f.onGround ? " ground" : "") << (f.callsign ? " " + *f.callsign + " " + f.category : "");
    add(" alt=", f.altitude);
    if (f.cprFlag)
        s << " cpr=" << *f.cprFlag << ',' << f.yz << ',' << f.xz;
    if (f.squawk)
        s << " squawk=" << std::setw(4) << *f.squawk;
    for (const auto& [name, value] : {std::pair{" emergency=", f.emergency}, {" east=", f.east}, {" north=", f.north},
                                      {" vr=", f.verticalRate}})
        add(name, value);
    add(" hdg=", f.heading);
    add(" tas=", f.airspeed);
    return s.str();
}

} // namespace telvorn::test
