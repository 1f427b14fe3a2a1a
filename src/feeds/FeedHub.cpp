#include "feeds/FeedHub.h"

#include <algorithm>

#include "feeds/FrameFormats.h"
#include "feeds/SbsEncoder.h"

namespace telvorn {

FeedHub::FeedHub(const Clock& clock) : clock_(clock) {}

void FeedHub::attach(FeedProtocol protocol, FeedSink& sink)
{
    std::vector<FeedSink*>& sinks = stream(protocol).sinks;
    if (std::find(sinks.begin(), sinks.end(), &sink) == sinks.end())
        sinks.push_back(&sink);
}

void FeedHub::detach(FeedSink& sink)
{
    for (Stream& s : streams_) {
        // A sink that goes away in the middle of a flush leaves a gap that
        // the flush closes when it is done.
        if (flushing_)
            std::replace(s.sinks.begin(), s.sinks.end(), &sink, static_cast<FeedSink*>(nullptr));
        else
            std::erase(s.sinks, &sink);
    }
}

std::size_t FeedHub::sinkCount(FeedProtocol protocol) const
{
    const std::vector<FeedSink*>& sinks = streams_[Index(protocol)].sinks;
    return std::size_t(std::count_if(sinks.begin(), sinks.end(), [](const FeedSink* s) { return s != nullptr; }));
}

void FeedHub::flush()
{
    flushRequested_ = false;
    for (Stream& s : streams_)
        flush(s);
}

void FeedHub::flush(Stream& s)
{
    if (s.pending.empty())
        return;
    flushing_ = true;
    for (FeedSink*& sink : s.sinks)
        if (sink && !sink->offer(s.pending))
            sink = nullptr;
    flushing_ = false;
    std::erase(s.sinks, nullptr);
    s.pending.clear();
}

void FeedHub::queued()
{
    bool large = false;
    for (const Stream& s : streams_)
        large = large || s.pending.size() >= kFlushAt;
    if (!flushRequest_ || large) {
        flush();
        return;
    }
    if (!flushRequested_) {
        flushRequested_ = true;
        flushRequest_();
    }
}

void FeedHub::recordReceived(const RecordFields& fields)
{
    Stream& raw = stream(FeedProtocol::Raw);
    Stream& beast = stream(FeedProtocol::Beast);
    if ((raw.sinks.empty() && beast.sinks.empty()) || fields[0].empty())
        return;
    const std::optional<ModeSFrame> frame = ParseFrameHex(fields[0]);
    if (!frame)
        return;
    if (!raw.sinks.empty())
        AppendAvr(*frame, raw.pending);
    if (!beast.sinks.empty()) {
        const UtcDateTime now = clock_.utcNow();
        const long msOfDay = ((now.hour * 60L + now.minute) * 60L + now.second) * 1000L + now.millisecond;
        // The board gives no signal level.
        AppendBeast(*frame, BeastTimestamp(msOfDay), 0, beast.pending);
    }
    queued();
}

void FeedHub::recordApplied(const RecordFields& fields, RowId /*row*/, const MainState& state)
{
    Stream& sbs = stream(FeedProtocol::Sbs);
    if (sbs.sinks.empty())
        return;
    const std::size_t before = sbs.pending.size();
    AppendSbsLines(fields, state, alerts_.flagsOf(fields[3]), localTime_.now(clock_), sbs.pending);
    if (sbs.pending.size() != before)
        queued();
}

void FeedHub::alertReceived(std::string_view line)
{
    alerts_.alertReceived(line);
}

} // namespace telvorn
