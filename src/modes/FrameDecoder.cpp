#include "modes/FrameDecoder.h"

#include <array>
#include <stdexcept>

#include "modes/DecodeAlert.h"
#include "text/NumberText.h"

namespace telvorn {

std::optional<RecordFields> SplitRecord(std::string_view line)
{
    if (line.size() <= 1)
        return std::nullopt;
    std::string_view rest = line.substr(1);
    RecordFields fields;
    std::size_t count = 0;
    for (;;) {
        const std::size_t comma = rest.find(',');
        if (count == fields.size())
            return std::nullopt;
        fields[count++] = rest.substr(0, comma);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    if (count != fields.size())
        return std::nullopt;
    return fields;
}

bool IsAcceptedDownlinkFormat(std::string_view field)
{
    // Digits only: "17x", " 17" or "+17" are not downlink formats.
    if (!IsDigits(field))
        return false;
    std::size_t first = field.find_first_not_of('0');
    if (first == std::string_view::npos)
        return true;
    const std::string_view significant = field.substr(first);
    static constexpr std::array<std::string_view, 7> kAccepted{"4", "5", "11", "16", "17", "20", "21"};
    for (std::string_view df : kAccepted)
        if (significant == df)
            return true;
    return false;
}

FrameDecoder::FrameDecoder(AircraftTable& table, StatusPanels& panels, MainState& state, const Clock& clock,
                           POS_Calc& positions)
    : table_(table), panels_(panels), state_(state), clock_(clock), positions_(positions)
{
}

void FrameDecoder::DecodeFrame(std::string_view line)
{
    const char marker = line.empty() ? '\0' : line.front();
    switch (marker) {
    case '*':
    case '-':
        panels_.increment(Panel::Crc);
        return;
    case '!':
        DecodeAlert(line, panels_);
        if (observer_)
            observer_->alertReceived(line);
        return;
    default:
        DecodeRecord(line);
        return;
    }
}

void FrameDecoder::DecodeRecord(std::string_view line)
{
    const std::optional<RecordFields> fields = SplitRecord(line);
    if (!fields)
        return;
    const RecordFields& f = *fields;
    if (observer_)
        observer_->recordReceived(f);
    if (!f[0].empty())
        panels_.setText(Panel::Raw, f[0]);
    if (!IsAcceptedDownlinkFormat(f[2]))
        return;

    state_.PosLat[1].clear();
    state_.TableBusy = true;
    // Whatever happens while the row is written, the purge must not stay
    // locked out for the rest of the run.
    struct ClearBusy {
        bool& busy;
        ~ClearBusy() { busy = false; }
    } clearBusy{state_.TableBusy};
    state_.PosLon[1].clear();
    const RowId row = ApplyRecord(table_, panels_, state_, clock_, f);
    if (!f[6].empty())
        HandOffPosition(f);
    if (observer_)
        observer_->recordApplied(f, row, state_);
    // The table keeps itself in sort order as each row is committed, so no
    // separate re-sort pass is needed here.
}

void FrameDecoder::HandOffPosition(const RecordFields& f)
{
    if (!state_.RawMode) {
        state_.PosLat[1].assign(f[7]);
        state_.PosLon[1].assign(f[8]);
        return;
    }
    // A flag that is no CPR format, or fields the decoder cannot place,
    // leave the last position empty; the cells already written stay.
    const double flagValue = RoundHalfEven(LeadingNumber(f[6]));
    if (!(flagValue >= 0.0 && flagValue <= 255.0))
        return;
    const auto flag = static_cast<std::uint8_t>(flagValue);
    const double yz = LeadingNumber(f[7]);
    const double xz = LeadingNumber(f[8]);
    try {
        positions_.LocallyPos(flag, yz, xz);
    } catch (const std::exception&) {
        return;
    }
    state_.PosLat[1] = positions_.LAT();
    state_.PosLon[1] = positions_.LON();
}

} // namespace telvorn
