#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QTcpServer>

#include "EventLoop.h"

namespace telvorn::test {

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
