#pragma once

#include <functional>
#include <memory>

#include <QObject>

namespace telvorn {

// Turns SIGINT and SIGTERM (a Ctrl-C, a `kill`, a session logout) into a
// call on the event loop, so the program closes as its window's close box
// or the end of a timed run would: settings written, XON sent, port closed.
// One watcher per process.
class QtSignalWatcher final : public QObject {
public:
    explicit QtSignalWatcher(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~QtSignalWatcher() override;
    QtSignalWatcher(const QtSignalWatcher&) = delete;
    QtSignalWatcher& operator=(const QtSignalWatcher&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace telvorn
