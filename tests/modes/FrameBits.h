#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telvorn::test {

inline int HexDigit(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// `count` (at most 32) bits of a hex frame text from frame bit `first` on,
// numbered from 1 like the bits of a Mode S frame.
inline std::uint32_t FrameBits(std::string_view hex, int first, int count)
{
    std::uint32_t value = 0;
    for (int bit = first; bit < first + count; ++bit) {
        const int digit = HexDigit(hex[std::size_t((bit - 1) / 4)]);
        value = (value << 1) | std::uint32_t((digit >> (3 - (bit - 1) % 4)) & 1);
    }
    return value;
}

// The frame text with frame bit `bit` (from 1) inverted.
inline std::string FlipBit(std::string_view hex, int bit)
{
    std::string flipped(hex);
    char& c = flipped[std::size_t((bit - 1) / 4)];
    c = "0123456789ABCDEF"[HexDigit(c) ^ (8 >> ((bit - 1) % 4))];
    return flipped;
}

} // namespace telvorn::test
