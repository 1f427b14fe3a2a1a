#include <gtest/gtest.h>

#include <chrono>
#include <utility>

#include "table/Common.h"
#include "text/NumberText.h"

using namespace telvorn;

// The edges where a lookup can go wrong: blocks that touch, the Bermuda
// sub-blocks that must win over the United Kingdom block around them, the
// first and last block searched, a name given to two blocks, and the gaps.
TEST(GetCountry, EdgesOfBlocksThatTouchNestOrEndTheTable)
{
    const std::pair<std::int32_t, const char*> rows[] = {
        {0x3FFFFF, "Germany"}, {0x400000, "United Kingdom"}, {0x40007F, "United Kingdom"},
        {0x400080, "Bermuda"}, {0x4001BF, "Bermuda"}, {0x4001C0, "United Kingdom"},
        {0x423FFF, "United Kingdom"}, {0x424000, "Bermuda"}, {0x4240FF, "Bermuda"},
        {0x424100, "United Kingdom"}, {0x43FFFF, "United Kingdom"}, {0x440000, "Austria"},
        {0x700000, "Afghanistan"}, {0x700FFF, "Afghanistan"}, {0x701000, ""},
        {0x003FFF, ""}, {0x004000, "Zimbabwe"}, {0x0043FF, "Zimbabwe"}, {0x004400, ""},
        {0x036000, "Congo"}, {0x08CFFF, "Congo"}, {0xA00000, "United States"}, {0xAFFFFF, "United States"},
        {0xF07FFF, "ICAO (1)"}, {0xF08000, ""}, {0xF093FF, "ICAO (3)"}, {0x4840D6, "Netherlands"},
        {0x000000, ""}, {0xFFFFFF, ""}, {-1, ""}, {0x1000000, ""}, {INT32_MAX, ""},
    };
    for (const auto& [address, country] : rows)
        EXPECT_EQ(GetCountry(address), country) << std::hex << address;
}

TEST(GetCountry, AddressTextReadsAsLeadingHexDigits)
{
    for (const auto& [text, value] : {std::pair{"4840d6", 0x4840D6}, {"4840D6", 0x4840D6}, {"3c64zz", 0x3C64},
                                      {"", 0}, {"xyz", 0}})
        EXPECT_EQ(LeadingHexValue(text), value) << text;
    // A run too long for the field saturates instead of wrapping to a valid address.
    EXPECT_EQ(GetCountry(LeadingHexValue("1004840D6")), "");
}

TEST(UTCStamp, SeventeenDigitsWrittenAndReadBackAsSecondsSince1970)
{
    using namespace std::chrono;
    EXPECT_EQ(GetUTCStamp(FrozenClock(sys_days{2026y / December / 5} + 13h + 27min + 35s + 42ms)),
              "20261205132735042");
    EXPECT_EQ(GetUTCStamp(FrozenClock(sys_days{2027y / January / 1})), "20270101000000000");
    EXPECT_DOUBLE_EQ(UTCStampSeconds("20261205132735042").value_or(-1), 1796477255.042);
    EXPECT_DOUBLE_EQ(UTCStampSeconds("19700101000000000").value_or(-1), 0.0);
    for (const char* bad : {"", "2026120513273504", "202612051327350420", "2026120513273504x", "20261305132735042",
                            "20260230132735042", "20261205242735042", "20261205136035042"})
        EXPECT_FALSE(UTCStampSeconds(bad)) << bad;
}
