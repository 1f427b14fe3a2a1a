#include "modes/CRC_Calc.h"

namespace telvorn {

namespace {

constexpr std::uint32_t kTopBit = 0x80000000u;

std::string_view Status(std::uint32_t computed, std::uint32_t received, std::uint32_t syndrome)
{
    if (computed == received)
        return "OK";
    return syndrome < 128 ? "??" : "KO";
}

} // namespace

std::string_view CRC_Calc::CheckCRCl(const std::uint32_t& word1, const std::uint32_t& word2,
                                     const std::uint32_t& word3, const std::uint32_t& receivedParity,
                                     std::uint32_t& computedParity, std::uint32_t& syndrome) const
{
    std::uint32_t r = word1;
    std::uint32_t w2 = word2;
    std::uint32_t w3 = word3;
    for (int pass = 0; pass < 88; ++pass) {
        if (r & kTopBit)
            r ^= generator_;
        r <<= 1;
        if (w2 & kTopBit)
            r |= 1u;
        w2 <<= 1;
        if (w3 & kTopBit)
            w2 |= 1u;
        w3 <<= 1;
    }
    computedParity = r >> 8;
    syndrome = receivedParity ^ computedParity;
    return Status(computedParity, receivedParity, syndrome);
}

std::string_view CRC_Calc::CheckCRCs(const std::uint32_t& word, const std::uint32_t& receivedParity,
                                     std::uint32_t& computedParity, std::uint32_t& syndrome) const
{
    std::uint32_t r = word;
    for (int pass = 0; pass < 32; ++pass) {
        if (r & kTopBit)
            r ^= generator_;
        r <<= 1;
    }
    computedParity = r >> 8;
    syndrome = receivedParity ^ computedParity;
    return Status(computedParity, receivedParity, syndrome);
}

} // namespace telvorn
