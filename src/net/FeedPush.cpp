#include "net/FeedPush.h"

#include <algorithm>

#include "net/FeedSocket.h"

namespace telvorn {

FeedPush::FeedPush(FeedHub& hub, FeedEndpoint endpoint, std::size_t buffer, int reconnectMs, Reporter report)
    : hub_(hub), endpoint_(std::move(endpoint)), buffer_(buffer), reconnectMs_(std::max(reconnectMs, 1)),
      report_(std::move(report))
{
    retry_.setSingleShot(true);
    connectLimit_.setSingleShot(true);
    QObject::connect(&retry_, &QTimer::timeout, &socket_, [this] { attempt(); });
    // A host that never answers would keep the socket connecting for minutes.
    QObject::connect(&connectLimit_, &QTimer::timeout, &socket_, [this] { socket_.abort(); });
    QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] { connected(); });
    QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] { socket_.readAll(); });
    QObject::connect(&socket_, &QAbstractSocket::stateChanged, &socket_, [this](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::UnconnectedState)
            ended();
    });
}

FeedPush::~FeedPush()
{
    if (sink_)
        hub_.detach(*sink_);
    QObject::disconnect(&socket_, nullptr, &socket_, nullptr);
    socket_.abort();
}

void FeedPush::start()
{
    attempt();
}

FeedPushStatus FeedPush::status() const
{
    return {endpoint_, socket_.state() == QAbstractSocket::ConnectedState && sink_ != nullptr};
}

std::string FeedPush::name() const
{
    const bool v6 = endpoint_.host.find(':') != std::string::npos;
    return std::string(FeedProtocolName(endpoint_.protocol)) + " push to " +
           (v6 ? "[" + endpoint_.host + "]" : endpoint_.host) + ":" + std::to_string(endpoint_.port);
}

std::string FeedPush::every() const
{
    return "every " + (reconnectMs_ % 1000 == 0 ? std::to_string(reconnectMs_ / 1000) + " s"
                                                : std::to_string(reconnectMs_) + " ms");
}

void FeedPush::attempt()
{
    socket_.connectToHost(QString::fromStdString(endpoint_.host), endpoint_.port);
    connectLimit_.start(std::max(reconnectMs_, 3000));
}

void FeedPush::connected()
{
    connectLimit_.stop();
    sink_ = std::make_unique<FeedSocket>(socket_, buffer_, [this](std::size_t waiting) { overflowed(waiting); });
    hub_.attach(endpoint_.protocol, *sink_);
    report_("feeds: " + name() + " connected");
    wasConnected_ = true;
    said_ = false;
}

void FeedPush::overflowed(std::size_t waiting)
{
    report_("feeds: dropped the " + name() + ": " + std::to_string(waiting) +
            " bytes were waiting, the other side reads too slowly or not at all; reconnecting " + every());
    said_ = true;
    socket_.abort();
}

void FeedPush::ended()
{
    connectLimit_.stop();
    if (sink_) {
        hub_.detach(*sink_);
        sink_.reset();
    }
    if (!said_) {
        const std::string why = socket_.errorString().toStdString();
        report_(wasConnected_ ? "feeds: lost the " + name() + " (" + why + "); reconnecting " + every()
                              : "feeds: cannot connect the " + name() + " (" + why + "); trying again " + every());
        said_ = true;
    }
    retry_.start(reconnectMs_);
}

} // namespace telvorn
