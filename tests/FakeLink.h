#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/SerialPort.h"
#include "receiver/LinkHost.h"

namespace telvorn::test {

// One transcript for the port and the host, in the order things happened:
// "x" for bytes written, "~5" for a wait of 5 ms, "clear", "read", "open",
// "close", "events 1", "box ERROR", "dialog", "end".
using Transcript = std::vector<std::string>;

// A serial port with a scripted board behind it: each command written may
// put a reply in the input buffer, as the board would.
class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(Transcript& log) : log_(log) {}

    std::map<std::string, std::string> replies{{"?", "ADSB 2.8 board\r\n"}, {"p", "|48.72171,2.37403;"}};
    int failingOpens = 0; // the next open() calls that fail
    CommHandler comm;
    LossHandler loss;

    bool setSettings(std::string_view) override { return true; }
    void setXonXoff(bool) override {}
    bool setCommPort(int number) override { if (number >= 1) number_ = number; return number >= 1; }
    int commPort() const override { return number_; }
    void setDevice(const std::string& path) override { device_ = path; }
    const std::string& device() const override { return device_; }
    std::string portName() const override { return device_.empty() ? "COM" + std::to_string(number_) : device_; }
    bool open() override
    {
        open_ = --failingOpens < 0;
        log_.push_back(open_ ? "open" : "open failed");
        return open_;
    }
    std::string openError() const override { return "no such device"; }
    void close() override { if (std::exchange(open_, false)) log_.push_back("close"); }
    bool isOpen() const override { return open_; }
    void write(std::string_view bytes) override
    {
        if (!open_)
            return;
        log_.emplace_back(bytes);
        if (auto reply = replies.find(std::string(bytes)); reply != replies.end())
            input_ += reply->second;
    }
    std::string readAll() override { log_.push_back("read"); return std::exchange(input_, {}); }
    void clearInput() override { log_.push_back("clear"); input_.clear(); }
    void setRThreshold(int n) override
    {
        if (std::exchange(threshold_, n) != n)
            log_.push_back("events " + std::to_string(n));
    }
    void setCommHandler(CommHandler handler) override { comm = std::move(handler); }
    void setLossHandler(LossHandler handler) override { loss = std::move(handler); }

private:
    Transcript& log_;
    int number_ = 1, threshold_ = 0;
    std::string device_, input_;
    bool open_ = false;
};

using Box = std::tuple<std::string, MsgButtons, MsgIcon, std::string>; // text, buttons, icon, title

// The window's side of the link, answering message boxes from a script:
// once it runs out, Ok where that is the only button, Cancel otherwise.
class FakeLinkHost final : public LinkHost {
public:
    explicit FakeLinkHost(Transcript& log) : log_(log) {}

    std::deque<MsgResult> answers;
    std::vector<Box> boxes;
    std::vector<std::string> statuses;
    std::string caption = "ADS-B", modeCaption = "&Decoded", directory = "/nonexistent-folder";
    std::function<void()> onConfigure;

    MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
                     const std::string&) override
    {
        log_.push_back("box " + title);
        boxes.push_back({text, buttons, icon, title});
        if (answers.empty())
            return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
        const MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setCaption(const std::string& text) override { caption = text; }
    void setModeCaption(const std::string& text) override { modeCaption = text; }
    void configure() override { log_.push_back("dialog"); if (onConfigure) onConfigure(); }
    void Sleep(int milliseconds) override { log_.push_back("~" + std::to_string(milliseconds)); }
    std::string currentDirectory() override { return directory; }
    void EndProgram() override { log_.push_back("end"); }
    void linkStatus(LinkState, const std::string& message) override { statuses.push_back(message); }

private:
    Transcript& log_;
};

} // namespace telvorn::test
