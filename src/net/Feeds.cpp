#include "net/Feeds.h"

#include <algorithm>

#include <QHostAddress>

#include "net/FeedPush.h"
#include "net/FeedServer.h"

namespace telvorn {

namespace {

bool BindAddress(const std::string& text, QHostAddress& address)
{
    if (text == "localhost") {
        address = QHostAddress(QHostAddress::LocalHost);
        return true;
    }
    return address.setAddress(QString::fromStdString(text));
}

} // namespace

Feeds::Feeds(ReceiveChain& chain, FeedOptions options, Reporter report)
    : chain_(chain), options_(std::move(options)), report_(report ? std::move(report) : [](const std::string&) {}),
      hub_(chain.clock())
{
    flushTimer_.setSingleShot(true);
    QObject::connect(&flushTimer_, &QTimer::timeout, &flushTimer_, [this] { hub_.flush(); });
    hub_.setFlushRequest([this] { flushTimer_.start(std::max(options_.flushMs, 0)); });
}

Feeds::~Feeds()
{
    if (started_)
        chain_.removeObserver(&hub_);
    pushes_.clear();
    servers_.clear();
}

bool Feeds::start()
{
    if (started_)
        return true;
    started_ = true;
    bool ok = true;
    bool serving = false;
    for (FeedProtocol protocol : kFeedProtocols)
        serving = serving || options_.port(protocol).has_value();
    QHostAddress address;
    if (serving && !BindAddress(options_.bindAddress, address)) {
        report_("feeds: --bind " + options_.bindAddress +
                " is not an IP address of this machine; give one such as 127.0.0.1, or 0.0.0.0 for every "
                "interface");
        ok = false;
        serving = false;
    }
    for (FeedProtocol protocol : kFeedProtocols) {
        const auto& port = options_.port(protocol);
        if (!serving || !port)
            continue;
        servers_.push_back(
            std::make_unique<FeedServer>(hub_, protocol, options_.clientBuffer, options_.maxClients, report_));
        ok = servers_.back()->listen(address, *port) && ok;
    }
    for (const FeedEndpoint& endpoint : options_.connects) {
        pushes_.push_back(
            std::make_unique<FeedPush>(hub_, endpoint, options_.clientBuffer, options_.reconnectMs, report_));
        pushes_.back()->start();
    }
    bool frames = options_.rawPort || options_.beastPort;
    for (const FeedEndpoint& endpoint : options_.connects)
        frames = frames || endpoint.protocol != FeedProtocol::Sbs;
    if (frames && !chain_.state().RawFlag)
        report_("feeds: the RAW setting is off, so the board sends no frames and the raw and beast feeds stay "
                "silent; turn it on (settings value RAW, -1) for frames in every record");
    chain_.addObserver(&hub_);
    return ok;
}

FeedStatus Feeds::status() const
{
    FeedStatus s;
    for (const auto& server : servers_)
        s.servers.push_back(server->status());
    for (const auto& push : pushes_)
        s.pushes.push_back(push->status());
    return s;
}

} // namespace telvorn
