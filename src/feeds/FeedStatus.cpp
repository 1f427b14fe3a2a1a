#include "feeds/FeedStatus.h"

namespace telvorn {

std::size_t FeedStatus::clients() const
{
    std::size_t n = 0;
    for (const FeedServerStatus& s : servers)
        n += s.clients;
    return n;
}

std::string FeedStatus::text() const
{
    std::string out;
    const auto separate = [&out] {
        if (!out.empty())
            out += "; ";
    };
    for (const FeedServerStatus& s : servers) {
        separate();
        out += std::string(FeedProtocolName(s.protocol)) + " on " + s.address + ":" + std::to_string(s.port);
        if (!s.listening)
            out += " (not serving)";
        else
            out += " (" + std::to_string(s.clients) + (s.clients == 1 ? " client)" : " clients)");
    }
    for (const FeedPushStatus& p : pushes) {
        separate();
        out += std::string(FeedProtocolName(p.endpoint.protocol)) + " to " + p.endpoint.host + ":" +
               std::to_string(p.endpoint.port) + (p.connected ? " (connected)" : " (reconnecting)");
    }
    return out.empty() ? "no feeds" : out;
}

} // namespace telvorn
