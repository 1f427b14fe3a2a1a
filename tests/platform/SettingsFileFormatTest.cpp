#include "platform/SettingsFileFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace telvorn {
namespace {

SettingsFileEntry Text(std::string name, std::string text)
{
    SettingsFileEntry e;
    e.name = std::move(name);
    e.kind = SettingsValueKind::Text;
    e.text = std::move(text);
    return e;
}

SettingsFileEntry Number(std::string name, std::int32_t number)
{
    SettingsFileEntry e;
    e.name = std::move(name);
    e.kind = SettingsValueKind::Number;
    e.number = number;
    return e;
}

std::vector<SettingsFileEntry> Sample()
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    return {Number("MainLeft", 1000), Number("RAW", -1), Text("LAT", "48.721710"), Text("LON", ""),
        Text("odd=name\n", everyByte), Number("COM", 255)};
}

TEST(SettingsFileFormat, AnyByteStringRoundTripsAndTheFileStaysPrintable)
{
    const auto entries = Sample();
    const std::string file = FormatSettingsFile(entries);
    EXPECT_EQ(ParseSettingsFile(file), entries);
    for (const char c : file)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(static_cast<unsigned char>(c));
    EXPECT_NE(file.find("\nLAT=text:48.721710\n"), std::string::npos);
    EXPECT_NE(file.find("\nRAW=number:-1\n"), std::string::npos);
}

TEST(SettingsFileFormat, BadEscapesAreRejected)
{
    for (const std::string_view bad : {"\\", "ab\\", "\\q", "\\x4", "\\xZ1", "\\x"})
        EXPECT_FALSE(UnescapeSettingsText(bad)) << bad;
    EXPECT_EQ(UnescapeSettingsText("\\x3d\\x3D\\\\\\0"), std::string("==\\\0", 4));
}

TEST(SettingsFileFormat, DamagedLinesAreSkippedOneByOne)
{
    struct Row {
        const char* what;
        std::string line;
    };
    const std::vector<Row> damaged = {
        {"no equals sign", "LAT text:1"},
        {"empty name", "=number:1"},
        {"unknown kind", "COM=word:1"},
        {"no kind", "COM=1"},
        {"number not a number", "COM=number:abc"},
        {"number with blank", "COM=number: 1"},
        {"number with plus", "COM=number:+1"},
        {"number trailing junk", "COM=number:1x"},
        {"number too large", "COM=number:2147483648"},
        {"number too small", "COM=number:-2147483649"},
        {"empty number", "COM=number:"},
        {"bad escape", "LAT=text:\\q"},
        {"zero byte",
            std::string("LAT=text:4\0"
                        "8",
                12)},
        {"control byte",
            "LAT=text:4\x01"
            "8"},
        {"escaped name broken", "L\\AT=text:1"},
    };
    for (const auto& row : damaged) {
        const std::string file = "SRT=number:5\n" + row.line + "\nLON=text:2.5\n";
        const std::vector<SettingsFileEntry> expected = {Number("SRT", 5), Text("LON", "2.5")};
        EXPECT_EQ(ParseSettingsFile(file), expected) << row.what;
    }
}

TEST(SettingsFileFormat, ToleratedVariations)
{
    struct Row {
        const char* what;
        std::string file;
        std::vector<SettingsFileEntry> expected;
    };
    const std::vector<Row> rows = {
        {"carriage returns of a Windows editor", "COM=number:3\r\nLAT=text:1\r\n",
            {Number("COM", 3), Text("LAT", "1")}},
        {"comments and blank lines", "# note\n\nCOM=number:3\n", {Number("COM", 3)}},
        {"later duplicate counts, whatever its case", "COM=number:3\ncom=number:4\n",
            {Number("com", 4)}},
        {"kind may change between duplicates", "LAT=number:3\nLAT=text:x\n", {Text("LAT", "x")}},
        {"text of raw high bytes", "LAT=text:\xC3\xA9\n", {Text("LAT", "\xC3\xA9")}},
        {"equals sign inside a value", "LAT=text:a=b\n", {Text("LAT", "a=b")}},
        {"unterminated last line may be cut short", "COM=number:3\nLAT=text:48.7",
            {Number("COM", 3)}},
        {"nothing at all", "", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseSettingsFile(row.file), row.expected) << row.what;
}

TEST(SettingsFileFormat, ATruncatedFileYieldsOnlyWholeValues)
{
    const auto entries = Sample();
    const std::string file = FormatSettingsFile(entries);
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const auto parsed = ParseSettingsFile(std::string_view(file).substr(0, length));
        ASSERT_LE(parsed.size(), entries.size());
        for (std::size_t i = 0; i < parsed.size(); ++i)
            EXPECT_EQ(parsed[i], entries[i]) << "cut at " << length;
    }
}

TEST(SettingsFileFormat, RandomBytesNeverYieldAValue)
{
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 random(seed);
        std::string junk(4096, '\0');
        for (auto& c : junk)
            c = static_cast<char>(random() & 0xFF);
        EXPECT_TRUE(ParseSettingsFile(junk).empty()) << "seed " << seed;
        // Valid lines around the junk still count.
        const auto parsed = ParseSettingsFile("COM=number:9\n" + junk + "\nSRT=number:4\n");
        ASSERT_FALSE(parsed.empty()) << "seed " << seed;
        EXPECT_EQ(parsed.front(), Number("COM", 9)) << "seed " << seed;
        EXPECT_EQ(parsed.back(), Number("SRT", 4)) << "seed " << seed;
    }
}

} // namespace
} // namespace telvorn
