#include <gtest/gtest.h>

#include <utility>

#include "table/Common.h"
#include "text/NumberText.h"

using namespace telvorn;

// Addresses inside blocks and in the gaps between them; the edges of every
// block are checked below.
TEST(GetCountry, FindsTheBlockOfAnAddressAndNoneInTheGaps)
{
    const std::pair<std::int32_t, const char*> rows[] = {
        {0x4840D6, "Netherlands"}, {0x3C6444, "Germany"}, {0xA00001, "United States"},
        // Past Bermuda's sub-blocks inside the United Kingdom block.
        {0x4001C0, "United Kingdom"}, {0x424100, "United Kingdom"},
        {0x701000, ""}, {0x000000, ""}, {0x003FFF, ""}, {0xF08000, ""}, {0xFFFFFF, ""},
        // Outside 24 bits.
        {-1, ""}, {0x1000000, ""}, {INT32_MAX, ""},
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

// The ICAO allocation of address blocks to states (Annex 10, Volume III), in
// the order the lookup searches it; the Bermuda sub-blocks come before the
// United Kingdom block that holds them.
TEST(GetCountry, FirstAndLastAddressOfEveryBlockNameItsState)
{
    struct Block {
        std::int32_t first;
        std::int32_t last;
        const char* country;
    };
    const Block blocks[] = {
    {0x700000, 0x700FFF, "Afghanistan"}, {0x501000, 0x5013FF, "Albania"}, {0x0A0000, 0x0A7FFF, "Algeria"},
    {0x090000, 0x090FFF, "Angola"}, {0x0CA000, 0x0CA3FF, "Antigua/Barbuda"}, {0xE00000, 0xE3FFFF, "Argentina"},
    {0x600000, 0x6003FF, "Armenia"}, {0x7C0000, 0x7FFFFF, "Australia"}, {0x440000, 0x447FFF, "Austria"},
    {0x600800, 0x600BFF, "Azerbaijan"}, {0x0A8000, 0x0A8FFF, "Bahamas"}, {0x894000, 0x894FFF, "Bahrain"},
    {0x702000, 0x702FFF, "Bangladesh"}, {0x0AA000, 0x0AA3FF, "Barbados"}, {0x510000, 0x5103FF, "Belarus"},
    {0x448000, 0x44FFFF, "Belgium"}, {0x0AB000, 0x0AB3FF, "Belize"}, {0x094000, 0x0943FF, "Benin"},
    {0x400080, 0x4000FF, "Bermuda"}, {0x400100, 0x40017F, "Bermuda"}, {0x400180, 0x4001BF, "Bermuda"},
    {0x424000, 0x4240FF, "Bermuda"}, {0x680000, 0x6803FF, "Bhutan"}, {0xE94000, 0xE94FFF, "Bolivia"},
    {0x513000, 0x5133FF, "Bosnia Herzegovina"}, {0x030000, 0x0303FF, "Botswana"}, {0xE40000, 0xE7FFFF, "Brazil"},
    {0x895000, 0x8953FF, "Brunei"}, {0x450000, 0x457FFF, "Bulgaria"}, {0x09C000, 0x09CFFF, "Burkina Faso"},
    {0x032000, 0x032FFF, "Burundi"}, {0x70E000, 0x70EFFF, "Cambodia"}, {0x034000, 0x034FFF, "Cameroon"},
    {0xC00000, 0xC3FFFF, "Canada"}, {0x096000, 0x0963FF, "Cape Verde"}, {0x038000, 0x038FFF, "Cote d'Ivoire"},
    {0x06C000, 0x06CFFF, "Central African Republic"}, {0x084000, 0x084FFF, "Chad"}, {0xE80000, 0xE80FFF, "Chile"},
    {0x780000, 0x7BFFFF, "China"}, {0x0AC000, 0x0ACFFF, "Colombia"}, {0x035000, 0x0353FF, "Comoros"},
    {0x036000, 0x036FFF, "Congo"}, {0x901000, 0x9013FF, "Cook Islands"}, {0x0AE000, 0x0AEFFF, "Costa Rica"},
    {0x501C00, 0x501FFF, "Croatia"}, {0x0B0000, 0x0B0FFF, "Cuba"}, {0x4C8000, 0x4C83FF, "Cyprus"},
    {0x498000, 0x49FFFF, "Czech Republic"}, {0x720000, 0x727FFF, "North Korea"}, {0x08C000, 0x08CFFF, "Congo"},
    {0x458000, 0x45FFFF, "Denmark"}, {0x098000, 0x0983FF, "Djibouti"}, {0x0C4000, 0x0C4FFF, "Dominican Republic"},
    {0xE84000, 0xE84FFF, "Ecuador"}, {0x010000, 0x017FFF, "Egypt"}, {0x0B2000, 0x0B2FFF, "El Salvador"},
    {0x042000, 0x042FFF, "Equatorial Guinea"}, {0x202000, 0x2023FF, "Eritrea"}, {0x511000, 0x5113FF, "Estonia"},
    {0x040000, 0x040FFF, "Ethiopia"}, {0xC88000, 0xC88FFF, "Fiji"}, {0x460000, 0x467FFF, "Finland"},
    {0x380000, 0x3BFFFF, "France"}, {0x03E000, 0x03EFFF, "Gabon"}, {0x09A000, 0x09AFFF, "Gambia"},
    {0x514000, 0x5143FF, "Georgia"}, {0x3C0000, 0x3FFFFF, "Germany"}, {0x044000, 0x044FFF, "Ghana"},
    {0x468000, 0x46FFFF, "Greece"}, {0x0CC000, 0x0CC3FF, "Grenada"}, {0x0B4000, 0x0B4FFF, "Guatemala"},
    {0x046000, 0x046FFF, "Guinea"}, {0x048000, 0x0483FF, "Guinea-Bissau"}, {0x0B6000, 0x0B6FFF, "Guyana"},
    {0x0B8000, 0x0B8FFF, "Haiti"}, {0x0BA000, 0x0BAFFF, "Honduras"}, {0x470000, 0x477FFF, "Hungary"},
    {0xF00000, 0xF07FFF, "ICAO (1)"}, {0xF09000, 0xF093FF, "ICAO (3)"}, {0x4CC000, 0x4CCFFF, "Iceland"},
    {0x800000, 0x83FFFF, "India"}, {0x8A0000, 0x8A7FFF, "Indonesia"}, {0x730000, 0x737FFF, "Iran"},
    {0x728000, 0x72FFFF, "Iraq"}, {0x4CA000, 0x4CAFFF, "Ireland"}, {0x738000, 0x73FFFF, "Israel"},
    {0x300000, 0x33FFFF, "Italy"}, {0x0BE000, 0x0BEFFF, "Jamaica"}, {0x840000, 0x87FFFF, "Japan"},
    {0x740000, 0x747FFF, "Jordan"}, {0x683000, 0x6833FF, "Kazakhstan"}, {0x04C000, 0x04CFFF, "Kenya"},
    {0xC8E000, 0xC8E3FF, "Kiribati"}, {0x706000, 0x706FFF, "Kuwait"}, {0x601000, 0x6013FF, "Kyrgyzstan"},
    {0x708000, 0x708FFF, "Laos"}, {0x502C00, 0x502FFF, "Latvia"}, {0x748000, 0x74FFFF, "Lebanon"},
    {0x04A000, 0x04A3FF, "Lesotho"}, {0x050000, 0x050FFF, "Liberia"}, {0x018000, 0x01FFFF, "Libyan"},
    {0x503C00, 0x503FFF, "Lithuania"}, {0x4D0000, 0x4D03FF, "Luxembourg"}, {0x054000, 0x054FFF, "Madagascar"},
    {0x058000, 0x058FFF, "Malawi"}, {0x750000, 0x757FFF, "Malaysia"}, {0x05A000, 0x05A3FF, "Maldives"},
    {0x05C000, 0x05CFFF, "Mali"}, {0x4D2000, 0x4D23FF, "Malta"}, {0x900000, 0x9003FF, "Marshall Islands"},
    {0x05E000, 0x05E3FF, "Mauritania"}, {0x060000, 0x0603FF, "Mauritius"}, {0x0D0000, 0x0D7FFF, "Mexico"},
    {0x681000, 0x6813FF, "Micronesia"}, {0x4D4000, 0x4D43FF, "Monaco"}, {0x682000, 0x6823FF, "Mongolia"},
    {0x516000, 0x5163FF, "Montenegro"}, {0x020000, 0x027FFF, "Morocco"}, {0x006000, 0x006FFF, "Mozambique"},
    {0x704000, 0x704FFF, "Myanmar"}, {0x201000, 0x2013FF, "Namibia"}, {0xC8A000, 0xC8A3FF, "Nauru"},
    {0x70A000, 0x70AFFF, "Nepal"}, {0x480000, 0x487FFF, "Netherlands"}, {0xC80000, 0xC87FFF, "New Zealand"},
    {0x0C0000, 0x0C0FFF, "Nicaragua"}, {0x062000, 0x062FFF, "Niger"}, {0x064000, 0x064FFF, "Nigeria"},
    {0x478000, 0x47FFFF, "Norway"}, {0x70C000, 0x70C3FF, "Oman"}, {0x760000, 0x767FFF, "Pakistan"},
    {0x684000, 0x6843FF, "Palau"}, {0x0C2000, 0x0C2FFF, "Panama"}, {0x898000, 0x898FFF, "Papua New Guinea"},
    {0xE88000, 0xE88FFF, "Paraguay"}, {0xE8C000, 0xE8CFFF, "Peru"}, {0x758000, 0x75FFFF, "Philippines"},
    {0x488000, 0x48FFFF, "Poland"}, {0x490000, 0x497FFF, "Portugal"}, {0x06A000, 0x06A3FF, "Qatar"},
    {0x718000, 0x71FFFF, "South Korea"}, {0x504C00, 0x504FFF, "Moldova"}, {0x4A0000, 0x4A7FFF, "Romania"},
    {0x100000, 0x1FFFFF, "Russian Federation"}, {0x06E000, 0x06EFFF, "Rwanda"}, {0xC8C000, 0xC8C3FF, "Saint Lucia"},
    {0x0BC000, 0x0BC3FF, "Saint Vincent & Grenadines"}, {0x902000, 0x9023FF, "Samoa"},
    {0x500000, 0x5003FF, "San Marino"}, {0x09E000, 0x09E3FF, "Sao Tome & Principe"},
    {0x710000, 0x717FFF, "Saudi Arabia"}, {0x070000, 0x070FFF, "Senegal"}, {0x074000, 0x0743FF, "Seychelles"},
    {0x076000, 0x0763FF, "Sierra Leone"}, {0x768000, 0x76FFFF, "Singapore"}, {0x505C00, 0x505FFF, "Slovakia"},
    {0x506C00, 0x506FFF, "Slovenia"}, {0x897000, 0x8973FF, "Solomon Islands"}, {0x078000, 0x078FFF, "Somalia"},
    {0x008000, 0x00FFFF, "South Africa"}, {0x340000, 0x37FFFF, "Spain"}, {0x770000, 0x777FFF, "Sri Lanka"},
    {0x07C000, 0x07CFFF, "Sudan"}, {0x0C8000, 0x0C8FFF, "Suriname"}, {0x07A000, 0x07A3FF, "Swaziland"},
    {0x4A8000, 0x4AFFFF, "Sweden"}, {0x4B0000, 0x4B7FFF, "Switzerland"},
    {0x778000, 0x77FFFF, "Syrian Arab Republic"}, {0x899000, 0x8993FF, "Taiwan"}, {0x515000, 0x5153FF, "Tajikistan"},
    {0x880000, 0x887FFF, "Thailand"}, {0x512000, 0x5123FF, "Macedoni"}, {0x088000, 0x088FFF, "Togo"},
    {0xC8D000, 0xC8D3FF, "Tonga"}, {0x0C6000, 0x0C6FFF, "Trinidad & Tobago"}, {0x028000, 0x02FFFF, "Tunisia"},
    {0x4B8000, 0x4BFFFF, "Turkey"}, {0x601800, 0x601BFF, "Turkmenistan"}, {0x068000, 0x068FFF, "Uganda"},
    {0x508000, 0x50FFFF, "Ukraine"}, {0x896000, 0x896FFF, "United Arab Emirates"},
    {0x400000, 0x43FFFF, "United Kingdom"}, {0x080000, 0x080FFF, "Tanzania"}, {0xA00000, 0xAFFFFF, "United States"},
    {0xE90000, 0xE90FFF, "Uruguay"}, {0x507C00, 0x507FFF, "Uzbekistan"}, {0xC90000, 0xC903FF, "Vanuatu"},
    {0x0D8000, 0x0DFFFF, "Venezuela"}, {0x888000, 0x88FFFF, "Vietnam"}, {0x890000, 0x890FFF, "Yemen"},
    {0x4C0000, 0x4C7FFF, "Yugoslavia"}, {0x08A000, 0x08AFFF, "Zambia"}, {0x004000, 0x0043FF, "Zimbabwe"},
    };
    ASSERT_EQ(std::size(blocks), 194u);
    for (const Block& block : blocks) {
        EXPECT_EQ(GetCountry(block.first), block.country) << std::hex << block.first;
        EXPECT_EQ(GetCountry(block.last), block.country) << std::hex << block.last;
    }
}

TEST(UTCStampSeconds, ReadsAStampBackAsSecondsSince1970)
{
    EXPECT_DOUBLE_EQ(UTCStampSeconds("20261205132735042").value_or(-1), 1796477255.042);
    EXPECT_DOUBLE_EQ(UTCStampSeconds("19700101000000000").value_or(-1), 0.0);
    for (const char* bad : {"", "2026120513273504", "202612051327350420", "2026120513273504x", "20261305132735042",
                            "20260230132735042", "20261205242735042", "20261205136035042"})
        EXPECT_FALSE(UTCStampSeconds(bad)) << bad;
}
