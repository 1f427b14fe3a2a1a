#pragma once

#include <chrono>
#include <functional>

#include <QCoreApplication>
#include <QThread>

namespace telvorn::test {

// Runs the event loop until the condition holds; false if it never does
// within the limit, which is generous: it bounds a hang, it times nothing.
inline bool RunUntil(const std::function<bool()>& condition,
                     std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

} // namespace telvorn::test
