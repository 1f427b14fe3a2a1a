#pragma once

#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "table/ApplyRecord.h"
#include "table/MainState.h"

namespace telvorn::bench {

// The table as a plain list control would keep it: find a row by walking
// every row, write the record, then sort the whole list again. The yardstick
// the real table is measured against; it writes the same cells.
class LiteralTable {
public:
    explicit LiteralTable(int sortColumn) : sortColumn_(std::size_t(sortColumn)) {}

    void apply(const RecordFields& f, const MainState& state, const Clock& clock);
    std::size_t size() const { return rows_.size(); }

private:
    std::vector<AircraftRow> rows_;
    std::size_t sortColumn_;
};

} // namespace telvorn::bench
