#pragma once

#include <chrono>
#include <string>

#include <QObject>
#include <QTimer>

namespace telvorn::app {

// How late the event loop runs a 10 ms heartbeat: the window's stalls, as a
// user would feel them. The window bench reads the figures at exit.
class LoopStats final : public QObject {
public:
    static constexpr int kBeatMs = 10;
    static constexpr int kStallMs = 50;

    LoopStats();

    // {"beats": n, "late_beats": n, "max_late_ms": x} plus `extra` members.
    std::string json(const std::string& extra) const;

private:
    void beat();

    QTimer timer_;
    std::chrono::steady_clock::time_point last_;
    long beats_ = 0;
    long late_ = 0;
    double maxLateMs_ = 0.0;
};

} // namespace telvorn::app
