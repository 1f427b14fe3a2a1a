#include <gtest/gtest.h>

#include "table/Common.h"
#include "text/NumberText.h"

using namespace telvorn;

TEST(GetCountry, FindsTheBlockOfAnAddress)
{
    struct Row {
        std::int32_t address;
        const char* country;
    };
    const Row rows[] = {
        {0x4840D6, "Netherlands"}, {0x3C6444, "Germany"}, {0xA00001, "United States"},
        {0x7C0000, "Australia"},   {0x800000, "India"},
        // Bermuda's sub-blocks inside the United Kingdom block.
        {0x400000, "United Kingdom"}, {0x400080, "Bermuda"}, {0x4001BF, "Bermuda"}, {0x424000, "Bermuda"},
        {0x4001C0, "United Kingdom"}, {0x424100, "United Kingdom"},
        // Block edges.
        {0x700FFF, "Afghanistan"}, {0x701000, ""}, {0x0A7FFF, "Algeria"}, {0x0A8000, "Bahamas"},
        {0x004000, "Zimbabwe"}, {0x008000, "South Africa"}, {0x00FFFF, "South Africa"}, {0x010000, "Egypt"},
        {0x000000, ""}, {0x003FFF, ""}, {0xF08000, ""}, {0xFFFFFF, ""},
        {0xF00000, "ICAO (1)"}, {0xF09000, "ICAO (3)"},
        {0x036000, "Congo"}, {0x08C000, "Congo"}, {0x512000, "Macedoni"},
        // Outside 24 bits.
        {-1, ""}, {0x1000000, ""}, {INT32_MAX, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetCountry(row.address), row.country) << std::hex << row.address;
}

TEST(GetCountry, AddressTextReadsAsLeadingHexDigits)
{
    EXPECT_EQ(LeadingHexValue("4840d6"), 0x4840D6);
    EXPECT_EQ(LeadingHexValue("4840D6"), 0x4840D6);
    EXPECT_EQ(LeadingHexValue("3c64zz"), 0x3C64);
    EXPECT_EQ(LeadingHexValue(""), 0);
    EXPECT_EQ(LeadingHexValue("xyz"), 0);
    // A run too long for the field saturates instead of wrapping to a valid address.
    EXPECT_EQ(GetCountry(LeadingHexValue("1004840D6")), "");
}

TEST(UTCStampSeconds, ReadsAStampBackAsSecondsSince1970)
{
    EXPECT_DOUBLE_EQ(UTCStampSeconds("20261205132735042").value_or(-1), 1796477255.042);
    EXPECT_DOUBLE_EQ(UTCStampSeconds("19700101000000000").value_or(-1), 0.0);
    for (const char* bad : {"", "2026120513273504", "202612051327350420", "2026120513273504x", "20261305132735042",
                            "20260230132735042", "20261205242735042", "20261205136035042"})
        EXPECT_FALSE(UTCStampSeconds(bad)) << bad;
}
