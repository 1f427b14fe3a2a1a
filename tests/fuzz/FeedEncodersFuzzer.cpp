// Arbitrary bytes through the receive chain with the network feeds' hub
// following it, all three protocols on: whatever the board sends, what
// leaves must be well-formed for the programs that read it.
//   BaseStation: CR LF lines of exactly 22 fields, "MSG", a type 1 to 8, the
//     address as six upper-case hex digits, dates yyyy/MM/dd and times
//     HH:mm:ss.fff, flags empty, -1 or 0, no CR or LF inside a line.
//   AVR: "*", 14 or 28 upper-case hex digits, ";", CR LF.
//   Beast: read back with its escapes, the same frames in the same order as
//     the AVR stream, each '2' with 7 bytes or '3' with 14.
//
// Input: byte 0 holds the options (bit 0 raw mode, bit 1 distance flag);
// the rest is the byte stream, in receive events of 61 bytes so lines are
// cut everywhere.
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "feeds/FeedHub.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;

namespace {

struct Capture final : FeedSink {
    std::string bytes;
    bool offer(std::string_view more) override
    {
        bytes += more;
        return true;
    }
};

bool UpperHex(std::string_view text)
{
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'A' || c > 'F'))
            return false;
    return true;
}

// "d" is a digit, anything else itself.
bool Shaped(std::string_view text, std::string_view shape)
{
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    return true;
}

std::vector<std::string_view> Lines(std::string_view bytes, const char* protocol)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        FUZZ_CHECK(end != std::string_view::npos, std::string(protocol) + " output does not end in CR LF");
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 2);
    }
    return lines;
}

void CheckSbs(std::string_view bytes)
{
    for (std::string_view line : Lines(bytes, "SBS")) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos, "CR or LF inside an SBS line");
        std::vector<std::string_view> f;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos; start = comma + 1)
            f.push_back(line.substr(start, comma - start));
        f.push_back(line.substr(start));
        FUZZ_CHECK(f.size() == 22, "SBS line of " + std::to_string(f.size()) + " fields: " + std::string(line));
        FUZZ_CHECK(f[0] == "MSG" && f[1].size() == 1 && f[1][0] >= '1' && f[1][0] <= '8',
                   "SBS line of no message type: " + std::string(line));
        FUZZ_CHECK(f[4].size() == 6 && UpperHex(f[4]), "SBS hex ident: " + std::string(line));
        for (std::size_t i : {6u, 8u})
            FUZZ_CHECK(Shaped(f[i], "dddd/dd/dd") && Shaped(f[i + 1], "dd:dd:dd.ddd"),
                       "SBS date or time: " + std::string(line));
        for (std::size_t i = 18; i < 22; ++i)
            FUZZ_CHECK(f[i].empty() || f[i] == "-1" || f[i] == "0", "SBS flag: " + std::string(line));
    }
}

std::vector<std::string> AvrFrames(std::string_view bytes)
{
    std::vector<std::string> frames;
    for (std::string_view line : Lines(bytes, "AVR")) {
        FUZZ_CHECK((line.size() == 16 || line.size() == 30) && line.front() == '*' && line.back() == ';' &&
                       UpperHex(line.substr(1, line.size() - 2)),
                   "AVR line: " + std::string(line));
        frames.emplace_back(line.substr(1, line.size() - 2));
    }
    return frames;
}

std::vector<std::string> BeastFrames(std::string_view bytes)
{
    constexpr char kEscape = 0x1A;
    constexpr char kHex[] = "0123456789ABCDEF";
    std::vector<std::string> frames;
    std::size_t at = 0;
    auto next = [&]() -> unsigned char {
        FUZZ_CHECK(at < bytes.size(), "Beast message cut short");
        const char c = bytes[at++];
        if (c == kEscape) {
            FUZZ_CHECK(at < bytes.size() && bytes[at] == kEscape, "lone 0x1A inside a Beast message");
            ++at;
        }
        return static_cast<unsigned char>(c);
    };
    while (at < bytes.size()) {
        FUZZ_CHECK(bytes[at] == kEscape && at + 1 < bytes.size(), "Beast message without its 0x1A");
        const char type = bytes[at + 1];
        FUZZ_CHECK(type == '2' || type == '3', "Beast message of type " + std::to_string(int(type)));
        at += 2;
        for (int i = 0; i < 7; ++i) // timestamp and signal level
            next();
        std::string frame;
        for (int i = 0; i < (type == '2' ? 7 : 14); ++i) {
            const unsigned char byte = next();
            frame += kHex[byte >> 4];
            frame += kHex[byte & 0xF];
        }
        frames.push_back(frame);
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    FrozenClock clock;
    ReceiveChain chain(clock);
    chain.state().RawMode = (data[0] & 1) != 0;
    chain.state().DstFlag = (data[0] & 2) != 0;
    chain.SetupColumns();
    FeedHub hub(clock);
    Capture sbs, raw, beast;
    hub.attach(FeedProtocol::Sbs, sbs);
    hub.attach(FeedProtocol::Raw, raw);
    hub.attach(FeedProtocol::Beast, beast);
    chain.addObserver(&hub);

    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t at = 0; at < stream.size(); at += 61)
        chain.received(stream.substr(at, 61));
    hub.flush();
    chain.removeObserver(&hub);

    CheckSbs(sbs.bytes);
    FUZZ_CHECK(AvrFrames(raw.bytes) == BeastFrames(beast.bytes), "the Beast and AVR streams carry other frames");
    return 0;
}
