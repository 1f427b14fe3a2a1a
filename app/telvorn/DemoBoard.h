#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace telvorn::board {
class BoardServer;
}

namespace telvorn::app {

// The board emulator inside the program, for `--demo`: a pseudo-terminal with
// live traffic around the default receiver position, and settings in a demo
// folder of their own, never the user's.
class DemoBoard {
public:
    DemoBoard();
    ~DemoBoard();
    DemoBoard(const DemoBoard&) = delete;
    DemoBoard& operator=(const DemoBoard&) = delete;

    // Starts serving; the device to open, or an empty text with `error` set.
    std::string start(std::string& error);
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<board::BoardServer> board_;
};

} // namespace telvorn::app
