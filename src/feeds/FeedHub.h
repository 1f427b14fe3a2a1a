#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/AlertBook.h"
#include "feeds/FeedProtocol.h"
#include "feeds/LocalTime.h"
#include "modes/RecordObserver.h"
#include "platform/Clock.h"

namespace telvorn {

// Where the hub's bytes go: one network client, say.
class FeedSink {
public:
    virtual ~FeedSink() = default;
    // Takes the bytes without blocking, into a bounded buffer of its own.
    // False when they do not fit: the hub then forgets the sink, which drops
    // its client and says so once.
    virtual bool offer(std::string_view bytes) = 0;
};

// Follows the receive chain and turns what it hears into the three feed
// formats: BaseStation lines of every record written into the table, AVR
// and Beast frames from field 0 of every record. Each record is encoded once
// per protocol that has sinks, into a pending buffer; flush() hands that
// buffer to every sink of the protocol. A protocol without sinks costs
// nothing. Nothing here waits: a sink that cannot keep up is dropped.
class FeedHub final : public RecordObserver {
public:
    // Pending bytes of one protocol that go out at once, without waiting for
    // the requested flush.
    static constexpr std::size_t kFlushAt = 64 * 1024;

    explicit FeedHub(const Clock& clock);
    FeedHub(const FeedHub&) = delete;
    FeedHub& operator=(const FeedHub&) = delete;

    void attach(FeedProtocol protocol, FeedSink& sink);
    void detach(FeedSink& sink);
    std::size_t sinkCount(FeedProtocol protocol) const;

    // How the owner's event loop is asked to call flush(): once, when bytes
    // start to wait. An event loop that flushes after the receive event
    // sends all lines of that event in one write per client. Without a
    // request every record is flushed at once.
    void setFlushRequest(std::function<void()> request) { flushRequest_ = std::move(request); }
    void flush();

    void recordReceived(const RecordFields& fields) override;
    void recordApplied(const RecordFields& fields, RowId row, const MainState& state) override;
    void alertReceived(std::string_view line) override;

    const AlertBook& alerts() const { return alerts_; }

private:
    struct Stream {
        std::vector<FeedSink*> sinks;
        std::string pending;
    };

    Stream& stream(FeedProtocol protocol) { return streams_[Index(protocol)]; }
    void queued();
    void flush(Stream& stream);

    const Clock& clock_;
    std::array<Stream, 3> streams_;
    AlertBook alerts_;
    LocalTime localTime_;
    std::function<void()> flushRequest_;
    bool flushRequested_ = false;
    bool flushing_ = false;
};

} // namespace telvorn
