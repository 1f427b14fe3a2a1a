#include "ModeSReader.h"

#include <vector>

#include "modes/CRC_Calc.h"

namespace telvorn::test {

namespace {

class Bits {
public:
    explicit Bits(std::string_view hex)
    {
        for (const char c : hex) {
            const int v = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
            for (int b = 3; b >= 0; --b)
                bits_.push_back((v >> b) & 1);
        }
    }
    // Bits first..last, 1-based and inclusive, as the standard numbers them.
    std::uint32_t operator()(int first, int last) const
    {
        std::uint32_t value = 0;
        for (int i = first; i <= last; ++i)
            value = (value << 1) | std::uint32_t(bits_[std::size_t(i - 1)]);
        return value;
    }
    int size() const { return int(bits_.size()); }

private:
    std::vector<int> bits_;
};

bool IsHex(std::string_view text)
{
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

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

// Identity code: C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4 from bit `first`.
int Squawk(const Bits& b, int first)
{
    const auto bit = [&](int offset) { return int(b(first + offset, first + offset)); };
    const int a = bit(5) * 4 + bit(3) * 2 + bit(1);
    const int bb = bit(11) * 4 + bit(9) * 2 + bit(7);
    const int c = bit(4) * 4 + bit(2) * 2 + bit(0);
    const int d = bit(12) * 4 + bit(10) * 2 + bit(8);
    return a * 1000 + bb * 100 + c * 10 + d;
}

std::uint32_t ComputedParity(const Bits& b)
{
    const CRC_Calc crc;
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
    if (b.size() == 112)
        crc.CheckCRCl(b(1, 32), b(33, 64), b(65, 88) << 8, 0u, parity, syndrome);
    else
        crc.CheckCRCs(b(1, 32), 0u, parity, syndrome);
    return parity;
}

std::string ParityStatus(const Bits& b)
{
    const CRC_Calc crc;
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
    if (b.size() == 112)
        return std::string(crc.CheckCRCl(b(1, 32), b(33, 64), b(65, 88) << 8, b(89, 112), parity, syndrome));
    return std::string(crc.CheckCRCs(b(1, 32), b(33, 56), parity, syndrome));
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
    if ((hex.size() != 14 && hex.size() != 28) || !IsHex(hex))
        return f;
    const Bits b(hex);
    f.wellFormed = true;
    f.df = int(b(1, 5));
    const int last = b.size();
    switch (f.df) {
    case 11:
    case 17:
    case 18:
    case 19:
        f.address = b(9, 32);
        f.parityStatus = ParityStatus(b);
        if (f.df == 11 || f.df == 17)
            f.onGround = b(6, 8) == 4;
        if (f.df != 11)
            ReadSquitter(b, f);
        break;
    case 0:
    case 16:
        f.address = b(last - 23, last) ^ ComputedParity(b);
        f.onGround = b(6, 6) == 1;
        f.altitude = Altitude(b, 20, 32, 28, 26);
        break;
    case 4:
    case 5:
    case 20:
    case 21:
        f.address = b(last - 23, last) ^ ComputedParity(b);
        f.onGround = b(6, 8) == 1 || b(6, 8) == 3;
        if (f.df == 4 || f.df == 20)
            f.altitude = Altitude(b, 20, 32, 28, 26);
        else
            f.squawk = Squawk(b, 20);
        break;
    default:
        break;
    }
    return f;
}

} // namespace telvorn::test
