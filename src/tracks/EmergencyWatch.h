#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/AircraftTable.h"
#include "table/ApplyRecord.h"

namespace telvorn {

// "hijack", "radio failure" or "general emergency" for the squawks 7500,
// 7600 and 7700; empty for any other text.
std::string_view SquawkEmergency(std::string_view squawk);

// Which rows are in an emergency, and what it is, for a view to make them
// stand out. Two causes: the row's squawk is one of the three emergency
// codes, or an alert line named the row's address with an emergency code (1
// to 5, or 8). The squawk cause follows the squawk. The alert cause lasts
// until the next alert line for the address (code 0 ends it, and so does any
// code that is no emergency); an alert the board took from the squawk
// (source "S") also ends when the squawk changes. Purging the row ends both.
// The status bar's "ALT" panel is not touched: it stays the decoder's.
class EmergencyWatch {
public:
    explicit EmergencyWatch(const AircraftTable& table) : table_(table) {}

    void recordApplied(const RecordFields& fields, RowId row);
    // An alert line, marker included. A subject that names no row is
    // ignored: there is nothing to mark.
    void alertReceived(std::string_view line);
    void rowRemoved(RowId row);

    bool inEmergency(RowId row) const;
    // The tooltip: the alert's state text when an alert holds, else the
    // squawk's meaning; empty when the row is in no emergency.
    std::string_view emergencyText(RowId row) const;

private:
    struct RowState {
        std::string_view squawk;
        std::string_view alert;
        bool alertFromSquawk = false;
        std::string squawkAtAlert;
    };
    RowState& at(RowId row);
    void noteActive(RowId row);
    std::optional<RowId> subjectRow(std::string_view subject) const;

    const AircraftTable& table_;
    std::vector<RowState> rows_;
    // One byte a row: whether its state holds anything. Most records carry
    // an ordinary squawk for a row in no emergency, and this is all they read.
    std::vector<std::uint8_t> active_;
};

} // namespace telvorn
