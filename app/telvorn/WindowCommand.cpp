// telvorn [--port DEVICE] [--demo]: the desktop program.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>

#include "Commands.h"
#include "DemoBoard.h"
#include "LoopStats.h"
#include "OptionReader.h"
#include "feeds/FeedOptions.h"
#include "platform/Clock.h"
#include "platform/DefaultSettingsStore.h"
#include "platform/Process.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSignalWatcher.h"
#include "shell/AircraftTableView.h"
#include "shell/Main.h"
#include "shell/ScopeView.h"

namespace telvorn::app {

namespace {

constexpr const char* kUsage =
    "usage: telvorn [--port DEVICE] [--demo] [--scope beside|below|hidden]\n"
    "               [feed options | --no-feeds]\n"
    "  The desktop program. --port opens DEVICE for this run only; --demo runs it\n"
    "  against the built-in board emulator, with settings in a demo folder, and\n"
    "  shows the scope beside the list. --scope places the scope for this run.\n"
    "  In the window, F2 shows the scope beside the list, below it, or hides it.\n"
    "  The feeds given here replace the stored ones and are stored at the end for\n"
    "  the next start; --no-feeds starts without any and forgets them. The\n"
    "  'Feeds...' entry of the list's context menu shows them.\n";

std::optional<ScopePlace> ScopePlaceNamed(const std::string& name)
{
    if (name == "beside")
        return ScopePlace::Beside;
    if (name == "below")
        return ScopePlace::Below;
    if (name == "hidden")
        return ScopePlace::Hidden;
    return std::nullopt;
}

} // namespace

int RunWindow(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<std::string> runDevice;
    bool demo = false;
    std::optional<FeedOptions> runFeeds;
    std::optional<ScopePlace> scope;
    OptionReader r(args);
    while (r.next()) {
        if (r.name() == "--help" || r.name() == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(FeedUsage().data(), stdout);
            return 0;
        }
        if (r.name() == "--demo" && r.flagOk()) {
            demo = true;
        } else if (r.name() == "--no-feeds" && r.flagOk()) {
            runFeeds = FeedOptions{};
        } else if (IsFeedOption(r.name())) {
            const std::string name = r.name();
            const std::optional<std::string> v = r.value();
            std::string error;
            if (!runFeeds)
                runFeeds = FeedOptions{};
            if (!SetFeedOption(name, v ? std::optional<std::string_view>(*v) : std::nullopt, *runFeeds, error)) {
                std::fprintf(stderr, "telvorn: %s\n", error.c_str());
                return 2;
            }
        } else if (r.name() == "--scope") {
            const std::optional<std::string> place = r.value();
            scope = place ? ScopePlaceNamed(*place) : std::nullopt;
            if (!scope) {
                std::fputs("telvorn: option --scope needs beside, below or hidden\n", stderr);
                return 2;
            }
        } else if (r.name() == "--port") {
            runDevice = r.value();
            if (!runDevice || runDevice->empty()) {
                std::fputs("telvorn: option --port needs a serial device, e.g. /dev/ttyUSB0\n", stderr);
                return 2;
            }
        } else {
            std::fprintf(stderr, "telvorn: unknown option '%s' (try 'telvorn --help')\n", r.raw().c_str());
            return 2;
        }
    }

    DemoBoard board;
    if (demo) {
        std::string error;
        const std::string device = board.start(error);
        if (device.empty()) {
            std::fprintf(stderr, "telvorn: cannot start the demo board: %s\n", error.c_str());
            return 1;
        }
        if (!runDevice)
            runDevice = device;
    }

    QApplication app(argc, argv);
    // The program ends with its main window, not with the first dialog
    // that closes before the window is shown.
    app.setQuitOnLastWindowClosed(false);

    const std::unique_ptr<SettingsBackend> store = OpenDefaultSettingsStore();
    QtSerialPort port;
    SystemClock clock;
    ShellServices services;
    services.store = store.get();
    services.port = &port;
    services.clock = &clock;
    services.msgBox = QtMessageBox();
    services.endProgram = [] { EndProgramNow(); };
    services.sleep = SleepMilliseconds;
    services.currentDirectory = WorkingFolder;
    services.runDevice = runDevice;
    services.runFeeds = runFeeds;
    services.closed = [] { QCoreApplication::quit(); };
    // The demo shows the scope beside the list unless told otherwise.
    services.runScope = scope ? scope : demo ? std::optional(ScopePlace::Beside) : std::nullopt;

    Main window(services);
    if (!window.Form_Load())
        return 1;
    window.show();
    // A logout or a `kill` closes the window as its close box does.
    QtSignalWatcher stopSignals([&window](int) { window.close(); });

    // For the window bench: event-loop stalls and the lines counted, past
    // the start-up's own waits.
    const char* statsPath = std::getenv("TELVORN_STATS");
    std::unique_ptr<LoopStats> stats;
    if (statsPath) {
        stats = std::make_unique<LoopStats>();
        stats->countPaints(window.view().viewport(), "table");
        stats->countPaints(&window.scope(), "scope");
    }
    const int status = app.exec();
    if (stats) {
        const std::string json = stats->json("\"all\": \"" + window.chain().panels().text(Panel::All) +
                                             "\", \"rows\": " + std::to_string(window.chain().table().size()));
        if (std::FILE* out = std::fopen(statsPath, "w")) {
            std::fputs(json.c_str(), out);
            std::fclose(out);
        }
    }
    return status;
}

} // namespace telvorn::app
