#include "feeds/FrameFormats.h"

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kEscape = 0x1A;

void AppendEscaped(std::uint8_t byte, std::string& out)
{
    const char c = static_cast<char>(byte);
    if (c == kEscape)
        out += kEscape;
    out += c;
}

} // namespace

std::optional<ModeSFrame> ParseFrameHex(std::string_view text)
{
    if (text.size() != 14 && text.size() != 28)
        return std::nullopt;
    ModeSFrame frame;
    frame.size = text.size() / 2;
    for (std::size_t i = 0; i < frame.size; ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        frame.bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return frame;
}

void AppendAvr(const ModeSFrame& frame, std::string& out)
{
    out += '*';
    for (std::size_t i = 0; i < frame.size; ++i) {
        out += kHexDigits[frame.bytes[i] >> 4];
        out += kHexDigits[frame.bytes[i] & 0x0F];
    }
    out += ";\r\n";
}

void AppendBeast(const ModeSFrame& frame, std::uint64_t timestamp, std::uint8_t signal, std::string& out)
{
    out += kEscape;
    out += frame.size == 7 ? '2' : '3';
    for (int shift = 40; shift >= 0; shift -= 8)
        AppendEscaped(static_cast<std::uint8_t>(timestamp >> shift), out);
    AppendEscaped(signal, out);
    for (std::size_t i = 0; i < frame.size; ++i)
        AppendEscaped(frame.bytes[i], out);
}

} // namespace telvorn
