#include "net/FeedServer.h"

#include <algorithm>

#include <QTcpSocket>

#include "net/FeedSocket.h"

namespace telvorn {

struct FeedServer::Client {
    QTcpSocket* socket;
    FeedSocket sink;
    std::string peer;
};

FeedServer::FeedServer(FeedHub& hub, FeedProtocol protocol, std::size_t clientBuffer, std::size_t maxClients,
                       Reporter report)
    : hub_(hub), protocol_(protocol), clientBuffer_(clientBuffer), maxClients_(maxClients), report_(std::move(report))
{
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
}

FeedServer::~FeedServer()
{
    for (const auto& client : clients_) {
        hub_.detach(client->sink);
        // Closing now must not call back into a server being destroyed.
        QObject::disconnect(client->socket, nullptr, &server_, nullptr);
        client->socket->abort();
        delete client->socket;
    }
}

bool FeedServer::listen(const QHostAddress& address, std::uint16_t port)
{
    address_ = address;
    requestedPort_ = port;
    if (server_.listen(address, port))
        return true;
    report_("feeds: cannot serve " + std::string(FeedProtocolName(protocol_)) + " on " + where() + ": " +
            server_.errorString().toStdString() + "; another program (a decoder?) may serve there: choose another " +
            "port with --" + std::string(FeedProtocolName(protocol_)) + "-port");
    return false;
}

std::string FeedServer::where() const
{
    const std::uint16_t port = server_.isListening() ? server_.serverPort() : requestedPort_;
    const QString host = address_.protocol() == QAbstractSocket::IPv6Protocol ? "[" + address_.toString() + "]"
                                                                              : address_.toString();
    return host.toStdString() + ":" + std::to_string(port);
}

FeedServerStatus FeedServer::status() const
{
    FeedServerStatus s;
    s.protocol = protocol_;
    s.address = address_.toString().toStdString();
    s.port = server_.isListening() ? server_.serverPort() : requestedPort_;
    s.listening = server_.isListening();
    s.clients = clients_.size();
    for (const auto& client : clients_)
        s.waiting += std::size_t(client->socket->bytesToWrite());
    return s;
}

void FeedServer::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const std::string peer = socket->peerAddress().toString().toStdString() + ":" +
                                 std::to_string(socket->peerPort());
        if (clients_.size() >= maxClients_) {
            if (!refusing_)
                report_("feeds: " + std::string(FeedProtocolName(protocol_)) + " on " + where() + " has " +
                        std::to_string(maxClients_) + " clients, the most it takes; refusing " + peer +
                        " and any more until one leaves");
            refusing_ = true;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto overflowed = [this, socket](std::size_t waiting) {
            const auto it = std::find_if(clients_.begin(), clients_.end(),
                                         [socket](const auto& c) { return c->socket == socket; });
            if (it == clients_.end())
                return;
            report_("feeds: dropped " + std::string(FeedProtocolName(protocol_)) + " client " + (*it)->peer +
                    " of " + where() + ": " + std::to_string(waiting) +
                    " bytes were waiting for it; it reads too slowly or not at all");
            socket->abort();
            remove(socket);
        };
        clients_.push_back(std::make_unique<Client>(Client{socket, FeedSocket(*socket, clientBuffer_, overflowed), peer}));
        hub_.attach(protocol_, clients_.back()->sink);
        QObject::connect(socket, &QTcpSocket::readyRead, &server_, [socket] { socket->readAll(); });
        QObject::connect(socket, &QTcpSocket::disconnected, &server_, [this, socket] { remove(socket); });
    }
}

void FeedServer::remove(QTcpSocket* socket)
{
    const auto it =
        std::find_if(clients_.begin(), clients_.end(), [socket](const auto& c) { return c->socket == socket; });
    if (it == clients_.end())
        return;
    hub_.detach((*it)->sink);
    QObject::disconnect(socket, nullptr, &server_, nullptr);
    socket->deleteLater();
    clients_.erase(it);
    if (clients_.size() < maxClients_)
        refusing_ = false;
}

} // namespace telvorn
