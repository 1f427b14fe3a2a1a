#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "modes/CRC_Calc.h"
#include "modes/FrameBits.h"

namespace telvorn {
namespace {

using test::FlipBit;
using test::FrameBits;

struct Result {
    std::string status;
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
};

// Cuts a 14- or 28-digit frame into the words the checker takes.
Result Check(std::string_view hex)
{
    const CRC_Calc crc;
    Result r;
    if (hex.size() == 28)
        r.status = crc.CheckCRCl(FrameBits(hex, 1, 32), FrameBits(hex, 33, 32), FrameBits(hex, 65, 24) << 8,
                                 FrameBits(hex, 89, 24), r.parity, r.syndrome);
    else
        r.status = crc.CheckCRCs(FrameBits(hex, 1, 32), FrameBits(hex, 33, 24), r.parity, r.syndrome);
    return r;
}

TEST(CRC_Calc, WordVectors)
{
    struct Row {
        const char* name;
        bool isLong;
        std::uint32_t w1, w2, w3, received;
        std::uint32_t parity, syndrome;
        const char* status;
    };
    const Row rows[] = {
        {"long frame, good parity", true, 0x8D4840D6, 0x202CC371, 0xC32CE000, 0x576098, 0x576098, 0, "OK"},
        {"stray low byte of word 3", true, 0x8D4840D6, 0x202CC371, 0xC32CE0A5, 0x576098, 0xF26098, 0xA50000, "KO"},
        {"all zero long", true, 0, 0, 0, 0, 0, 0, "OK"},
        {"all zero short", false, 0, 0, 0, 0, 0, 0, "OK"},
        {"short, syndrome 5", false, 0x5D4840D6, 0, 0, 0xF8740A, 0xF8740F, 5, "??"},
        {"short, syndrome 127", false, 0x5D4840D6, 0, 0, 0xF8740F ^ 127u, 0xF8740F, 127, "??"},
        {"short, syndrome 128", false, 0x5D4840D6, 0, 0, 0xF8740F ^ 128u, 0xF8740F, 128, "KO"},
        {"short, address overlay", false, 0x5D4840D6, 0, 0, 0xF8740F ^ 0x4840D6u, 0xF8740F, 0x4840D6, "KO"},
    };
    const CRC_Calc crc;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::uint32_t parity = 0xDEADBEEF;
        std::uint32_t syndrome = 0xDEADBEEF;
        const std::string_view status = row.isLong
            ? crc.CheckCRCl(row.w1, row.w2, row.w3, row.received, parity, syndrome)
            : crc.CheckCRCs(row.w1, row.received, parity, syndrome);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(parity, row.parity);
        EXPECT_EQ(syndrome, row.syndrome);
    }
}

// Real extended squitters published with their decoding (identification,
// airborne positions, velocities of types 1 and 3).
constexpr const char* kPublishedFrames[] = {
    "8D4840D6202CC371C32CE0576098", "8D40621D58C382D690C8AC2863A7", "8D40621D58C386435CC412692AD6",
    "8D406B902015A678D4D220AA4BDA", "8D485020994409940838175B284F", "8DA05F219B06B6AF189400CBC33F",
};

TEST(CRC_Calc, PublishedFramesPass)
{
    for (const char* frame : kPublishedFrames) {
        SCOPED_TRACE(frame);
        const Result r = Check(frame);
        EXPECT_EQ(r.status, "OK");
        EXPECT_EQ(r.parity, FrameBits(frame, 89, 24));
        EXPECT_EQ(r.syndrome, 0u);
    }
}

// One flipped bit anywhere must be caught. The parity is linear, so the
// syndrome depends only on the bit's distance from the frame's end: it is
// the same in every frame, a short frame's bit p matches a long frame's bit
// p + 56, and the 112 syndromes are distinct (a single error is locatable).
// Only the last seven parity bits give a syndrome below 128, hence "??".
TEST(CRC_Calc, SingleBitErrors)
{
    const std::string_view reference = kPublishedFrames[0];
    std::set<std::uint32_t> seen;
    for (int bit = 1; bit <= 112; ++bit) {
        const Result first = Check(FlipBit(reference, bit));
        SCOPED_TRACE("bit " + std::to_string(bit));
        EXPECT_EQ(first.status, bit >= 106 ? "??" : "KO");
        if (bit > 88) {
            EXPECT_EQ(first.syndrome, 1u << (112 - bit));
        }
        EXPECT_TRUE(seen.insert(first.syndrome).second) << "syndrome repeats";
        for (const char* frame : kPublishedFrames)
            EXPECT_EQ(Check(FlipBit(frame, bit)).syndrome, first.syndrome) << frame;
        if (bit > 56) {
            EXPECT_EQ(Check(FlipBit("5D4840D6F8740F", bit - 56)).syndrome, first.syndrome) << "short frame";
        }
    }
}

} // namespace
} // namespace telvorn
