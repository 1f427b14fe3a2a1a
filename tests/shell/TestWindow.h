#pragma once

// The main window with a recording port, a frozen clock and the settings in
// a folder of the test's own.
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <QLabel>
#include <QString>

#include "FakeLink.h"
#include "TempFolder.h"
#include "platform/FileSettingsStore.h"
#include "shell/Main.h"
#include "shell/StatusStrip.h"

namespace telvorn::test {

struct Window {
    TempFolder dir;
    FileSettingsStore store{dir.path()};
    Transcript log;
    FakeSerialPort port{log};
    FakeLinkHost answers{log};
    FrozenClock clock{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{13}};
    std::optional<ScopePlace> runScope; // as the command line gives them
    std::optional<FeedOptions> runFeeds;
    bool ended = false;
    std::unique_ptr<Main> main;

    Main& open()
    {
        main = std::make_unique<Main>(ShellServices{
            .store = &store, .port = &port, .clock = &clock,
            .msgBox = [this](const auto&... box) { return answers.MsgBox(box...); },
            .endProgram = [this] { ended = true; }, .sleep = [](int) {},
            .currentDirectory = [this] { return dir.path().string(); }, .closed = {}, .runDevice = {},
            .runFeeds = runFeeds, .runScope = runScope});
        return *main;
    }
    // Settings stored with a port, 1 unless they name another, so that no
    // settings window comes first.
    void save(AppSettings saved = {})
    {
        saved.port = saved.port ? saved.port : 1;
        SaveSettings(store, saved);
    }
    Main& load(AppSettings saved = {})
    {
        save(std::move(saved));
        if (!open().Form_Load())
            ADD_FAILURE() << "the window did not load";
        return *main;
    }
    int startUps() const { return int(std::count(log.begin(), log.end(), "?")); }
    AppSettings stored() { return LoadSettings(store); }
    void receive(const std::string& bytes) { port.comm(comEvReceive, bytes); main->refresh(); }
    QString panel(Panel p) const { return main->status().panel(p)->text(); }
};

} // namespace telvorn::test
