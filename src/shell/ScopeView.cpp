#include "shell/ScopeView.h"

#include <algorithm>
#include <array>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "shell/Settings.h"

namespace telvorn {

namespace {

constexpr std::array<std::int32_t, 12> kRanges{5, 10, 20, 30, 50, 75, 100, 150, 200, 250, 300, 400};
static_assert(kRanges.front() == ScopeRangeMinNm && kRanges.back() == ScopeRangeMaxNm);
// A click or the pointer this close to a symbol's centre is on it.
constexpr double kHitPixels = 10.0;

QString Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

std::int32_t ScopeView::StepRange(std::int32_t rangeNm, int steps)
{
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kRanges.begin(), kRanges.end(), rangeNm);
        rangeNm = next == kRanges.end() ? kRanges.back() : *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::lower_bound(kRanges.begin(), kRanges.end(), rangeNm);
        rangeNm = next == kRanges.begin() ? kRanges.front() : *(next - 1);
    }
    return rangeNm;
}

ScopeView::ScopeView(const Tracker& tracker, const AircraftTable& table, const MainState& state,
                     const Clock& clock, QWidget* parent)
    : QWidget(parent), tracker_(tracker), table_(table), state_(state), clock_(clock),
      rangeNm_(ScopeRangeDefaultNm)
{
    // Every pixel is drawn each frame: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    nextFrame_.setSingleShot(true);
    connect(&nextFrame_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ScopeView::requestFrame(int notBeforeMs)
{
    const qint64 since = sinceFrame_.isValid() ? sinceFrame_.elapsed() : kFrameMs;
    const int delay = std::max(notBeforeMs, int(kFrameMs - std::min<qint64>(since, kFrameMs)));
    if (nextFrame_.isActive() && nextFrame_.remainingTime() <= delay)
        return;
    if (delay == 0)
        update();
    else
        nextFrame_.start(delay);
}

void ScopeView::setRangeNm(std::int32_t rangeNm)
{
    rangeNm = std::clamp(rangeNm, ScopeRangeMinNm, ScopeRangeMaxNm);
    if (rangeNm != rangeNm_) {
        rangeNm_ = rangeNm;
        requestFrame();
    }
}

std::optional<RowId> ScopeView::selected() const
{
    if (!selected_ || !tracker_.track(*selected_) || table_.row(*selected_)[Column::Icao] != selectedAddress_)
        return std::nullopt;
    return selected_;
}

void ScopeView::setSelected(std::optional<RowId> row)
{
    if (row && !tracker_.track(*row))
        row.reset();
    if (row == selected_)
        return;
    selected_ = row;
    selectedAddress_ = row ? std::string(table_.row(*row)[Column::Icao]) : std::string();
    requestFrame();
}

ScopeProjection ScopeView::projection() const
{
    const GeoPoint receiver = receiver_.receiver(state_).value_or(GeoPoint{});
    return ScopeProjection(receiver, double(rangeNm_), width(), height());
}

std::optional<RowId> ScopeView::aircraftAt(QPointF pixel) const
{
    const ScopeProjection p = projection();
    std::optional<RowId> nearest;
    double best = kHitPixels * kHitPixels;
    tracker_.forEachTrack([&](RowId id, const AircraftTrack& track) {
        if (!track.position())
            return;
        const ScopePixel at = p.toPixel(*track.position());
        const double dx = at.x - pixel.x();
        const double dy = at.y - pixel.y();
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            nearest = id;
        }
    });
    return nearest;
}

void ScopeView::paintEvent(QPaintEvent* /*event*/)
{
    ++paints_;
    sinceFrame_.start();
    QPainter painter(this);
    painter_.paint(painter, projection(), tracker_, table_, UtcSeconds(clock_), selected());
    if (!receiver_.receiver(state_)) {
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(6, 6, -6, -6), Qt::AlignBottom | Qt::AlignLeft,
                         QStringLiteral("No usable receiver position: set it with Config"));
    }
}

void ScopeView::wheelEvent(QWheelEvent* event)
{
    // Touchpads send small steps; a notch of a wheel is 120.
    wheelAngle_ += event->angleDelta().y();
    const int notches = wheelAngle_ / 120;
    wheelAngle_ -= notches * 120;
    // Away from the user zooms in.
    if (notches != 0)
        setRangeNm(StepRange(rangeNm_, -notches));
    event->accept();
}

void ScopeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<RowId> row = aircraftAt(event->position())) {
        setSelected(row);
        emit aircraftClicked(*row);
    }
    event->accept();
}

bool ScopeView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<RowId> row = aircraftAt(help->pos());
    if (!row) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const AircraftRow& cells = table_.row(*row);
    QString text = Text(cells[Column::Icao]);
    for (Column c : {Column::Call, Column::Alti})
        if (!cells[c].empty())
            text += QStringLiteral("  ") + Text(cells[c]);
    if (const std::string_view emergency = tracker_.emergencyText(*row); !emergency.empty())
        text += QStringLiteral("\n") + Text(emergency);
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

} // namespace telvorn
