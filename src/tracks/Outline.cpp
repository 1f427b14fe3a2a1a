#include "tracks/Outline.h"

#include <charconv>

namespace telvorn {

namespace {

bool ReadHundredths(std::string_view& text, double& degrees)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{})
        return false;
    text.remove_prefix(std::size_t(end - text.data()));
    degrees = value / 100.0;
    return true;
}

// One "lat,lon" cell.
bool ReadPoint(std::string_view cell, GeoPoint& point)
{
    if (!ReadHundredths(cell, point.lat) || cell.empty() || cell.front() != ',')
        return false;
    cell.remove_prefix(1);
    return ReadHundredths(cell, point.lon) && cell.empty() && IsOnEarth(point);
}

} // namespace

Outline Outline::Parse(std::string_view text)
{
    Outline outline;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t start = outline.points_.size();
        while (!line.empty()) {
            const std::size_t blank = line.find(' ');
            const std::string_view cell = line.substr(0, blank);
            line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
            if (cell.empty())
                continue;
            GeoPoint point;
            if (!ReadPoint(cell, point))
                break;
            outline.points_.push_back(point);
        }
        outline.endRing(start);
    }
    return outline;
}

void Outline::endRing(std::size_t start)
{
    if (points_.size() - start < 2)
        points_.resize(start);
    else
        starts_.push_back(start);
}

const GeoPoint* Outline::ring(std::size_t i, std::size_t& size) const
{
    const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : points_.size();
    size = end - starts_[i];
    return points_.data() + starts_[i];
}

} // namespace telvorn
