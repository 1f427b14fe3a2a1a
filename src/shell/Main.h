#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QTimer>
#include <QWidget>

#include "receiver/LinkHost.h"
#include "receiver/ReceiveChain.h"
#include "receiver/ReceiverLink.h"
#include "shell/Settings.h"
#include "shell/ShellServices.h"

namespace telvorn {

class AircraftTableModel;
class AircraftTableView;
class Config;
class MainFeeds;
class ScopeView;
class StatusStrip;

// The main window: the aircraft list above the status bar with its panels
// and the `Mode` and `Conf` buttons. It shows the receive chain's state and
// forwards clicks; the aircraft live in the core's table, not here.
class Main final : public QWidget, private LinkHost {
public:
    static constexpr int kClientWidthTwips = 11025;
    static constexpr int kClientHeightTwips = 6495;
    // The list and the status bar are redrawn at most this often; the
    // model follows every record, the screen need not. Five times a second
    // keeps a full link with 500 aircraft near 7 % of a core, against 10 %
    // at ten times a second: repainting, not decoding, is the cost.
    static constexpr int kRefreshMs = 200;

    explicit Main(ShellServices services, QWidget* parent = nullptr);
    ~Main() override;

    // The start-up: settings, the dialog when no port is stored, columns,
    // sort, the position decoder's reference, the receiver, the purge timer.
    // False when the receiver start-up ended the program.
    bool Form_Load();
    // The shutdown: settings written, dialog unloaded, XON, port and log
    // closed. Runs once, from the close box, a signal or the program's end.
    void Form_Unload();

    void Conf_Click();
    void Mode_Click();
    void ListView_ColumnClick(int headerPosition);
    // The purge timer's tick.
    void TimerClean_Timer() { chain_.TimerClean_Timer(); }

    ReceiveChain& chain() { return chain_; }
    ReceiverLink& link() { return link_; }
    AircraftTableModel& model() { return *model_; }
    AircraftTableView& view() { return *view_; }
    StatusStrip& status() { return *status_; }
    Config* ConfigDialog() { return config_.get(); }
    QTimer& TimerClean() { return timerClean_; }
    // The network feeds, from the start-up to the shutdown.
    MainFeeds* feeds() { return feeds_.get(); }
    ScopeView& scope() { return *scope_; }
    // Where the scope stands; hidden, the window has exactly its own size
    // and controls, shown it grows to the right or downwards. F2 steps
    // through hidden, beside and below.
    ScopePlace scopePlace() const { return scopePlace_; }
    void setScopePlace(ScopePlace place);
    // Copies the core's panels and the model's changes to the screen now.
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The configuration dialog and the taking over of its values, without
    // the start-up that Conf_Click runs after it.
    void runDialog();

    MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title,
                     const std::string& detail) override;
    void setCaption(const std::string& caption) override;
    void setModeCaption(const std::string& caption) override;
    void configure() override { runDialog(); }
    void Sleep(int milliseconds) override { services_.sleep(milliseconds); }
    std::string currentDirectory() override { return services_.currentDirectory(); }
    void EndProgram() override;
    void linkStatus(LinkState state, const std::string& message) override;

    ShellServices services_;
    ReceiveChain chain_;
    ReceiverLink link_;
    std::unique_ptr<AircraftTableModel> model_;
    AircraftTableView* view_ = nullptr;
    StatusStrip* status_ = nullptr;
    ScopeView* scope_ = nullptr;
    ScopePlace scopePlace_ = ScopePlace::Hidden;
    // Set while the list follows the records: its selection moving then is
    // the program's, not a choice of the user's for the scope to show.
    bool followingRecords_ = false;
    std::unique_ptr<Config> config_;
    std::unique_ptr<MainFeeds> feeds_;
    QTimer timerClean_;
    QTimer reopen_;
    QTimer refresh_;
    std::string caption_;
    // The stored port choice, which a device given for this run leaves alone.
    std::uint8_t storedPort_ = 0;
    std::string storedDevice_;
    std::array<bool, kPanelCount> panelDirty_{};
    bool loaded_ = false;
    bool unloaded_ = false;
    bool ended_ = false;
};

} // namespace telvorn
