#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QTcpServer>
#include <QtCore/qtestsupport_core.h>

namespace telvorn::test {

// Runs the event loop until `done` holds or a generous limit runs out; the
// test then judges what it has. Nothing is asserted about how long it took.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60))
{
    return QTest::qWaitFor(done, int(std::chrono::milliseconds(limit).count()));
}

// Lets the event loop run for a while, for things that must NOT happen.
inline void RunFor(std::chrono::milliseconds span)
{
    QTest::qWait(int(span.count()));
}

// A TCP port that was free a moment ago on 127.0.0.1.
inline std::uint16_t FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// What the feeds reported, in order.
struct Reports {
    std::vector<std::string> messages;
    std::function<void(const std::string&)> reporter()
    {
        return [this](const std::string& m) { messages.push_back(m); };
    }
    std::size_t count(const std::string& part) const
    {
        std::size_t n = 0;
        for (const std::string& m : messages)
            n += m.find(part) != std::string::npos;
        return n;
    }
    std::string all() const
    {
        std::string out;
        for (const std::string& m : messages)
            out += m + "\n";
        return out;
    }
};

} // namespace telvorn::test
