#pragma once

#include <optional>
#include <string_view>

#include "modes/POS_Calc.h"
#include "modes/RecordObserver.h"
#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "table/ApplyRecord.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

namespace telvorn {

// Splits a record line (marker included) into its 16 fields; empty unless
// there are exactly 16.
std::optional<RecordFields> SplitRecord(std::string_view line);

// Downlink formats whose records reach the table. 18 and 19 do not.
bool IsAcceptedDownlinkFormat(std::string_view field);

// Applies one received line: "*" and "-" frame lines are counted, "!" lines
// are alerts, anything else is a record line for the aircraft table.
class FrameDecoder {
public:
    FrameDecoder(AircraftTable& table, StatusPanels& panels, MainState& state, const Clock& clock,
                 POS_Calc& positions);

    // The line from its marker up to, not including, its first ";".
    void DecodeFrame(std::string_view line);

    void setObserver(RecordObserver* observer) { observer_ = observer; }

private:
    void DecodeRecord(std::string_view line);
    void HandOffPosition(const RecordFields& fields);

    AircraftTable& table_;
    StatusPanels& panels_;
    MainState& state_;
    const Clock& clock_;
    POS_Calc& positions_;
    RecordObserver* observer_ = nullptr;
};

} // namespace telvorn
