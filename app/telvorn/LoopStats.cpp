#include "LoopStats.h"

#include <algorithm>
#include <cstdio>

#include <QEvent>

namespace telvorn::app {

LoopStats::LoopStats()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kBeatMs);
    connect(&timer_, &QTimer::timeout, this, &LoopStats::beat);
    last_ = std::chrono::steady_clock::now();
    start_ = last_;
    timer_.start();
}

void LoopStats::countPaints(QObject* widget, std::string name)
{
    painted_.push_back({widget, std::move(name)});
    widget->installEventFilter(this);
}

bool LoopStats::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        const long second = long(std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
        for (Painted& p : painted_) {
            if (p.widget != watched)
                continue;
            ++p.total;
            if (second != p.second) {
                p.second = second;
                p.inSecond = 0;
            }
            p.maxPerSecond = std::max(p.maxPerSecond, ++p.inSecond);
        }
    }
    return false;
}

void LoopStats::beat()
{
    const auto now = std::chrono::steady_clock::now();
    const double lateMs = std::chrono::duration<double, std::milli>(now - last_).count() - kBeatMs;
    last_ = now;
    ++beats_;
    const double at = std::chrono::duration<double>(now - start_).count();
    if (lateMs > maxLateMs_) {
        maxLateMs_ = lateMs;
        maxLateAt_ = at;
    }
    if (worst_.size() < kWorst || lateMs > worst_.back().first) {
        if (worst_.size() == kWorst)
            worst_.pop_back();
        worst_.insert(std::upper_bound(worst_.begin(), worst_.end(), std::pair(lateMs, at),
                                       [](const auto& a, const auto& b) { return a.first > b.first; }),
                      {lateMs, at});
    }
    if (lateMs > kStallMs)
        ++late_;
}

std::string LoopStats::json(const std::string& extra) const
{
    char text[160];
    std::snprintf(text, sizeof text, "{\"beats\": %ld, \"late_beats\": %ld, \"max_late_ms\": %.1f", beats_, late_,
                  maxLateMs_);
    std::string out(text);
    std::snprintf(text, sizeof text, ", \"max_late_at_s\": %.1f, \"seconds\": %.1f", maxLateAt_,
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
    out += text;
    out += ", \"worst\": [";
    for (std::size_t i = 0; i < worst_.size(); ++i) {
        std::snprintf(text, sizeof text, "%s[%.1f, %.1f]", i ? ", " : "", worst_[i].second, worst_[i].first);
        out += text;
    }
    out += "]";
    for (const Painted& p : painted_)
        out += ", \"" + p.name + "_paints\": " + std::to_string(p.total) + ", \"" + p.name +
               "_paints_max_per_s\": " + std::to_string(p.maxPerSecond);
    return out + (extra.empty() ? "" : ", " + extra) + "}\n";
}

} // namespace telvorn::app
