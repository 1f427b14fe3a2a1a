#include "receiver/ReceiveChain.h"

#include <algorithm>
#include <exception>

#include "table/StalePurge.h"
#include "text/NumberText.h"

namespace telvorn {

ReceiveChain::ReceiveChain(const Clock& clock)
    : clock_(clock),
      tracker_(table_, clock_),
      decoder_(table_, panels_, state_, clock_, positions_),
      receiver_([this](std::string_view frame) { decoder_.DecodeFrame(frame); }, panels_, state_, clock_)
{
    receiver_.setLog(&log_);
    addObserver(&tracker_);
}

void ReceiveChain::SetupColumns()
{
    table_.SetupColumns(state_.DstFlag);
    if (!table_.setSortColumn(state_.SortColumn))
        state_.SortColumn = std::int16_t(table_.sortColumn());
}

bool ReceiveChain::applyReference()
{
    try {
        positions_.LatLoc(LeadingNumber(state_.PosLat[0]));
        positions_.LonLoc(LeadingNumber(state_.PosLon[0]));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void ReceiveChain::MSComm_OnComm(int eventCode, std::string_view received)
{
    receiver_.MSComm_OnComm(eventCode, received);
}

std::size_t ReceiveChain::TimerClean_Timer()
{
    return TimerClean_Timer(clock_);
}

std::size_t ReceiveChain::TimerClean_Timer(const Clock& clock)
{
    return telvorn::TimerClean_Timer(table_, panels_, state_, clock);
}

void ReceiveChain::addObserver(RecordObserver* observer)
{
    fanOut_.observers.push_back(observer);
    decoder_.setObserver(&fanOut_);
}

void ReceiveChain::removeObserver(RecordObserver* observer)
{
    std::erase(fanOut_.observers, observer);
    if (fanOut_.observers.empty())
        decoder_.setObserver(nullptr);
}

void ReceiveChain::FanOut::recordReceived(const RecordFields& fields)
{
    for (RecordObserver* o : observers)
        o->recordReceived(fields);
}

void ReceiveChain::FanOut::recordApplied(const RecordFields& fields, RowId row, const MainState& state)
{
    for (RecordObserver* o : observers)
        o->recordApplied(fields, row, state);
}

void ReceiveChain::FanOut::alertReceived(std::string_view line)
{
    for (RecordObserver* o : observers)
        o->alertReceived(line);
}

std::string ReceiveChain::LogPath(const std::string& folder)
{
#ifdef _WIN32
    constexpr char kSeparator = '\\';
#else
    constexpr char kSeparator = '/';
#endif
    std::string path = folder;
    if (path.empty() || path.back() != kSeparator)
        path += kSeparator;
    return path + LogFile::kFileName;
}

} // namespace telvorn
