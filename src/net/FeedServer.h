#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QHostAddress>
#include <QTcpServer>

#include "feeds/FeedHub.h"
#include "feeds/FeedStatus.h"

class QTcpSocket;

namespace telvorn {

class FeedSocket;

// One listening feed: every client that connects gets the protocol's bytes
// from the hub, through a bounded buffer of its own. A client that stops
// reading is dropped when its buffer is full; clients past the limit are
// refused. Each drop is reported once, a run of refusals once until a place
// frees up again. What clients send is read and thrown away.
class FeedServer {
public:
    using Reporter = std::function<void(const std::string& message)>;

    FeedServer(FeedHub& hub, FeedProtocol protocol, std::size_t clientBuffer, std::size_t maxClients,
               Reporter report);
    ~FeedServer();
    FeedServer(const FeedServer&) = delete;
    FeedServer& operator=(const FeedServer&) = delete;

    // Port 0 takes any free port. Reports a failure and returns false.
    bool listen(const QHostAddress& address, std::uint16_t port);
    FeedServerStatus status() const;

private:
    struct Client;

    void accept();
    void remove(QTcpSocket* socket);
    std::string where() const;

    FeedHub& hub_;
    FeedProtocol protocol_;
    std::size_t clientBuffer_;
    std::size_t maxClients_;
    Reporter report_;
    QTcpServer server_;
    std::vector<std::unique_ptr<Client>> clients_;
    bool refusing_ = false;
    QHostAddress address_;
    std::uint16_t requestedPort_ = 0;
};

} // namespace telvorn
