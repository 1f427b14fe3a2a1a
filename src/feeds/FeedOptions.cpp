#include "feeds/FeedOptions.h"

#include <charconv>

#include "text/QuotedValue.h"

namespace telvorn {

namespace {

std::optional<std::uint16_t> Port(std::string_view text, unsigned lowest)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty() || value < lowest || value > 65535)
        return std::nullopt;
    return std::uint16_t(value);
}

std::optional<FeedEndpoint> Endpoint(std::string_view text)
{
    const std::size_t protocolAt = text.rfind(':');
    if (protocolAt == std::string_view::npos)
        return std::nullopt;
    const std::optional<FeedProtocol> protocol = FeedProtocolNamed(text.substr(protocolAt + 1));
    text = text.substr(0, protocolAt);
    const std::size_t portAt = text.rfind(':');
    if (!protocol || portAt == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::uint16_t> port = Port(text.substr(portAt + 1), 1);
    std::string_view host = text.substr(0, portAt);
    // An IPv6 address comes in brackets, as in URLs: [::1]:30004:beast.
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (!port || host.empty() || host.find_first_of("[] ") != std::string_view::npos)
        return std::nullopt;
    return FeedEndpoint{*protocol, std::string(host), *port};
}

std::optional<FeedProtocol> ServerNamed(std::string_view name)
{
    for (FeedProtocol protocol : kFeedProtocols)
        if (name.size() == FeedProtocolName(protocol).size() + 7 && name.starts_with("--") && name.ends_with("-port") &&
            name.substr(2, FeedProtocolName(protocol).size()) == FeedProtocolName(protocol))
            return protocol;
    return std::nullopt;
}

} // namespace

const std::optional<std::uint16_t>& FeedOptions::port(FeedProtocol protocol) const
{
    switch (protocol) {
    case FeedProtocol::Sbs:
        return sbsPort;
    case FeedProtocol::Raw:
        return rawPort;
    case FeedProtocol::Beast:
        break;
    }
    return beastPort;
}

std::optional<std::uint16_t>& FeedOptions::port(FeedProtocol protocol)
{
    return const_cast<std::optional<std::uint16_t>&>(static_cast<const FeedOptions&>(*this).port(protocol));
}

bool FeedOptions::any() const
{
    return sbsPort || rawPort || beastPort || !connects.empty();
}

bool IsFeedOption(std::string_view name)
{
    return ServerNamed(name) || name == "--bind" || name == "--connect";
}

bool SetFeedOption(std::string_view name, std::optional<std::string_view> given, FeedOptions& options,
                   std::string& error)
{
    if (!given) {
        error = std::string(name) + " needs a value (see --help)";
        return false;
    }
    const std::string_view value = *given;
    if (const std::optional<FeedProtocol> server = ServerNamed(name)) {
        const std::optional<std::uint16_t> port = Port(value, 0);
        if (!port) {
            error = std::string(name) + " needs a TCP port from 0 (any free one) to 65535, got " + QuotedValue(value);
            return false;
        }
        for (FeedProtocol other : kFeedProtocols)
            if (other != *server && *port != 0 && options.port(other) == port) {
                error = std::string(name) + " " + std::to_string(*port) + ": --" +
                        std::string(FeedProtocolName(other)) + "-port already serves on that port";
                return false;
            }
        options.port(*server) = port;
    } else if (name == "--bind") {
        if (value.empty()) {
            error = "--bind needs an address to listen on, for example 0.0.0.0 for every interface";
            return false;
        }
        options.bindAddress = std::string(value);
    } else if (name == "--connect") {
        const std::optional<FeedEndpoint> endpoint = Endpoint(value);
        if (!endpoint) {
            error = "--connect needs HOST:PORT:PROTOCOL with PROTOCOL sbs, raw or beast, for example "
                    "127.0.0.1:30004:beast; got " +
                    QuotedValue(value);
            return false;
        }
        options.connects.push_back(*endpoint);
    } else {
        error = std::string(name) + " is not a feed option";
        return false;
    }
    return true;
}

FeedOptionResult ParseFeedOption(std::span<const std::string_view> args, std::size_t& i, FeedOptions& options,
                                 std::string& error)
{
    std::string_view name = args[i];
    std::optional<std::string_view> value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string_view::npos) {
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
    }
    if (!IsFeedOption(name))
        return FeedOptionResult::NotFeedOption;
    if (!value && i + 1 < args.size())
        value = args[++i];
    return SetFeedOption(name, value, options, error) ? FeedOptionResult::Taken : FeedOptionResult::Error;
}

std::vector<std::string> FeedArguments(const FeedOptions& options)
{
    std::vector<std::string> args;
    for (FeedProtocol protocol : kFeedProtocols)
        if (const auto& port = options.port(protocol)) {
            args.push_back("--" + std::string(FeedProtocolName(protocol)) + "-port");
            args.push_back(std::to_string(*port));
        }
    if (options.bindAddress != FeedOptions{}.bindAddress) {
        args.push_back("--bind");
        args.push_back(options.bindAddress);
    }
    for (const FeedEndpoint& endpoint : options.connects) {
        const bool v6 = endpoint.host.find(':') != std::string::npos;
        args.push_back("--connect");
        args.push_back((v6 ? "[" + endpoint.host + "]" : endpoint.host) + ":" + std::to_string(endpoint.port) + ":" +
                       std::string(FeedProtocolName(endpoint.protocol)));
    }
    return args;
}

std::string_view FeedUsage()
{
    return "Network feeds (off unless asked for):\n"
           "  --sbs-port N           serve BaseStation lines on TCP port N (customary 30003)\n"
           "  --raw-port N           serve raw frames as AVR text (customary 30002)\n"
           "  --beast-port N         serve raw frames in the Beast binary format (customary 30005)\n"
           "  --bind ADDRESS         listen on ADDRESS instead of 127.0.0.1 (0.0.0.0: every interface)\n"
           "  --connect HOST:PORT:PROTOCOL\n"
           "                         push sbs, raw or beast to a program that listens, for example\n"
           "                         127.0.0.1:30004:beast into dump1090's Beast input; repeatable;\n"
           "                         reconnects by itself every 5 s\n"
           "  Raw and Beast carry the board's frames only with its RAW setting on.\n";
}

} // namespace telvorn
