#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "modes/FrameDecoder.h"
#include "modes/POS_Calc.h"
#include "modes/RecordObserver.h"
#include "platform/Clock.h"
#include "receiver/LogFile.h"
#include "receiver/ReceiveHandler.h"
#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"
#include "tracks/Tracker.h"

namespace telvorn {

// Everything a received byte passes through on its way into the table, owned
// in one place: the main window's shared state, the aircraft table, the
// status panels, the position decoder, the frame decoder, the line framing,
// the log file and the tracker that keeps each aircraft's position and
// emergency beside its row. The window, the monitor and the replay differ only in
// what feeds it and what shows its state.
class ReceiveChain {
public:
    explicit ReceiveChain(const Clock& clock);
    ReceiveChain(const ReceiveChain&) = delete;
    ReceiveChain& operator=(const ReceiveChain&) = delete;

    MainState& state() { return state_; }
    const MainState& state() const { return state_; }
    AircraftTable& table() { return table_; }
    const AircraftTable& table() const { return table_; }
    StatusPanels& panels() { return panels_; }
    const StatusPanels& panels() const { return panels_; }
    POS_Calc& positions() { return positions_; }
    LogFile& log() { return log_; }
    const ReceiveHandler& receiver() const { return receiver_; }
    const Clock& clock() const { return clock_; }
    const Tracker& tracker() const { return tracker_; }

    // Creates the columns (captions by the distance flag in force) and sorts
    // by the sort column field.
    void SetupColumns();

    // Raw positions decode against the configured receiver position (element
    // 0 of PosLat and PosLon). A position the decoder cannot take keeps the
    // previous reference; returns false then.
    bool applyReference();

    // The serial port's event: received bytes, or lost input.
    void MSComm_OnComm(int eventCode, std::string_view received = {});
    void received(std::string_view bytes) { MSComm_OnComm(comEvReceive, bytes); }

    // The purge timer's tick, on the chain's clock or on another one.
    std::size_t TimerClean_Timer();
    std::size_t TimerClean_Timer(const Clock& clock);

    // Followers of the table (feeds), told in the order added, after the
    // tracker, which the chain registers itself.
    void addObserver(RecordObserver* observer);
    void removeObserver(RecordObserver* observer);

    // The raw-line log in `folder` ("Output.txt"); emptied on each opening.
    static std::string LogPath(const std::string& folder);

private:
    class FanOut final : public RecordObserver {
    public:
        std::vector<RecordObserver*> observers;
        void recordReceived(const RecordFields& fields) override;
        void recordApplied(const RecordFields& fields, RowId row, const MainState& state) override;
        void alertReceived(std::string_view line) override;
    };

    const Clock& clock_;
    MainState state_;
    AircraftTable table_;
    Tracker tracker_;
    StatusPanels panels_;
    POS_Calc positions_;
    FrameDecoder decoder_;
    ReceiveHandler receiver_;
    LogFile log_;
    FanOut fanOut_;
};

} // namespace telvorn
