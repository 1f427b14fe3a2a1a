#include "shell/ScopePainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>

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
{
    labelFont_.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    labelFont_.setPointSizeF(7.0);
    boldFont_ = labelFont_;
    boldFont_.setBold(true);
    ringFont_ = labelFont_;
    ringFont_.setPointSizeF(6.5);
    labelLine_ = QFontMetricsF(labelFont_).height();
    boldLine_ = QFontMetricsF(boldFont_).height();
}

void ScopePainter::paint(QPainter& painter, const ScopeProjection& projection, const Tracker& tracker,
                         const AircraftTable& table, double now, std::optional<RowId> selected)
{
    const QRectF area(0, 0, projection.centre().x * 2, projection.centre().y * 2);
    painter.fillRect(area, kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawOutline(painter, projection);
    drawRings(painter, projection);
    tracker.forEachTrack([&](RowId id, const AircraftTrack& track) {
        if (track.position() && id != selected)
            drawAircraft(painter, projection, id, track, tracker, table, now, false);
    });
    // The picked aircraft last, above the others.
    if (selected)
        if (const AircraftTrack* track = tracker.track(*selected); track && track->position())
            drawAircraft(painter, projection, *selected, *track, tracker, table, now, true);
}

void ScopePainter::drawOutline(QPainter& painter, const ScopeProjection& projection)
{
    const Key key{projection.receiver().lat, projection.receiver().lon, projection.rangeNm(),
                  projection.centre().x, projection.centre().y};
    if (key != outlineKey_) {
        outlineKey_ = key;
        outlinePixels_.clear();
        // Beyond the corners of the widget nothing shows; far points of an
        // azimuthal projection also bend round the antipode, so a ring is cut
        // into the runs of points that lie near enough.
        const double reach = projection.rangeNm() * 3.0;
        const Outline& world = World();
        for (std::size_t r = 0; r < world.ringCount(); ++r) {
            std::size_t size = 0;
            const GeoPoint* points = world.ring(r, size);
            QPolygonF run;
            for (std::size_t i = 0; i <= size; ++i) {
                const GeoPoint& p = points[i % size];
                if (DistanceNm(projection.receiver(), p) > reach) {
                    if (run.size() > 1)
                        outlinePixels_.push_back(run);
                    run.clear();
                    continue;
                }
                run.append(ToPoint(projection.toPixel(p)));
            }
            if (run.size() > 1)
                outlinePixels_.push_back(run);
        }
    }
    painter.setPen(QPen(kLand, 1.0));
    for (const QPolygonF& run : outlinePixels_)
        painter.drawPolyline(run);
}

void ScopePainter::drawRings(QPainter& painter, const ScopeProjection& projection)
{
    const QPointF centre = ToPoint(projection.centre());
    const double step = RingStepNm(projection.rangeNm());
    // Rings out to the corners, labelled where they cross north.
    const double corner = std::hypot(centre.x(), centre.y()) / projection.pixelsPerNm();
    painter.setFont(ringFont_);
    for (double nm = step; nm <= corner; nm += step) {
        const double radius = nm * projection.pixelsPerNm();
        painter.setPen(QPen(kRing, 1.0));
        painter.setBrush(Qt::NoBrush);
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

void ScopePainter::drawAircraft(QPainter& painter, const ScopeProjection& projection, RowId id,
                                const AircraftTrack& track, const Tracker& tracker, const AircraftTable& table,
                                double now, bool selected)
{
    const QPointF at = ToPoint(projection.toPixel(*track.position()));
    const double alpha = Fade(now - track.lastHeard());
    const bool emergency = tracker.inEmergency(id);
    const QColor colour = selected ? kSelected : kTraffic;

    trail_.clear();
    for (std::size_t i = 0; i < track.trailSize(); ++i)
        trail_.append(ToPoint(projection.toPixel(track.trailPoint(i).position)));
    if (!trail_.isEmpty()) {
        trail_.append(at);
        painter.setPen(QPen(WithAlpha(colour, alpha * 0.7), 1.2));
        painter.drawPolyline(trail_);
    }

    const AircraftRow& row = table.row(id);
    const std::string_view call = row[Column::Call];
    const QString name = Text(call.empty() ? row[Column::Icao] : call);
    const QString altitude = Text(row[Column::Alti]);
    const QFont& font = emergency ? boldFont_ : labelFont_;
    const QPointF labelAt = at + QPointF(8, -1);

    if (emergency) {
        const QFontMetricsF metrics(font);
        const double width = std::max(metrics.horizontalAdvance(name), metrics.horizontalAdvance(altitude));
        const QRectF box(labelAt.x() - 2, labelAt.y() - metrics.ascent() - 1, width + 4,
                         metrics.height() * (altitude.isEmpty() ? 1 : 2) + 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(WithAlpha(EmergencyBackground(), std::max(alpha, 0.6)));
        painter.drawEllipse(at, 9.0, 9.0);
        painter.drawRect(box);
    }
    if (selected) {
        painter.setPen(QPen(kSelected, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at, 11.0, 11.0);
    }

    painter.save();
    painter.translate(at);
    if (const std::optional<double> degrees = track.track())
        painter.rotate(*degrees);
    painter.setPen(emergency ? QPen(Qt::black, 1.0) : Qt::NoPen);
    painter.setBrush(WithAlpha(emergency ? QColor(220, 30, 30) : colour, alpha));
    painter.drawPolygon(track.track() ? Arrow() : Diamond());
    painter.restore();

    painter.setFont(font);
    painter.setPen(emergency ? QColor(Qt::black) : WithAlpha(colour, alpha));
    painter.drawText(labelAt, name);
    if (!altitude.isEmpty())
        painter.drawText(labelAt + QPointF(0, emergency ? boldLine_ : labelLine_), altitude);
}

} // namespace telvorn
