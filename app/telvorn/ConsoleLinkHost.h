#pragma once

#include <string>

#include "platform/Process.h"
#include "receiver/LinkHost.h"

namespace telvorn::app {

// The receiver link's host for a program without a window: every message
// goes to standard error as one line, a port error is answered with Cancel
// at once (there is nobody to choose Retry), and ending the program is left
// to the caller, which sees the start-up return false.
class ConsoleLinkHost final : public LinkHost {
public:
    explicit ConsoleLinkHost(std::string program) : program_(std::move(program)) {}

    MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
                     const std::string& detail) override;
    void setCaption(const std::string& caption) override;
    void setModeCaption(const std::string&) override {}
    void configure() override {}
    void Sleep(int milliseconds) override { SleepMilliseconds(milliseconds); }
    std::string currentDirectory() override { return WorkingFolder(); }
    void EndProgram() override { ended_ = true; }
    void linkStatus(LinkState state, const std::string& message) override;

    bool ended() const { return ended_; }
    const std::string& caption() const { return caption_; }

private:
    void say(const std::string& line);

    std::string program_;
    std::string caption_;
    bool ended_ = false;
};

} // namespace telvorn::app
