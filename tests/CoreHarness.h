#pragma once

#include <array>
#include <chrono>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "modes/FrameDecoder.h"
#include "modes/POS_Calc.h"
#include "platform/Clock.h"
#include "table/AircraftTable.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

namespace telvorn::test {

// A record line "+f0,...,f15" with the given fields set and the rest empty.
template <typename Fields>
std::string RecordWith(const Fields& fields)
{
    std::array<std::string, 16> f;
    for (const auto& [index, text] : fields)
        f[std::size_t(index)] = text;
    std::string line = "+" + f[0];
    for (std::size_t i = 1; i < f.size(); ++i)
        line += "," + f[i];
    return line;
}

inline std::string Record(std::initializer_list<std::pair<int, std::string>> fields)
{
    return RecordWith(fields);
}

// A typical DF17 record of an address, with extra fields on top.
inline std::string Record17(const std::string& address, std::initializer_list<std::pair<int, std::string>> more = {})
{
    std::vector<std::pair<int, std::string>> fields{{2, "17"}, {3, address}};
    fields.insert(fields.end(), more.begin(), more.end());
    return RecordWith(fields);
}

// The core's objects wired as the main window wires them, on a frozen clock
// (2026-12-05 13:27:35.042 UTC, TZ as the process has it).
struct CoreHarness {
    FrozenClock clock{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{13} +
                      std::chrono::minutes{27} + std::chrono::seconds{35} + std::chrono::milliseconds{42}};
    MainState state;
    AircraftTable table;
    StatusPanels panels;
    POS_Calc positions;
    FrameDecoder decoder{table, panels, state, clock, positions};

    void decode(const std::string& line) { decoder.DecodeFrame(line); }

    const AircraftRow* row(std::string_view address) const
    {
        const auto id = table.FindAircraftRow(address);
        return id ? &table.row(*id) : nullptr;
    }
    std::string cell(std::string_view address, Column column) const
    {
        return row(address) ? (*row(address))[column] : "<no row>";
    }
};

} // namespace telvorn::test
