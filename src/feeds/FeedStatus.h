#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "feeds/FeedOptions.h"

namespace telvorn {

// What a window or the monitor shows of the feeds: where they serve, how
// many clients each has, and whether each push client is connected.
struct FeedServerStatus {
    FeedProtocol protocol = FeedProtocol::Sbs;
    std::string address; // as listened on, e.g. 127.0.0.1
    std::uint16_t port = 0;
    bool listening = false;
    std::size_t clients = 0;
    std::size_t waiting = 0; // bytes written for the clients that they have not taken yet
};

struct FeedPushStatus {
    FeedEndpoint endpoint;
    bool connected = false;
};

struct FeedStatus {
    std::vector<FeedServerStatus> servers;
    std::vector<FeedPushStatus> pushes;

    std::size_t clients() const;
    // One line, e.g. "sbs on 127.0.0.1:30003 (2 clients); beast to
    // 10.0.0.5:30004 (connected)"; "no feeds" when there are none.
    std::string text() const;
};

} // namespace telvorn
