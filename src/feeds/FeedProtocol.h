#pragma once

#include <optional>
#include <string_view>

namespace telvorn {

// The three formats that the tools of the ADS-B world read from a decoder
// over TCP: BaseStation text lines, raw frames as AVR text, and the Beast
// binary format.
enum class FeedProtocol { Sbs, Raw, Beast };

inline constexpr FeedProtocol kFeedProtocols[] = {FeedProtocol::Sbs, FeedProtocol::Raw, FeedProtocol::Beast};

// "sbs", "raw" or "beast": the words of the command line.
constexpr std::string_view FeedProtocolName(FeedProtocol protocol)
{
    switch (protocol) {
    case FeedProtocol::Sbs:
        return "sbs";
    case FeedProtocol::Raw:
        return "raw";
    case FeedProtocol::Beast:
        return "beast";
    }
    return "?";
}

constexpr std::optional<FeedProtocol> FeedProtocolNamed(std::string_view name)
{
    for (FeedProtocol protocol : kFeedProtocols)
        if (FeedProtocolName(protocol) == name)
            return protocol;
    return std::nullopt;
}

constexpr std::size_t Index(FeedProtocol protocol)
{
    return static_cast<std::size_t>(protocol);
}

} // namespace telvorn
