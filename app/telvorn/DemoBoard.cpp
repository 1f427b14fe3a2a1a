#include "DemoBoard.h"

#include <cstdlib>
#include <exception>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "BoardServer.h"
#include "platform/DefaultSettingsStore.h"

namespace telvorn::app {

DemoBoard::DemoBoard()
{
    std::error_code ignored;
#ifndef _WIN32
    folder_ = std::filesystem::temp_directory_path(ignored) / ("telvorn-demo-" + std::to_string(::getuid()));
#else
    folder_ = std::filesystem::temp_directory_path(ignored) / "telvorn-demo";
#endif
}

DemoBoard::~DemoBoard()
{
    if (board_)
        board_->stop();
}

std::string DemoBoard::start(std::string& error)
{
    std::error_code failed;
    std::filesystem::create_directories(folder_, failed);
    if (failed) {
        error = "cannot create " + folder_.string() + ": " + failed.message();
        return {};
    }
    // An explicit choice of the caller's wins; otherwise the demo keeps its
    // settings apart from the user's own.
#ifndef _WIN32
    ::setenv(SettingsDirVariable, (folder_ / "settings").c_str(), 0);
#endif
    board::BoardOptions options;
    options.symlink = (folder_ / "board").string();
    options.aircraft = 60;
    options.rate = 150;
    try {
        board_ = std::make_unique<board::BoardServer>(options);
        board_->start();
    } catch (const std::exception& e) {
        error = e.what();
        board_.reset();
        return {};
    }
    return options.symlink;
}

} // namespace telvorn::app
