#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "feeds/FeedHub.h"
#include "feeds/FeedStatus.h"

namespace telvorn {

class FeedSocket;

// A push client: connects to a program that listens (a decoder's Beast or
// raw input, an aggregator) and sends it one protocol. When the connection
// fails, is lost or is dropped because the other side stopped reading, it
// says so once and tries again every `reconnectMs` until it is back, which
// it also says once. Nothing is kept for it while it is away.
class FeedPush {
public:
    using Reporter = std::function<void(const std::string& message)>;

    FeedPush(FeedHub& hub, FeedEndpoint endpoint, std::size_t buffer, int reconnectMs, Reporter report);
    ~FeedPush();
    FeedPush(const FeedPush&) = delete;
    FeedPush& operator=(const FeedPush&) = delete;

    void start();
    FeedPushStatus status() const;

private:
    void attempt();
    void connected();
    void ended();
    void overflowed(std::size_t waiting);
    std::string name() const;
    std::string every() const;

    FeedHub& hub_;
    FeedEndpoint endpoint_;
    std::size_t buffer_;
    int reconnectMs_;
    Reporter report_;
    QTcpSocket socket_;
    QTimer retry_;
    QTimer connectLimit_;
    std::unique_ptr<FeedSocket> sink_;
    bool wasConnected_ = false;
    bool said_ = false; // the current outage has been reported
};

} // namespace telvorn
