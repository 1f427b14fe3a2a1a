// Arbitrary bytes through the whole receive chain: framing, decoding, the
// aircraft table and the purge, with receive events of any size, lost input,
// a clock that jumps both ways and across midnight, and a sort column that
// changes under the rows. Two targets share this driver:
//   receive_path: after each purge tick and at the end the table is sound:
//     "PRC" shows the row count, no address has two rows, the index finds
//     every row, and the display order is the sort column's.
//   feed_encoders (TELVORN_FUZZ_FEEDS): the network feeds' hub follows the
//     chain with all three protocols on, and what leaves is well formed for
//     the programs that read it:
//     BaseStation: CR LF lines of exactly 22 fields, "MSG", a type 1 to 8,
//       the address as six upper-case hex digits, dates yyyy/MM/dd and times
//       HH:mm:ss.fff, flags empty, -1 or 0;
//     AVR: "*", 14 or 28 upper-case hex digits, ";", CR LF;
//     Beast: read back with its escapes, the same frames in the same order
//       as the AVR stream, each '2' with 7 bytes or '3' with 14.
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
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "TextFields.h"
#include "feeds/FeedHub.h"
#include "receiver/ReceiveChain.h"
#include "table/ColumnSort.h"

using namespace telvorn;

namespace {

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
        const std::string& address = table.row(id)[Column::Icao];
        FUZZ_CHECK(addresses.insert(address).second, "two rows for address '" + address + "'");
        FUZZ_CHECK(table.FindAircraftRow(address) == id, "index does not find row of '" + address + "'");
        FUZZ_CHECK(table.positionOf(id) == position, "position of a row disagrees with the order");
        if (position > 0)
            FUZZ_CHECK(RowBefore(table.rowAt(position - 1), table.row(id), column, numeric),
                       "rows " + std::to_string(position) + " out of order by column " + std::to_string(column));
    }
    std::size_t live = 0;
    table.forEachRow([&](RowId, const AircraftRow&) { ++live; });
    FUZZ_CHECK(live == table.size(), "live rows differ from the row count");
}

struct Capture final : FeedSink {
    std::string bytes;
    bool offer(std::string_view more) override
    {
        bytes += more;
        return true;
    }
};

// "h" an upper-case hex digit, "d" a decimal one, anything else itself.
bool Shaped(std::string_view text, std::string_view shape)
{
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        const bool hex = digit || (text[i] >= 'A' && text[i] <= 'F');
        if (shape[i] == 'h' ? !hex : shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

std::vector<std::string_view> Lines(std::string_view bytes, const char* protocol)
{
    std::vector<std::string_view> lines;
    for (std::size_t end; !bytes.empty(); bytes.remove_prefix(end + 2)) {
        end = bytes.find("\r\n");
        FUZZ_CHECK(end != std::string_view::npos, std::string(protocol) + " output does not end in CR LF");
        lines.push_back(bytes.substr(0, end));
    }
    return lines;
}

void CheckSbs(std::string_view bytes)
{
    for (std::string_view line : Lines(bytes, "SBS")) {
        const std::string text(line);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos, "CR or LF inside an SBS line");
        const std::vector<std::string> f = test::Split(line);
        FUZZ_CHECK(f.size() == 22, "SBS line of " + std::to_string(f.size()) + " fields: " + text);
        FUZZ_CHECK(f[0] == "MSG" && f[1].size() == 1 && f[1][0] >= '1' && f[1][0] <= '8', "SBS type: " + text);
        FUZZ_CHECK(Shaped(f[4], "hhhhhh"), "SBS hex ident: " + text);
        for (std::size_t i : {6u, 8u})
            FUZZ_CHECK(Shaped(f[i], "dddd/dd/dd") && Shaped(f[i + 1], "dd:dd:dd.ddd"), "SBS date or time: " + text);
        for (std::size_t i = 18; i < 22; ++i)
            FUZZ_CHECK(f[i].empty() || f[i] == "-1" || f[i] == "0", "SBS flag: " + text);
    }
}

std::vector<std::string> AvrFrames(std::string_view bytes)
{
    std::vector<std::string> frames;
    for (std::string_view line : Lines(bytes, "AVR")) {
        FUZZ_CHECK((line.size() == 16 || line.size() == 30) && line.front() == '*' && line.back() == ';' &&
                       Shaped(line.substr(1, line.size() - 2), std::string(line.size() - 2, 'h')),
                   "AVR line: " + std::string(line));
        frames.emplace_back(line.substr(1, line.size() - 2));
    }
    return frames;
}

// Each message 0x1A, its type, then the timestamp, the signal level and the
// frame with every 0x1A doubled.
std::vector<std::string> BeastFrames(std::string_view bytes)
{
    std::vector<std::string> frames;
    for (std::size_t at = 0; at < bytes.size();) {
        const char type = at + 1 < bytes.size() ? bytes[at + 1] : 0;
        FUZZ_CHECK(bytes[at] == 0x1A && (type == '2' || type == '3'), "Beast message of no type");
        std::string frame;
        for (at += 2; frame.size() < 2 * (type == '2' ? 14 : 21); ++at) {
            FUZZ_CHECK(at < bytes.size(), "Beast message cut short");
            if (bytes[at] == 0x1A)
                FUZZ_CHECK(++at < bytes.size() && bytes[at] == 0x1A, "lone 0x1A inside a Beast message");
            frame += "0123456789ABCDEF"[static_cast<unsigned char>(bytes[at]) >> 4];
            frame += "0123456789ABCDEF"[bytes[at] & 0xF];
        }
        frames.push_back(frame.substr(14));
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "UTC", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::uint8_t kEscape = 0xFF;
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
    FeedHub hub(clock);
    Capture sbs, raw, beast;
    if (TELVORN_FUZZ_FEEDS) {
        hub.attach(FeedProtocol::Sbs, sbs);
        hub.attach(FeedProtocol::Raw, raw);
        hub.attach(FeedProtocol::Beast, beast);
        chain.addObserver(&hub);
    }

    std::size_t chunk = 64;
    // Bytes not yet received, from `sent` on.
    std::string pending;
    std::size_t sent = 0;
    const auto deliver = [&] {
        if (sent < pending.size())
            chain.received(std::string_view(pending).substr(sent));
        pending.clear();
        sent = 0;
    };
    for (std::size_t i = 2; i < size; ++i) {
        const bool twoBytes = i + 3 < size;
        const bool control = data[i] == kEscape && i + 1 < size;
        const std::uint8_t op = control ? data[++i] : 0;
        if (!control || op == kEscape) {
            pending += char(data[i]);
        } else if (op == 'R' && twoBytes) {
            pending.append((std::size_t(data[i + 1]) + 1) * 1024, char(data[i + 2]));
            i += 2;
        } else {
            deliver();
            if (op == 'O') {
                chain.MSComm_OnComm(comEventRxOver);
            } else if (op == 'C' && twoBytes) {
                chunk = std::size_t(data[i + 1]) * 256 + data[i + 2] + 1;
                i += 2;
            } else if (op == 'J' && twoBytes) {
                const auto tenths = std::int16_t(std::uint16_t(data[i + 1] << 8 | data[i + 2]));
                clock.advance(std::chrono::milliseconds(std::int64_t(tenths) * 100));
                i += 2;
            } else if (op == 'P') {
                chain.TimerClean_Timer();
                CheckTable(chain);
            } else if (op == 'S' && i + 1 < size) {
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
    if (TELVORN_FUZZ_FEEDS) {
        hub.flush();
        chain.removeObserver(&hub);
        CheckSbs(sbs.bytes);
        FUZZ_CHECK(AvrFrames(raw.bytes) == BeastFrames(beast.bytes), "the Beast and AVR streams carry other frames");
    }
    return 0;
}
