#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include <QObject>
#include <QTimer>

namespace telvorn::app {

// How late the event loop runs a 10 ms heartbeat: the window's stalls, as a
// user would feel them. The window bench reads the figures at exit.
class LoopStats final : public QObject {
public:
    static constexpr int kBeatMs = 10;
    static constexpr int kStallMs = 50;
    static constexpr std::size_t kWorst = 8;

    LoopStats();

    // Counts the frames `widget` draws, as "<name>_paints" and the most in
    // any one second as "<name>_paints_max_per_s".
    void countPaints(QObject* widget, std::string name);

    // {"beats": n, "late_beats": n, "max_late_ms": x, "seconds": x,
    // "worst": [[seconds into the run, ms late], ...] for the kWorst most late
    // beats, the paint counts} plus `extra` members.
    std::string json(const std::string& extra) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Painted {
        QObject* widget;
        std::string name;
        long total = 0;
        long second = -1;
        long inSecond = 0;
        long maxPerSecond = 0;
    };
    void beat();

    std::chrono::steady_clock::time_point start_;
    std::vector<Painted> painted_;

    QTimer timer_;
    std::chrono::steady_clock::time_point last_;
    long beats_ = 0;
    long late_ = 0;
    double maxLateMs_ = 0.0;
    double maxLateAt_ = 0.0;
    // Most late first, with their times: a stall at start-up is told from one under load.
    std::vector<std::pair<double, double>> worst_; // {ms late, seconds into the run}
};

} // namespace telvorn::app
