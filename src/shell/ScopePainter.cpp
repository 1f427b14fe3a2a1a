#include "shell/ScopePainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QFile>
#include <QPainter>
#include <QTransform>

#include "shell/EmergencyStyle.h"
#include "table/StalePurge.h"

namespace telvorn {

namespace {

const QColor kBackground(10, 18, 28);
const QColor kLand(96, 150, 112);
const QColor kRing(52, 76, 108);
const QColor kRingText(110, 140, 180);
const QColor kTraffic(80, 230, 140);
const QColor kSelected(255, 255, 255);
const QColor kEmergencySymbol(220, 30, 30);

QString Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QPointF ToPoint(ScopePixel pixel)
{
    return {pixel.x, pixel.y};
}

QColor WithAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return colour;
}

// A pointed arrow along the track, nose ahead, centred on the aircraft.
const QPolygonF& Arrow()
{
    static const QPolygonF arrow({QPointF(0, -7), QPointF(5, 6), QPointF(0, 3), QPointF(-5, 6)});
    return arrow;
}

const QPolygonF& Diamond()
{
    static const QPolygonF diamond({QPointF(0, -5), QPointF(5, 0), QPointF(0, 5), QPointF(-5, 0)});
    return diamond;
}

QFont Sized(double points, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QStaticText Laid(const std::string& text)
{
    QStaticText laid(Text(text));
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    return laid;
}

// From the symbol's centre to the near edge of its label.
constexpr double kLabelGap = 8.0;

} // namespace

const Outline& ScopePainter::World()
{
    static const Outline world = [] {
        QFile file(QStringLiteral(":/telvorn/world-outline.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return Outline{};
        const QByteArray text = file.readAll();
        return Outline::Parse(std::string_view(text.constData(), std::size_t(text.size())));
    }();
    return world;
}

double ScopePainter::Fade(double ageSeconds)
{
    constexpr double kFull = 30.0;
    constexpr double kLeast = 0.2;
    if (!(ageSeconds > kFull))
        return 1.0;
    if (ageSeconds >= PurgeAge)
        return kLeast;
    return 1.0 - (1.0 - kLeast) * (ageSeconds - kFull) / (PurgeAge - kFull);
}

double ScopePainter::RingStepNm(double rangeNm)
{
    static constexpr std::array<double, 9> kSteps{1, 2, 5, 10, 20, 25, 50, 100, 200};
    for (double step : kSteps)
        if (rangeNm / step <= 5.0)
            return step;
    return kSteps.back();
}

ScopePainter::ScopePainter()
    : labelFont_(Sized(7.0, false)), boldFont_(Sized(7.0, true)), ringFont_(Sized(6.5, false)),
      labelMetrics_(labelFont_), boldMetrics_(boldFont_)
{
    labelLine_ = labelMetrics_.height();
    boldLine_ = boldMetrics_.height();
    // Read while the window is built, not in its first frame on screen.
    World();
}

void ScopePainter::paint(QPainter& painter, const ScopeProjection& projection, const Tracker& tracker,
                         const AircraftTable& table, double now, std::optional<RowId> selected)
{
    drawBase(painter, projection);
    shown_.clear();
    tracker.forEachTrack([&](RowId id, const AircraftTrack& track) {
        if (const std::optional<GeoPoint> position = track.position())
            shown_.push_back({id, &track, ToPoint(projection.toPixel(*position)), Fade(now - track.lastHeard()),
                              tracker.inEmergency(id), id == selected, QPointF()});
    });
    // The picked aircraft and emergencies last, above the others.
    std::stable_partition(shown_.begin(), shown_.end(), [](const Shown& a) { return !a.selected && !a.emergency; });
    drawTrails(painter, projection);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawSymbols(painter);
    drawLabels(painter, table);
}

void ScopePainter::drawBase(QPainter& painter, const ScopeProjection& projection)
{
    const double ratio = painter.device()->devicePixelRatioF();
    const Key key{projection.receiver().lat, projection.receiver().lon, projection.rangeNm(),
                  projection.centre().x * 2, projection.centre().y * 2, ratio};
    if (key != baseKey_) {
        baseKey_ = key;
        base_ = QPixmap(int(std::ceil(key.width * ratio)), int(std::ceil(key.height * ratio)));
        base_.setDevicePixelRatio(ratio);
        base_.fill(kBackground);
        QPainter base(&base_);
        base.setRenderHint(QPainter::Antialiasing, true);
        drawOutline(base, projection);
        drawRings(base, projection);
    }
    painter.drawPixmap(0, 0, base_);
}

void ScopePainter::drawOutline(QPainter& painter, const ScopeProjection& projection)
{
    // Beyond the corners of the widget nothing shows; far points of an
    // azimuthal projection also bend round the antipode, so a ring is cut
    // into the runs of points that lie near enough.
    const double reach = projection.rangeNm() * 3.0;
    const Outline& world = World();
    painter.setPen(QPen(kLand, 1.0));
    QPolygonF run;
    auto flush = [&] {
        if (run.size() > 1)
            painter.drawPolyline(run);
        run.clear();
    };
    for (std::size_t r = 0; r < world.ringCount(); ++r) {
        std::size_t size = 0;
        const GeoPoint* points = world.ring(r, size);
        for (std::size_t i = 0; i <= size; ++i) {
            const GeoPoint& p = points[i % size];
            if (DistanceNm(projection.receiver(), p) > reach)
                flush();
            else
                run.append(ToPoint(projection.toPixel(p)));
        }
        flush();
    }
}

void ScopePainter::drawRings(QPainter& painter, const ScopeProjection& projection)
{
    const QPointF centre = ToPoint(projection.centre());
    const double step = RingStepNm(projection.rangeNm());
    // Rings out to the corners, labelled where they cross north.
    const double corner = std::hypot(centre.x(), centre.y()) / projection.pixelsPerNm();
    painter.setFont(ringFont_);
    painter.setBrush(Qt::NoBrush);
    for (double nm = step; nm <= corner; nm += step) {
        const double radius = nm * projection.pixelsPerNm();
        painter.setPen(QPen(kRing, 1.0));
        painter.drawEllipse(centre, radius, radius);
        painter.setPen(kRingText);
        painter.drawText(QPointF(centre.x() + 3, centre.y() - radius - 2), QStringLiteral("%1 NM").arg(nm));
    }
    painter.setPen(QPen(kRing, 1.0, Qt::DotLine));
    painter.drawLine(QPointF(centre.x(), 0), QPointF(centre.x(), centre.y() * 2));
    painter.drawLine(QPointF(0, centre.y()), QPointF(centre.x() * 2, centre.y()));
    painter.setPen(kRingText);
    painter.setFont(boldFont_);
    painter.drawText(QPointF(centre.x() - 12, 11), QStringLiteral("N"));
    painter.setPen(QPen(kSelected, 1.0));
    painter.drawLine(centre + QPointF(-4, 0), centre + QPointF(4, 0));
    painter.drawLine(centre + QPointF(0, -4), centre + QPointF(0, 4));
}

// Thin and without antialiasing: a trail is many short segments, and the
// cheapest line is the one that is not blended.
void ScopePainter::drawTrails(QPainter& painter, const ScopeProjection& projection)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Shown& a : shown_) {
        const std::size_t points = a.track->trailSize();
        if (points == 0)
            continue;
        trail_.clear();
        for (std::size_t i = 0; i < points; ++i)
            trail_.append(ToPoint(projection.toPixel(a.track->trailPoint(i).position)));
        trail_.append(a.at);
        painter.setPen(QPen(WithAlpha(a.selected ? kSelected : kTraffic, a.alpha * 0.7), 0));
        painter.drawPolyline(trail_);
    }
}

void ScopePainter::drawSymbols(QPainter& painter)
{
    for (const Shown& a : shown_) {
        painter.resetTransform();
        if (a.emergency) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(WithAlpha(EmergencyBackground(), std::max(a.alpha, 0.6)));
            painter.drawEllipse(a.at, 9.0, 9.0);
        }
        if (a.selected) {
            painter.setPen(QPen(kSelected, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(a.at, 11.0, 11.0);
        }
        QTransform turn;
        turn.translate(a.at.x(), a.at.y());
        const std::optional<double> degrees = a.track->track();
        if (degrees)
            turn.rotate(*degrees);
        painter.setTransform(turn);
        painter.setPen(a.emergency ? QPen(Qt::black, 1.0) : QPen(Qt::NoPen));
        painter.setBrush(
            WithAlpha(a.emergency ? kEmergencySymbol : a.selected ? kSelected : kTraffic, a.alpha));
        painter.drawPolygon(degrees ? Arrow() : Diamond());
    }
    painter.resetTransform();
}

QPointF ScopePainter::PlaceLabel(QPointF at, QSizeF size, const std::vector<QRectF>& placed)
{
    const double w = size.width();
    const double h = size.height();
    const double right = at.x() + kLabelGap;
    const double left = at.x() - kLabelGap - w;
    const std::array<QPointF, 4> corners{{{right, at.y() - h}, {right, at.y()}, {left, at.y() - h}, {left, at.y()}}};
    for (const QPointF& corner : corners) {
        const QRectF box(corner, size);
        if (std::none_of(placed.begin(), placed.end(), [&](const QRectF& p) { return p.intersects(box); }))
            return corner;
    }
    return corners[0];
}

void ScopePainter::drawLabels(QPainter& painter, const AircraftTable& table)
{
    // Placed from the end, where the picked aircraft and emergencies are,
    // so that they are the first to find room.
    placed_.clear();
    for (auto a = shown_.rbegin(); a != shown_.rend(); ++a) {
        const Label& label = labelOf(a->id, table);
        const QSizeF size = a->emergency ? label.boldSize : label.size;
        a->labelAt = PlaceLabel(a->at, size, placed_);
        placed_.emplace_back(a->labelAt, size);
    }

    painter.setFont(labelFont_);
    bool bold = false;
    for (const Shown& a : shown_) {
        const Label& label = labels_[a.id];
        const QPointF at = a.labelAt;
        if (a.emergency) {
            if (!bold) {
                painter.setFont(boldFont_);
                bold = true;
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(WithAlpha(EmergencyBackground(), std::max(a.alpha, 0.6)));
            painter.drawRect(QRectF(at.x() - 2, at.y(), label.boldSize.width() + 4, label.boldSize.height() + 1));
            painter.setPen(Qt::black);
        } else {
            painter.setPen(WithAlpha(a.selected ? kSelected : kTraffic, a.alpha));
        }
        painter.drawStaticText(at, label.nameText);
        if (!label.altitude.empty())
            painter.drawStaticText(at + QPointF(0, a.emergency ? boldLine_ : labelLine_), label.altitudeText);
    }
}

// Call sign, else address, above the altitude; laid out again only when
// one of them changes (or the row's id went to another address).
ScopePainter::Label& ScopePainter::labelOf(RowId id, const AircraftTable& table)
{
    if (id >= labels_.size())
        labels_.resize(std::size_t(id) + 1);
    Label& label = labels_[id];
    const AircraftRow& row = table.row(id);
    const std::string_view call = row[Column::Call];
    const std::string_view name = call.empty() ? row[Column::Icao] : call;
    const std::string_view altitude = row[Column::Alti];
    if (label.name == name && label.altitude == altitude && !label.size.isEmpty())
        return label;
    if (label.name != name) {
        label.name = name;
        label.nameText = Laid(label.name);
    }
    if (label.altitude != altitude) {
        label.altitude = altitude;
        label.altitudeText = Laid(label.altitude);
    }
    const double lines = label.altitude.empty() ? 1 : 2;
    const QString nameText = Text(label.name);
    const QString altitudeText = Text(label.altitude);
    auto width = [&](const QFontMetricsF& metrics) {
        return std::max(metrics.horizontalAdvance(nameText), metrics.horizontalAdvance(altitudeText));
    };
    label.size = QSizeF(width(labelMetrics_), labelLine_ * lines);
    label.boldSize = QSizeF(width(boldMetrics_), boldLine_ * lines);
    return label;
}

} // namespace telvorn
