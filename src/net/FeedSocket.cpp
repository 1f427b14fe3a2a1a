#include "net/FeedSocket.h"

#include <QMetaObject>
#include <QTcpSocket>

namespace telvorn {

FeedSocket::FeedSocket(QTcpSocket& socket, std::size_t capacity, Overflow overflowed)
    : socket_(socket), capacity_(capacity), overflowed_(std::move(overflowed))
{
}

bool FeedSocket::offer(std::string_view bytes)
{
    if (full_)
        return false;
    // A client that has taken everything so far takes the next chunk
    // whatever its size (the hub's chunks are bounded by FeedHub::kFlushAt
    // and one record's lines), so a buffer smaller than a chunk does not
    // drop a client that keeps up.
    const auto waiting = std::size_t(socket_.bytesToWrite());
    if (waiting != 0 && waiting + bytes.size() > capacity_) {
        full_ = true;
        // The owner closes the socket, which must not happen in the middle of
        // the hub's flush; the socket as context drops the call if it is
        // gone first.
        QMetaObject::invokeMethod(
            &socket_, [overflowed = overflowed_, waiting] { overflowed(waiting); }, Qt::QueuedConnection);
        return false;
    }
    socket_.write(bytes.data(), qint64(bytes.size()));
    return true;
}

} // namespace telvorn
