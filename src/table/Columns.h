#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace telvorn {

// The aircraft table's columns in display order; position 0 is the row's own text.
enum class Column : std::uint8_t {
    Numb, Df, Time, Icao, Cont, Call, Cat, Sqwk, Alti, Altt,
    Cpr0, Lat0, Lng0, Vrt, Ewv, Nsv, Mgh, Asp, Last,
};

inline constexpr std::size_t kColumnCount = 19;

constexpr std::size_t Index(Column column)
{
    return static_cast<std::size_t>(column);
}

enum class Alignment : std::uint8_t { Left, Right };

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr Rgb kCallColour{255, 0, 0};
inline constexpr Rgb kSquawkColour{32, 128, 32};

// The list draws its cells in this face; widths below are in twips.
inline constexpr std::string_view kTableFont = "Lucida Console";
inline constexpr double kTableFontPoints = 8.25;

struct ColumnDef {
    std::string_view key;
    std::string_view caption;
    int widthTwips;
    Alignment alignment;
    // Numeric columns sort by value rather than by text, so "10" follows "9".
    bool numeric;
};

using ColumnSet = std::array<ColumnDef, kColumnCount>;

// A stored sort column that is not a column position falls back to "TIME".
int ValidSortColumn(int stored);

// The column set; the distance flag at the moment of creation picks the
// captions of the two position columns ("Dist."/"Bear." or "Lat"/"Lon").
ColumnSet SetupColumns(bool distanceFlag);

} // namespace telvorn
