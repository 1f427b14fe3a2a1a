#include "tracks/EmergencyWatch.h"

#include <array>

#include "modes/DecodeAlert.h"

namespace telvorn {

namespace {

bool IsEmergencyCode(std::string_view code)
{
    return code.size() == 1 && ((code[0] >= '1' && code[0] <= '5') || code[0] == '8');
}

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string_view SquawkEmergency(std::string_view squawk)
{
    if (squawk == "7500")
        return "hijack";
    if (squawk == "7600")
        return "radio failure";
    if (squawk == "7700")
        return "general emergency";
    return {};
}

void EmergencyWatch::recordApplied(const RecordFields& fields, RowId row)
{
    const std::string_view squawk = fields[10];
    if (squawk.empty())
        return;
    const std::string_view meaning = SquawkEmergency(squawk);
    if (meaning.empty() && (row >= active_.size() || !active_[row]))
        return;
    RowState& state = at(row);
    state.squawk = meaning;
    if (state.alertFromSquawk && squawk != state.squawkAtAlert) {
        state.alert = {};
        state.alertFromSquawk = false;
    }
    noteActive(row);
}

void EmergencyWatch::alertReceived(std::string_view line)
{
    const std::optional<std::array<std::string_view, 3>> fields = SplitAlert(line);
    if (!fields)
        return;
    const std::optional<RowId> row = subjectRow((*fields)[0]);
    if (!row)
        return;
    RowState& state = at(*row);
    if (IsEmergencyCode((*fields)[1])) {
        state.alert = AlertStateText((*fields)[1]);
        state.alertFromSquawk = (*fields)[2] == "S";
        state.squawkAtAlert = table_.row(*row)[Column::Sqwk];
    } else {
        state.alert = {};
        state.alertFromSquawk = false;
    }
    noteActive(*row);
}

void EmergencyWatch::rowRemoved(RowId row)
{
    if (row < rows_.size()) {
        rows_[row] = RowState{};
        active_[row] = 0;
    }
}

bool EmergencyWatch::inEmergency(RowId row) const
{
    return !emergencyText(row).empty();
}

std::string_view EmergencyWatch::emergencyText(RowId row) const
{
    if (row >= rows_.size())
        return {};
    const RowState& state = rows_[row];
    return state.alert.empty() ? state.squawk : state.alert;
}

EmergencyWatch::RowState& EmergencyWatch::at(RowId row)
{
    if (row >= rows_.size()) {
        rows_.resize(std::size_t(row) + 1);
        active_.resize(std::size_t(row) + 1);
    }
    return rows_[row];
}

void EmergencyWatch::noteActive(RowId row)
{
    active_[row] = !rows_[row].squawk.empty() || !rows_[row].alert.empty();
}

// The board names the subject by the address as it sends it in records (six
// upper-case hexadecimal digits); blanks around it and lower case are taken
// as the same address.
std::optional<RowId> EmergencyWatch::subjectRow(std::string_view subject) const
{
    subject = TrimBlanks(subject);
    if (subject.empty())
        return std::nullopt;
    if (const std::optional<RowId> row = table_.FindAircraftRow(subject))
        return row;
    std::string upper(subject);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    if (upper == subject)
        return std::nullopt;
    return table_.FindAircraftRow(upper);
}

} // namespace telvorn
