#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "feeds/FeedHub.h"

class QTcpSocket;

namespace telvorn {

// A TCP connection as a feed sink. The bytes go into Qt's write buffer,
// which the event loop drains as the peer reads; that buffer is the
// client's bounded output buffer: bytes that would take it past `capacity`
// are refused unless it is empty (so it holds at most `capacity` plus one of
// the hub's chunks), and `overflowed` is told once, from the event loop (never
// inside the hub's flush), with the number of bytes that were waiting.
class FeedSocket final : public FeedSink {
public:
    using Overflow = std::function<void(std::size_t waiting)>;

    FeedSocket(QTcpSocket& socket, std::size_t capacity, Overflow overflowed);
    bool offer(std::string_view bytes) override;

private:
    QTcpSocket& socket_;
    std::size_t capacity_;
    Overflow overflowed_;
    bool full_ = false;
};

} // namespace telvorn
