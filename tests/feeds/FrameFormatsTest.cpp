// AVR and Beast encodings of frames published in the Mode-S Beast's own
// description of its output formats (wiki.modesbeast.com, "Mode-S
// Beast:Data Output Formats"): "*02E99619FACDAE;", "*8D3C5EE69901BD9540078D37335F;"
// and the time-stamped "@016CE3671AA88D00199A8BB80030A8000628F400;".

#include <gtest/gtest.h>

#include <string>

#include "feeds/FrameFormats.h"

using namespace telvorn;

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

} // namespace

// Field 0 must be a whole frame; AVR is then upper-case hex between star
// and semicolon.
TEST(FrameFormats, FieldZeroMustBeAWholeFrameAndGoesOutAsAvr)
{
    const std::pair<const char*, const char*> rows[] = {
        {"02E99619FACDAE", "*02E99619FACDAE;\r\n"},
        {"8d3c5ee69901bd9540078d37335f", "*8D3C5EE69901BD9540078D37335F;\r\n"},
        {"", nullptr},
        {"02E99619FACDA", nullptr},                 // 13 digits
        {"8D3C5EE69901BD9540078D37335F0", nullptr}, // 29
        {"02E99619FACDAG", nullptr},
        {"02E99619FACD A", nullptr},
        {"*02E99619FACDAE", nullptr},
    };
    for (const auto& [text, avr] : rows) {
        SCOPED_TRACE(text);
        const auto frame = ParseFrameHex(text);
        ASSERT_EQ(frame.has_value(), avr != nullptr);
        if (!frame)
            continue;
        std::string out = "x";
        AppendAvr(*frame, out);
        EXPECT_EQ(out, std::string("x") + avr);
    }
}

// Escape, type, six timestamp bytes, the signal byte, the frame; every 0x1A
// after the escape doubled, in the timestamp, the signal and the frame.
TEST(FrameFormats, BeastFramesWithTheirEscapes)
{
    struct Row {
        const char* frame;
        std::uint64_t timestamp;
        std::uint8_t signal;
        std::string bytes;
    };
    const Row rows[] = {
        {"02E99619FACDAE", 0x016CE3671C74, 0,
         Bytes({0x1A, '2', 0x01, 0x6C, 0xE3, 0x67, 0x1C, 0x74, 0x00, 0x02, 0xE9, 0x96, 0x19, 0xFA, 0xCD, 0xAE})},
        {"8D00199A8BB80030A8000628F400", 0x016CE3671AA8, 0x1A,
         Bytes({0x1A, '3', 0x01, 0x6C, 0xE3, 0x67, 0x1A, 0x1A, 0xA8, 0x1A, 0x1A, 0x8D, 0x00, 0x19, 0x9A, 0x8B, 0xB8,
                0x00, 0x30, 0xA8, 0x00, 0x06, 0x28, 0xF4, 0x00})},
        {"5D1A1A1A000000", 0, 0,
         Bytes({0x1A, '2', 0, 0, 0, 0, 0, 0, 0, 0x5D, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0, 0, 0})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frame);
        std::string out;
        AppendBeast(*ParseFrameHex(row.frame), row.timestamp, row.signal, out);
        EXPECT_EQ(out, row.bytes);
    }
    // Twelve million ticks a second, from midnight.
    EXPECT_EQ(BeastTimestamp(1), 12000u);
    EXPECT_EQ(BeastTimestamp(86'399'999), 1'036'799'988'000u);
}
