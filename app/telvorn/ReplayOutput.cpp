#include "ReplayOutput.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace telvorn::app {

namespace {

constexpr std::array<Panel, 5> kReportedPanels{Panel::Raw, Panel::Crc, Panel::Prc, Panel::All, Panel::Alt};

// Six decimals place a point to a tenth of a metre; shorter when exact.
std::string JsonNumber(double value)
{
    std::array<char, 64> buffer{};
    char* end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 6).ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    std::string text(buffer.data(), end);
    return text == "-0" ? "0" : text;
}

} // namespace

std::string JsonString(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (b) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (b >= 0x20 && b < 0x7f) {
                out += c;
            } else {
                out += "\\u00";
                out += kHex[b >> 4];
                out += kHex[b & 0xf];
            }
        }
    }
    out += '"';
    return out;
}

std::string ReplayJson(const StatusPanels& panels, const AircraftTable& table, const MainState& state,
                       const Tracker& tracker)
{
    const auto& defs = StatusPanels::Definitions();
    std::string out = "{\"panels\": {";
    for (std::size_t i = 0; i < kReportedPanels.size(); ++i) {
        const Panel p = kReportedPanels[i];
        if (i)
            out += ", ";
        out += JsonString(defs[std::size_t(p)].key);
        out += ": ";
        out += JsonString(panels.text(p));
    }
    out += "}, \"columns\": [";
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (c)
            out += ", ";
        out += JsonString(table.columns()[c].key);
    }
    out += "], \"rows\": [";
    bool firstRow = true;
    for (RowId id : table.idsInOrder()) {
        out += firstRow ? "[" : ", [";
        firstRow = false;
        const AircraftRow& row = table.row(id);
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            if (c)
                out += ", ";
            out += JsonString(row.cells[c]);
        }
        out += ']';
    }
    out += "], \"last_position\": [";
    out += JsonString(state.PosLat[1]);
    out += ", ";
    out += JsonString(state.PosLon[1]);
    out += "], \"positions\": {";
    bool firstPosition = true;
    for (RowId id : table.idsInOrder()) {
        const AircraftTrack* track = tracker.track(id);
        if (!track || !track->position())
            continue;
        out += firstPosition ? "" : ", ";
        firstPosition = false;
        out += JsonString(table.row(id)[Column::Icao]);
        out += ": [";
        out += JsonNumber(track->position()->lat);
        out += ", ";
        out += JsonNumber(track->position()->lon);
        out += ']';
    }
    out += "}}\n";
    return out;
}

std::string ReplayText(const StatusPanels& panels, const AircraftTable& table, const MainState& state)
{
    // The hidden "LAST" column stays hidden here as well.
    constexpr std::size_t shown = kColumnCount - 1;
    const std::vector<RowId> order = table.idsInOrder();
    std::array<std::size_t, shown> width{};
    for (std::size_t c = 0; c < shown; ++c) {
        width[c] = table.columns()[c].caption.size();
        for (RowId id : order)
            width[c] = std::max(width[c], table.row(id).cells[c].size());
    }
    auto cell = [&](std::string& out, std::string_view text, std::size_t c) {
        const std::size_t pad = width[c] - std::min(width[c], text.size());
        if (table.columns()[c].alignment == Alignment::Right)
            out.append(pad, ' ');
        out.append(text);
        if (table.columns()[c].alignment == Alignment::Left)
            out.append(pad, ' ');
        out += c + 1 < shown ? "  " : "\n";
    };
    std::string out;
    for (std::size_t c = 0; c < shown; ++c)
        cell(out, table.columns()[c].caption, c);
    for (RowId id : order)
        for (std::size_t c = 0; c < shown; ++c)
            cell(out, table.row(id).cells[c], c);
    out += '\n';
    const auto& defs = StatusPanels::Definitions();
    for (Panel p : kReportedPanels) {
        out += defs[std::size_t(p)].tooltip;
        out += ": ";
        out += panels.text(p);
        out += '\n';
    }
    out += "Last position: ";
    out += state.PosLat[1].empty() ? "-" : state.PosLat[1] + ", " + state.PosLon[1];
    out += '\n';
    return out;
}

} // namespace telvorn::app
