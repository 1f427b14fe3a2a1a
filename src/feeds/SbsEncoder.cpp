#include "feeds/SbsEncoder.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>

#include "text/NumberText.h"

namespace telvorn {

namespace {

// Fields 11 to 22 of a line.
enum Tail { Call, Altitude, Speed, Track, Lat, Lon, VerticalRate, Squawk, Alert, Emergency, Spi, Ground, kTailFields };

// One number as text, held in place.
class NumberField {
public:
    std::string_view integer(double value)
    {
        return finish(std::to_chars(buffer_, buffer_ + sizeof buffer_, std::llround(value)));
    }
    std::string_view fixed(double value, int decimals)
    {
        return finish(std::to_chars(buffer_, buffer_ + sizeof buffer_, value, std::chars_format::fixed, decimals));
    }

private:
    std::string_view finish(std::to_chars_result result)
    {
        return result.ec == std::errc{} ? std::string_view(buffer_, std::size_t(result.ptr - buffer_))
                                        : std::string_view();
    }
    char buffer_[32];
};

// A number only when the text starts with one that is finite.
std::optional<double> Number(std::string_view text)
{
    const std::optional<double> value = ParseLeadingNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

// A short text built in place: the fields shared by the lines of a record.
class ShortText {
public:
    void add(char c)
    {
        if (size_ < sizeof data_)
            data_[size_++] = c;
    }
    void add(std::string_view text)
    {
        for (char c : text)
            add(c);
    }
    void two(int value)
    {
        add(char('0' + value / 10 % 10));
        add(char('0' + value % 10));
    }
    std::string_view view() const { return {data_, size_}; }

private:
    char data_[64];
    std::size_t size_ = 0;
};

constexpr char kHexDigits[] = "0123456789ABCDEF";

// "yyyy/MM/dd,HH:mm:ss.fff"
void AddStamp(ShortText& out, const LocalDateTime& t)
{
    out.two(t.year / 100);
    out.two(t.year % 100);
    out.add('/');
    out.two(t.month);
    out.add('/');
    out.two(t.day);
    out.add(',');
    out.two(t.hour);
    out.add(':');
    out.two(t.minute);
    out.add(':');
    out.two(t.second);
    out.add('.');
    out.add(char('0' + t.millisecond / 100 % 10));
    out.two(t.millisecond % 100);
}

std::string_view Flag(bool set)
{
    return set ? "-1" : "0";
}

class LineWriter {
public:
    LineWriter(std::string& out, std::string_view common) : out_(out), common_(common) {}

    // Writes one line of the given type with these fields 11 to 22, then
    // empties them for the next line.
    void write(char type, std::array<std::string_view, kTailFields>& tail)
    {
        out_ += "MSG,";
        out_ += type;
        out_ += common_;
        for (std::string_view& field : tail) {
            out_ += ',';
            out_ += field;
            field = {};
        }
        out_ += "\r\n";
    }

private:
    std::string& out_;
    std::string_view common_;
};

bool IsDownlinkFormat(std::string_view field, std::initializer_list<std::string_view> formats)
{
    // The decoder accepted the field, so it holds digits; drop leading zeros.
    while (field.size() > 1 && field.front() == '0')
        field.remove_prefix(1);
    for (std::string_view df : formats)
        if (field == df)
            return true;
    return false;
}

// Call signs are letters, digits and blanks; a control character would cut
// the line for its client, so a call sign with one is not sent.
bool IsPrintable(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return false;
    return true;
}

} // namespace

void AppendSbsLines(const RecordFields& f, const MainState& state, const SbsFlags& flags, const LocalDateTime& when,
                    std::string& out)
{
    std::uint32_t address = 0;
    if (!AddressValue(f[3], address))
        return;

    // Fields 3 to 10, the same on every line of the record.
    ShortText common;
    common.add(",1,1,");
    for (int shift = 20; shift >= 0; shift -= 4)
        common.add(kHexDigits[address >> shift & 0xF]);
    common.add(",1,");
    AddStamp(common, when);
    common.add(',');
    AddStamp(common, when);
    LineWriter writer(out, common.view());

    std::array<std::string_view, kTailFields> tail{};
    NumberField altitude, speed, track, lat, lon, rate;
    const bool onGround = f[9] == "@";
    std::string_view altitudeText;
    if (!onGround)
        if (const auto value = Number(f[9]))
            altitudeText = altitude.integer(*value);

    if (!f[4].empty() && IsPrintable(f[4])) {
        tail[Call] = f[4];
        writer.write('1', tail);
    }

    const std::string_view df = f[2];
    if (IsDownlinkFormat(df, {"17"})) {
        if (!f[6].empty() || !f[9].empty()) {
            const auto latitude = Number(state.PosLat[1]);
            const auto longitude = Number(state.PosLon[1]);
            const bool sendPosition = (state.RawMode || !state.DstFlag) && latitude && longitude &&
                                      std::fabs(*latitude) <= 90.0 && std::fabs(*longitude) <= 180.0;
            if (sendPosition) {
                tail[Lat] = lat.fixed(*latitude, 5);
                tail[Lon] = lon.fixed(*longitude, 5);
            }
            if (onGround) {
                tail[Ground] = Flag(true);
                writer.write('2', tail);
            } else {
                tail[Altitude] = altitudeText;
                tail[Alert] = Flag(flags.alert);
                tail[Emergency] = Flag(flags.emergency);
                tail[Spi] = Flag(flags.spi);
                tail[Ground] = Flag(false);
                writer.write('3', tail);
            }
        }
        const auto east = Number(f[12]);
        const auto north = Number(f[13]);
        const auto vertical = Number(f[11]);
        if ((east && north) || vertical) {
            if (east && north) {
                double degrees = std::atan2(*east, *north) * 180.0 / std::numbers::pi;
                degrees = std::round((degrees < 0.0 ? degrees + 360.0 : degrees) * 10.0) / 10.0;
                tail[Speed] = speed.fixed(std::hypot(*east, *north), 1);
                tail[Track] = track.fixed(degrees >= 360.0 ? degrees - 360.0 : degrees, 1);
            }
            if (vertical)
                tail[VerticalRate] = rate.integer(*vertical);
            writer.write('4', tail);
        }
        return;
    }

    const std::string_view ground = Flag(onGround);
    if (IsDownlinkFormat(df, {"4", "20"})) {
        tail[Altitude] = altitudeText;
        tail[Alert] = Flag(flags.alert);
        tail[Spi] = Flag(flags.spi);
        tail[Ground] = ground;
        writer.write('5', tail);
    } else if (IsDownlinkFormat(df, {"5", "21"})) {
        // Identity codes are four octal digits; the board may drop leading zeros.
        char squawk[4] = {'0', '0', '0', '0'};
        if (!f[10].empty() && f[10].size() <= 4 && IsDigits(f[10])) {
            f[10].copy(squawk + 4 - f[10].size(), f[10].size());
            tail[Squawk] = std::string_view(squawk, 4);
        }
        tail[Altitude] = altitudeText;
        tail[Alert] = Flag(flags.alert);
        tail[Emergency] = Flag(flags.emergency);
        tail[Spi] = Flag(flags.spi);
        tail[Ground] = ground;
        writer.write('6', tail);
    } else if (IsDownlinkFormat(df, {"0", "16"})) {
        tail[Altitude] = altitudeText;
        tail[Ground] = ground;
        writer.write('7', tail);
    } else if (IsDownlinkFormat(df, {"11"})) {
        tail[Ground] = ground;
        writer.write('8', tail);
    }
}

} // namespace telvorn
