#include "platform/QtSignalWatcher.h"

#include <atomic>
#include <csignal>

#include <QTimer>

#ifndef _WIN32
#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace telvorn {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

#ifndef _WIN32
// The handler may only write a byte; the event loop does the rest.
int gWakeFd = -1;

extern "C" void OnStopSignal(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWakeFd, &byte, 1);
}
#else
std::atomic<int> gPending{0};

extern "C" void OnStopSignal(int signal)
{
    gPending = signal;
    std::signal(signal, OnStopSignal);
}
#endif

} // namespace

struct QtSignalWatcher::Impl {
    std::function<void(int)> onSignal;
#ifndef _WIN32
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
#else
    QTimer poll;
#endif
};

QtSignalWatcher::QtSignalWatcher(std::function<void(int signal)> onSignal, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>())
{
    impl_->onSignal = std::move(onSignal);
#ifndef _WIN32
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, impl_->fds) != 0)
        return;
    gWakeFd = impl_->fds[0];
    impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fds[1], QSocketNotifier::Read);
    connect(impl_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(impl_->fds[1], &byte, 1) == 1 && impl_->onSignal)
            impl_->onSignal(byte);
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
#else
    for (int signal : kSignals)
        std::signal(signal, OnStopSignal);
    impl_->poll.setInterval(100);
    connect(&impl_->poll, &QTimer::timeout, this, [this] {
        if (const int signal = gPending.exchange(0); signal != 0 && impl_->onSignal)
            impl_->onSignal(signal);
    });
    impl_->poll.start();
#endif
}

QtSignalWatcher::~QtSignalWatcher()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
#ifndef _WIN32
    impl_->notifier.reset();
    gWakeFd = -1;
    for (int fd : impl_->fds)
        if (fd >= 0)
            ::close(fd);
#endif
}

} // namespace telvorn
