#pragma once

#include <chrono>
#include <functional>

#include <QtCore/qtestsupport_core.h>

namespace telvorn::test {

// Runs the event loop until `done` holds; false if it never does within the
// limit, which is generous: it bounds a hang, it times nothing.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(60))
{
    return QTest::qWaitFor(done, int(limit.count()));
}

// Lets the event loop run for a while, for things that must NOT happen.
inline void RunFor(std::chrono::milliseconds span)
{
    QTest::qWait(int(span.count()));
}

} // namespace telvorn::test
