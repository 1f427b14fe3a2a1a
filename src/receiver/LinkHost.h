#pragma once

#include <string>

namespace telvorn {

enum class MsgButtons { Ok, RetryCancel };
enum class MsgIcon { None, Critical, Information };
enum class MsgResult { Ok, Retry, Cancel };

// Where the link stands, for the caption, the status bar and the buttons.
enum class LinkState {
    // Not opened yet, or closed for the configuration dialog or at shutdown.
    Closed,
    Open,
    // Lost at run time; the same device is tried again every few seconds.
    Lost,
};

// What the receiver start-up needs of the program around it: the window
// (or the console of the monitor) and the operating system.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // A message box; `detail` is what the operating system said, for hosts
    // that can show more than the box's fixed text. Closing the box without
    // a choice answers Cancel.
    virtual MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
                             const std::string& detail)
        = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setModeCaption(const std::string& caption) = 0;
    // The configuration dialog after a port error answered with Retry; the
    // values chosen are in force when it returns.
    virtual void configure() = 0;
    // Blocks the thread.
    virtual void Sleep(int milliseconds) = 0;
    // Where "Output.txt" goes.
    virtual std::string currentDirectory() = 0;
    // Ends the program at once, without the shutdown. A host that returns
    // (a test) finds the start-up returning false.
    virtual void EndProgram() = 0;
    // The link's state changed at run time (lost, back); said once each time.
    virtual void linkStatus(LinkState state, const std::string& message) = 0;
};

} // namespace telvorn
