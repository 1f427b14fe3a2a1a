#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace telvorn {

// SipHash (Aumasson and Bernstein), a keyed hash of byte strings. Without
// the 128-bit key nobody can tell which inputs share a hash value, so a
// table keyed by text that arrives over a link costs the same whatever text
// arrives. `C` compression rounds per 8-byte word and `D` final rounds:
// SipHash<2, 4> is the reference function, SipHash<1, 3> the faster one that
// hash tables use.
struct SipKey {
    std::uint64_t k0 = 0;
    std::uint64_t k1 = 0;
};

namespace detail {

struct SipState {
    std::uint64_t v0, v1, v2, v3;

    void round()
    {
        v0 += v1;
        v1 = std::rotl(v1, 13);
        v1 ^= v0;
        v0 = std::rotl(v0, 32);
        v2 += v3;
        v3 = std::rotl(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = std::rotl(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = std::rotl(v1, 17);
        v1 ^= v2;
        v2 = std::rotl(v2, 32);
    }
};

inline std::uint32_t Load32(const char* bytes)
{
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

// Bytes [0, count) of `bytes` as a little-endian word, count at most 8.
inline std::uint64_t LittleEndianWord(const char* bytes, std::size_t count)
{
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (count == 8) {
            std::memcpy(&word, bytes, 8);
            return word;
        }
        // Two 4-byte loads that overlap cover 4 to 7 bytes: a six-character
        // address, the common case, costs two loads instead of six.
        if (count >= 4)
            return Load32(bytes) | std::uint64_t(Load32(bytes + count - 4)) << (8 * (count - 4));
    }
    for (std::size_t i = 0; i < count; ++i)
        word |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return word;
}

} // namespace detail

template <int C, int D>
std::uint64_t SipHash(const SipKey& key, std::string_view bytes)
{
    detail::SipState s{key.k0 ^ 0x736f6d6570736575ull, key.k1 ^ 0x646f72616e646f6dull,
                       key.k0 ^ 0x6c7967656e657261ull, key.k1 ^ 0x7465646279746573ull};
    auto absorb = [&s](std::uint64_t m) {
        s.v3 ^= m;
        for (int i = 0; i < C; ++i)
            s.round();
        s.v0 ^= m;
    };
    const std::size_t whole = bytes.size() / 8 * 8;
    for (std::size_t at = 0; at < whole; at += 8)
        absorb(detail::LittleEndianWord(bytes.data() + at, 8));
    absorb(detail::LittleEndianWord(bytes.data() + whole, bytes.size() - whole) |
           (std::uint64_t(bytes.size() & 0xFF) << 56));
    s.v2 ^= 0xFF;
    for (int i = 0; i < D; ++i)
        s.round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

} // namespace telvorn
