#pragma once

#include <cstdint>

namespace telvorn::board {

// Packs fields most significant bit first into a word of up to 64 bits, the
// order in which Mode S transmits them.
class BitPacker {
public:
    BitPacker& put(std::uint64_t value, int bits)
    {
        const std::uint64_t mask = bits >= 64 ? ~0ull : ((1ull << bits) - 1);
        word_ = (word_ << bits) | (value & mask);
        count_ += bits;
        return *this;
    }
    std::uint64_t word() const { return word_; }
    int count() const { return count_; }

private:
    std::uint64_t word_ = 0;
    int count_ = 0;
};

} // namespace telvorn::board
