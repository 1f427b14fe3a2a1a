#pragma once

#include <cstdint>
#include <string_view>

namespace telvorn {

// Mode S parity (ICAO Annex 10): generator 0x1FFF409 over the data bits,
// most significant bit first, zero initial register, no final inversion.
// Computed bit by bit; the status is "OK" when the parity matches, "??" when
// only the low seven bits of the syndrome differ, "KO" otherwise.
class CRC_Calc {
public:
    // Long frame: word1 = bits 1-32, word2 = bits 33-64, word3 = bits 65-88
    // in its upper 24 bits (lower 8 bits zero); parity = bits 89-112.
    std::string_view CheckCRCl(const std::uint32_t& word1, const std::uint32_t& word2,
                               const std::uint32_t& word3, const std::uint32_t& receivedParity,
                               std::uint32_t& computedParity, std::uint32_t& syndrome) const;

    // Short frame: word = bits 1-32; parity = bits 33-56.
    std::string_view CheckCRCs(const std::uint32_t& word, const std::uint32_t& receivedParity,
                               std::uint32_t& computedParity, std::uint32_t& syndrome) const;

private:
    // 0x1FFF409 shifted left by 7: x^24 in bit 31, x^0 in bit 7.
    std::uint32_t generator_ = 0xFFFA0480u;
};

} // namespace telvorn
