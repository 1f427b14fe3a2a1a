#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/FeedProtocol.h"

namespace telvorn {

// A decoder or aggregator that listens, to push one protocol to.
struct FeedEndpoint {
    FeedProtocol protocol = FeedProtocol::Beast;
    std::string host;
    std::uint16_t port = 0;

    bool operator==(const FeedEndpoint&) const = default;
};

// The network feeds a run was asked for. Servers are off unless a port is
// given; port 0 asks for any free port (the status then tells which).
struct FeedOptions {
    std::optional<std::uint16_t> sbsPort;   // --sbs-port N (customary 30003)
    std::optional<std::uint16_t> rawPort;   // --raw-port N (customary 30002)
    std::optional<std::uint16_t> beastPort; // --beast-port N (customary 30005)
    std::string bindAddress = "127.0.0.1";  // --bind ADDRESS
    std::vector<FeedEndpoint> connects;     // --connect HOST:PORT:PROTOCOL, repeatable

    // Not on the command line: the limits that protect the receive path.
    std::size_t clientBuffer = 512 * 1024; // bytes waiting for one client before it is dropped
    std::size_t maxClients = 64;           // per server; more are refused
    int reconnectMs = 5000;                // a push client's pause between attempts
    int flushMs = 20;                      // how long bytes wait to leave together

    const std::optional<std::uint16_t>& port(FeedProtocol protocol) const;
    std::optional<std::uint16_t>& port(FeedProtocol protocol);
    // True when any server or push client is asked for.
    bool any() const;
};

enum class FeedOptionResult {
    NotFeedOption, // args[i] is none of ours; i unchanged
    Taken,         // args[i] and its value were ours; i is on the value
    Error,         // ours, but wrong; `error` says what to fix
};

// Reads the feed option at args[i], if it is one, with its value from
// args[i + 1] ("--sbs-port 30003", also "--sbs-port=30003"). A command line
// loop calls it first for every argument and handles the rest itself:
//
//   for (std::size_t i = 0; i < args.size(); ++i)
//       switch (ParseFeedOption(args, i, feeds, error)) {
//       case FeedOptionResult::Taken: continue;
//       case FeedOptionResult::Error: fail(error); break;
//       case FeedOptionResult::NotFeedOption: ...its own options...
//       }
FeedOptionResult ParseFeedOption(std::span<const std::string_view> args, std::size_t& i, FeedOptions& options,
                                 std::string& error);

// The same for a reader that has split the option already: true for
// "--sbs-port", "--raw-port", "--beast-port", "--bind" and "--connect".
bool IsFeedOption(std::string_view name);
// Sets the option `name` (one of the above) from its value; false, with
// `error` saying what to fix, for a missing or wrong value.
bool SetFeedOption(std::string_view name, std::optional<std::string_view> value, FeedOptions& options,
                   std::string& error);

// The options back as arguments that ParseFeedOption reads the same; for a
// window that keeps the feeds it was started with in its settings.
std::vector<std::string> FeedArguments(const FeedOptions& options);

// Lines for a --help text.
std::string_view FeedUsage();

} // namespace telvorn
