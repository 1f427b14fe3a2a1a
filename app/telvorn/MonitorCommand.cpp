// telvorn monitor: the receiver without a window, for a station next to the
// antenna watched over ssh, or a feeder that runs as a service.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "Commands.h"
#include "ConsoleLinkHost.h"
#include "DemoBoard.h"
#include "MonitorOptions.h"
#include "ReplayOutput.h"
#include "net/Feeds.h"
#include "platform/DefaultSettingsStore.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSignalWatcher.h"
#include "receiver/ReceiverLink.h"
#include "shell/PortChoice.h"
#include "shell/Settings.h"
#include "table/StalePurge.h"

namespace telvorn::app {

namespace {

constexpr const char* kUsage =
    "usage: telvorn monitor [--port DEVICE] [--seconds N] [--every S] [--table] [--demo]\n"
    "                       [--sbs-port N] [--raw-port N] [--beast-port N] [--bind ADDRESS]\n"
    "                       [--connect HOST:PORT:PROTOCOL]...\n"
    "  Runs the receiver without a window, with the stored settings (the window's\n"
    "  configuration; TELVORN_SETTINGS_DIR moves them), and prints the aircraft table\n"
    "  as the JSON of 'telvorn replay' every S seconds and once at exit: after N\n"
    "  seconds, or on SIGINT/SIGTERM. --table shows the aligned text table instead,\n"
    "  redrawn in place about once a second on a terminal. --port opens DEVICE for\n"
    "  this run only; --demo runs against the built-in board emulator.\n";

constexpr int kRedrawMs = 1000;
constexpr int kLogWatchMs = 500;

bool IsTerminal()
{
#ifndef _WIN32
    return ::isatty(STDOUT_FILENO) == 1;
#else
    return false;
#endif
}

} // namespace

int RunMonitor(int argc, char** argv)
{
    const std::vector<std::string> args(argv, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(FeedUsage().data(), stdout);
            return 0;
        }
    }
    const ParsedMonitorOptions parsed = ParseMonitorOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "telvorn monitor: %s\n", parsed.error.c_str());
        return 2;
    }
    MonitorOptions o = *parsed.options;

    DemoBoard board;
    if (o.demo) {
        std::string error;
        const std::string device = board.start(error);
        if (device.empty()) {
            std::fprintf(stderr, "telvorn monitor: cannot start the demo board: %s\n", error.c_str());
            return 1;
        }
        o.port = o.port.value_or(device);
    }

    const AppSettings settings = LoadSettings(*OpenDefaultSettingsStore());
    int qtArgc = 1;
    char programName[] = "telvorn";
    char* qtArgv[] = {programName, nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    QtSerialPort port;
    if (!ApplyStoredPort(settings, o.port, port)) {
        std::fputs("telvorn monitor: no serial port chosen: give one with --port DEVICE (for example\n"
                   "  --port /dev/ttyUSB0), or choose it once in the window's configuration dialog\n",
                   stderr);
        return 2;
    }

    SystemClock clock;
    ReceiveChain chain(clock);
    ApplySettings(settings, chain.state());
    chain.SetupColumns();
    chain.applyReference();

    ConsoleLinkHost host("telvorn monitor");
    ReceiverLink link(chain, port, host);
    if (!link.StartReceiver())
        return 1;
    std::fprintf(stderr, "telvorn monitor: receiving on %s\n", port.portName().c_str());

    // Where the feeds serve goes to stderr at once, so a script that asked
    // for any free port (0) learns which one it got.
    std::unique_ptr<Feeds> feeds;
    if (o.feeds.any()) {
        feeds = std::make_unique<Feeds>(chain, o.feeds, [](const std::string& message) {
            std::fprintf(stderr, "telvorn monitor: %s\n", message.c_str());
        });
        feeds->start();
        std::fprintf(stderr, "telvorn monitor: feeds: %s\n", feeds->status().text().c_str());
    }

    const bool redraw = o.table && IsTerminal();
    auto show = [&](bool inPlace) {
        const MainState& state = chain.state();
        std::string out = o.table ? ReplayText(chain.panels(), chain.table(), state)
                                  : ReplayJson(chain.panels(), chain.table(), state, chain.tracker());
        if (inPlace)
            out.insert(0, "\x1b[H\x1b[2J");
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    };

    QTimer purge;
    QObject::connect(&purge, &QTimer::timeout, [&] { chain.TimerClean_Timer(); });
    purge.start(PurgeIntervalMs);
    QTimer reopen;
    QObject::connect(&reopen, &QTimer::timeout, [&] { link.retryTick(); });
    reopen.start(kReopenIntervalMs);
    QTimer report;
    if (redraw || o.every) {
        QObject::connect(&report, &QTimer::timeout, [&] { show(redraw); });
        report.start(redraw ? kRedrawMs : TimerMilliseconds(*o.every));
    }
    if (o.seconds)
        QTimer::singleShot(TimerMilliseconds(*o.seconds), &app, &QCoreApplication::quit);
    // The window keeps a failing log to itself; a monitor runs unattended,
    // so whoever reads its messages learns once per opening that the log is
    // incomplete.
    QTimer logWatch;
    bool logFailureSaid = false;
    QObject::connect(&logWatch, &QTimer::timeout, [&] {
        const std::string& failure = chain.log().failure();
        if (failure.empty() || logFailureSaid) {
            logFailureSaid = !failure.empty();
            return;
        }
        logFailureSaid = true;
        std::fprintf(stderr, "telvorn monitor: cannot write the log file %s: %s; receiving goes on\n",
                     ReceiveChain::LogPath(host.currentDirectory()).c_str(), failure.c_str());
    });
    logWatch.start(kLogWatchMs);
    QtSignalWatcher stopSignals([&app](int) { app.quit(); });

    app.exec();
    feeds.reset();
    link.shutdown();
    show(redraw);
    return 0;
}

} // namespace telvorn::app
