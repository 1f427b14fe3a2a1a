#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "modes/CRC_Calc.h"

namespace telvorn {
namespace {

// The value of `count` hex digits of a frame from digit `first` (from 0) on.
std::uint32_t Digits(const std::string& hex, std::size_t first, std::size_t count)
{
    return std::uint32_t(std::stoul(hex.substr(first, count), nullptr, 16));
}

// "status parity syndrome" of a 14- or 28-digit frame; `stray` is put in the
// low byte of a long frame's third word (bits 65-88 in its upper 24 bits).
std::string Check(const std::string& hex, std::uint32_t stray = 0)
{
    const CRC_Calc crc;
    std::uint32_t parity = ~0u, syndrome = ~0u;
    const std::string_view status = hex.size() == 28
        ? crc.CheckCRCl(Digits(hex, 0, 8), Digits(hex, 8, 8), (Digits(hex, 16, 6) << 8) | stray, Digits(hex, 22, 6),
                        parity, syndrome)
        : crc.CheckCRCs(Digits(hex, 0, 8), Digits(hex, 8, 6), parity, syndrome);
    char text[40];
    std::snprintf(text, sizeof text, "%.*s %06X %06X", int(status.size()), status.data(), parity, syndrome);
    return text;
}

// The frame with frame bit `bit` (from 1) inverted.
std::string FlipBit(std::string hex, int bit)
{
    char& c = hex[std::size_t((bit - 1) / 4)];
    c = "0123456789ABCDEF"[Digits(std::string(1, c), 0, 1) ^ (8u >> ((bit - 1) % 4))];
    return hex;
}

TEST(CRC_Calc, Vectors)
{
    const struct { const char* frame; std::uint32_t stray; const char* result; } rows[] = {
        {"8D4840D6202CC371C32CE0576098", 0, "OK 576098 000000"},
        {"8D4840D6202CC371C32CE0576098", 0xA5, "KO F26098 A50000"}, // the caller must clear that byte
        {"8D40621D58C382D690C8AC2863A7", 0, "OK 2863A7 000000"},
        {"8D40621D58C386435CC412692AD6", 0, "OK 692AD6 000000"},
        {"5D4840D6F8740A", 0, "?? F8740F 000005"},
        {"5D4840D6F87470", 0, "?? F8740F 00007F"},
        {"5D4840D6F8748F", 0, "KO F8740F 000080"},
        {"5D4840D6B034D9", 0, "KO F8740F 4840D6"}, // parity overlaid with the address
    };
    for (const auto& row : rows)
        EXPECT_EQ(Check(row.frame, row.stray), row.result) << row.frame << " stray " << row.stray;
}

// One flipped bit anywhere is caught. The parity is linear, so the syndrome depends only on
// the bit's place: parity bit p gives 1 << (112 - p), a short frame's bit p the same as a long
// frame's bit p + 56, no two bits share one; only the last seven parity bits give "??".
TEST(CRC_Calc, SingleBitErrors)
{
    std::set<std::string> seen;
    for (int bit = 1; bit <= 112; ++bit) {
        SCOPED_TRACE("bit " + std::to_string(bit));
        const std::string result = Check(FlipBit("8D40621D58C382D690C8AC2863A7", bit));
        const std::string syndrome = result.substr(10);
        EXPECT_EQ(result.substr(0, 2), bit >= 106 ? "??" : "KO");
        EXPECT_TRUE(seen.insert(syndrome).second) << "syndrome repeats";
        EXPECT_TRUE(bit <= 88 || Digits(syndrome, 0, 6) == 1u << (112 - bit)) << syndrome;
        EXPECT_TRUE(bit <= 56 || Check(FlipBit("5D4840D6F8740F", bit - 56)).substr(10) == syndrome) << syndrome;
    }
}

} // namespace
} // namespace telvorn
