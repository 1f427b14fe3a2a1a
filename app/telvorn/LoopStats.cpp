#include "LoopStats.h"

#include <algorithm>
#include <cstdio>

namespace telvorn::app {

LoopStats::LoopStats()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kBeatMs);
    connect(&timer_, &QTimer::timeout, this, &LoopStats::beat);
    last_ = std::chrono::steady_clock::now();
    timer_.start();
}

void LoopStats::beat()
{
    const auto now = std::chrono::steady_clock::now();
    const double lateMs = std::chrono::duration<double, std::milli>(now - last_).count() - kBeatMs;
    last_ = now;
    ++beats_;
    maxLateMs_ = std::max(maxLateMs_, lateMs);
    if (lateMs > kStallMs)
        ++late_;
}

std::string LoopStats::json(const std::string& extra) const
{
    char text[160];
    std::snprintf(text, sizeof text, "{\"beats\": %ld, \"late_beats\": %ld, \"max_late_ms\": %.1f", beats_, late_,
                  maxLateMs_);
    return std::string(text) + (extra.empty() ? "" : ", " + extra) + "}\n";
}

} // namespace telvorn::app
