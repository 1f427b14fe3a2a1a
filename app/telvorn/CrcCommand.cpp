#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "modes/CRC_Calc.h"
#include "text/NumberText.h"

namespace telvorn::app {

namespace {

constexpr std::size_t kShortDigits = 14; // 56-bit frame
constexpr std::size_t kLongDigits = 28;  // 112-bit frame

bool IsFrameText(std::string_view text)
{
    if (text.size() != kShortDigits && text.size() != kLongDigits)
        return false;
    for (char c : text)
        if (HexDigitValue(c) < 0)
            return false;
    return true;
}

// The value of `count` hex digits starting at `first`; the text is valid.
std::uint32_t HexField(std::string_view text, std::size_t first, std::size_t count)
{
    std::uint32_t value = 0;
    for (char c : text.substr(first, count))
        value = (value << 4) | std::uint32_t(HexDigitValue(c));
    return value;
}

void CheckFrame(const CRC_Calc& crc, std::string_view frame)
{
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
    std::string_view status;
    if (frame.size() == kLongDigits) {
        // Data bits 65-88 go to the upper 24 bits of the third word; its
        // lower byte must be zero or it would leak into the parity.
        status = crc.CheckCRCl(HexField(frame, 0, 8), HexField(frame, 8, 8), HexField(frame, 16, 6) << 8,
                               HexField(frame, 22, 6), parity, syndrome);
    } else {
        status = crc.CheckCRCs(HexField(frame, 0, 8), HexField(frame, 8, 6), parity, syndrome);
    }
    std::printf("%.*s %06X %06X\n", int(status.size()), status.data(), unsigned(parity), unsigned(syndrome));
}

} // namespace

int RunCrc(int argc, char** argv)
{
    if (argc < 1) {
        std::fprintf(stderr, "usage: telvorn crc HEX...  (each a 14- or 28-hex-digit Mode S frame)\n");
        return 2;
    }
    // Every argument is checked before any line is printed, so a caller
    // never has to tell which lines belong to which frames after an error.
    std::vector<std::string_view> frames;
    for (int i = 0; i < argc; ++i) {
        const std::string_view frame = argv[i];
        if (!IsFrameText(frame)) {
            std::fprintf(stderr,
                         "telvorn crc: '%s' is not a Mode S frame: give 14 (short) or 28 (long) hex digits\n",
                         argv[i]);
            return 2;
        }
        frames.push_back(frame);
    }
    const CRC_Calc crc;
    for (std::string_view frame : frames)
        CheckFrame(crc, frame);
    return 0;
}

} // namespace telvorn::app
