#pragma once

#include <functional>
#include <optional>
#include <string>

#include "feeds/FeedOptions.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/SettingsBackend.h"
#include "receiver/LinkHost.h"
#include "shell/Settings.h"

namespace telvorn {

// What the main window needs of the world outside it. The program gives it
// the real store, port, clock, message boxes and process end; tests give it
// their own and answer the boxes themselves.
struct ShellServices {
    using MessageBox = std::function<MsgResult(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                               const std::string& title, const std::string& detail)>;

    SettingsBackend* store = nullptr;
    SerialPort* port = nullptr;
    const Clock* clock = nullptr;
    MessageBox msgBox;
    // Ends the program at once, without the shutdown and its settings.
    std::function<void()> endProgram;
    std::function<void(int milliseconds)> sleep;
    std::function<std::string()> currentDirectory;
    // Told when the window has closed and its shutdown has run.
    std::function<void()> closed;
    // A device named for this run only (--port): the stored choice stays.
    std::optional<std::string> runDevice;
    // Network feeds given on the command line, in place of the stored ones.
    std::optional<FeedOptions> runFeeds;
    // A scope place for this run (the demo shows the scope); the user may
    // still change it, and what is left at shutdown is stored.
    std::optional<ScopePlace> runScope;
};

// Message boxes as Qt shows them.
ShellServices::MessageBox QtMessageBox();

} // namespace telvorn
