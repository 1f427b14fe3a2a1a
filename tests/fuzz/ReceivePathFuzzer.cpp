// Arbitrary bytes through the whole receive chain: framing, decoding, the
// aircraft table and the purge, with receive events of any size, lost input,
// a clock that jumps both ways and across midnight, and a sort column that
// changes under the rows. After each purge tick and at the end the table must
// still be sound: "PRC" shows the row count, no address has two rows, the
// index finds every row, and the display order is the sort column's.
//
// Input: byte 0 holds the options (bit 0 raw mode, bit 1 distance flag, bit 2
// log flag with no log open), byte 1 the stored sort column (taken mod 21, so
// two values are no column at all). The rest is the byte stream, cut into
// receive events of the current chunk size; 0xFF starts a control:
//   FF FF        a literal 0xFF byte
//   FF 'O'       receive-buffer overflow event
//   FF 'C' h l   chunk size (h * 256 + l) + 1 bytes from now on (default 64)
//   FF 'J' h l   clock jump by the signed 16-bit value h l in tenths of a second
//   FF 'P'       purge tick
//   FF 'S' k     click on header k (mod 21, 1-based: 0 and 20 are outside)
//   FF 'R' h b   (h + 1) * 1024 copies of byte b: lines past the receive cap
//                from a short input
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "receiver/ReceiveChain.h"
#include "table/ColumnSort.h"

using namespace telvorn;

namespace {

constexpr std::uint8_t kEscape = 0xFF;
constexpr std::size_t kDefaultChunk = 64;

// 23:57 UTC, with the process in UTC: a few jumps reach midnight.
const FrozenClock::TimePoint kStart =
    std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{23} + std::chrono::minutes{57};

void CheckTable(const ReceiveChain& chain)
{
    const AircraftTable& table = chain.table();
    const std::string& prc = chain.panels().text(Panel::Prc);
    FUZZ_CHECK(prc == std::to_string(table.size()) || (prc.empty() && table.empty()),
               "PRC panel '" + prc + "' but " + std::to_string(table.size()) + " rows");
    FUZZ_CHECK(!chain.state().TableBusy, "TableBusy left set");
    FUZZ_CHECK(chain.receiver().buffered() <= ReceiveHandler::kMaxPartialLine, "receive buffer over its cap");

    const auto column = std::size_t(table.sortColumn());
    const bool numeric = table.columns()[column].numeric;
    std::set<std::string_view> addresses;
    for (std::size_t position = 0; position < table.size(); ++position) {
        const RowId id = table.idAt(position);
        const AircraftRow& row = table.row(id);
        const std::string& address = row[Column::Icao];
        FUZZ_CHECK(addresses.insert(address).second, "two rows for address '" + address + "'");
        FUZZ_CHECK(table.FindAircraftRow(address) == id, "index does not find row of '" + address + "'");
        FUZZ_CHECK(table.positionOf(id) == position, "position of a row disagrees with the order");
        if (position > 0)
            FUZZ_CHECK(RowBefore(table.rowAt(position - 1), row, column, numeric),
                       "rows " + std::to_string(position - 1) + " and " + std::to_string(position) +
                           " out of order by column " + std::to_string(column));
    }
    std::size_t live = 0;
    table.forEachRow([&](RowId, const AircraftRow&) { ++live; });
    FUZZ_CHECK(live == table.size(), "live rows differ from the row count");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "UTC", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    FrozenClock clock(kStart);
    ReceiveChain chain(clock);
    MainState& state = chain.state();
    state.RawMode = (data[0] & 1) != 0;
    state.DstFlag = (data[0] & 2) != 0;
    state.LogFlag = (data[0] & 4) != 0;
    state.SortColumn = std::int16_t(data[1] % 21);
    chain.SetupColumns();

    std::size_t chunk = kDefaultChunk;
    // Bytes not yet received, from `sent` on.
    std::string pending;
    std::size_t sent = 0;
    auto deliver = [&] {
        if (sent < pending.size())
            chain.received(std::string_view(pending).substr(sent));
        pending.clear();
        sent = 0;
    };
    for (std::size_t i = 2; i < size; ++i) {
        if (data[i] != kEscape || i + 1 >= size) {
            pending += char(data[i]);
        } else {
            const std::uint8_t op = data[++i];
            const bool twoBytes = i + 2 < size;
            if (op == kEscape) {
                pending += char(kEscape);
            } else if (op == 'O') {
                deliver();
                chain.MSComm_OnComm(comEventRxOver);
            } else if (op == 'C' && twoBytes) {
                deliver();
                chunk = std::size_t(data[i + 1]) * 256 + data[i + 2] + 1;
                i += 2;
            } else if (op == 'J' && twoBytes) {
                deliver();
                const auto tenths = std::int16_t(std::uint16_t(data[i + 1] << 8 | data[i + 2]));
                clock.advance(std::chrono::milliseconds(std::int64_t(tenths) * 100));
                i += 2;
            } else if (op == 'P') {
                deliver();
                chain.TimerClean_Timer();
                CheckTable(chain);
            } else if (op == 'R' && twoBytes) {
                pending.append((std::size_t(data[i + 1]) + 1) * 1024, char(data[i + 2]));
                i += 2;
            } else if (op == 'S' && i + 1 < size) {
                deliver();
                ListView_ColumnClick(chain.table(), state, data[++i] % 21);
            }
        }
        for (; pending.size() - sent >= chunk; sent += chunk)
            chain.received(std::string_view(pending).substr(sent, chunk));
        if (sent == pending.size()) {
            pending.clear();
            sent = 0;
        }
    }
    deliver();
    CheckTable(chain);
    return 0;
}
