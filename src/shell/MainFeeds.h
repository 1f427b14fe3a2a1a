#pragma once

#include <memory>

#include <QAction>
#include <QTimer>

#include "feeds/FeedOptions.h"
#include "net/Feeds.h"
#include "receiver/ReceiveChain.h"

class QAbstractItemView;
class QWidget;

namespace telvorn {

class FeedsWindow;

// The main window's network feeds: started on its receive chain with the
// options of the command line or of the settings, shown in a FeedsWindow that
// the "Feeds..." entry of the aircraft list's context menu opens. The menu
// entry is an action of the list, so other entries can join it. Destroy it
// before the chain.
class MainFeeds {
public:
    // How often an open feeds window follows the client counts.
    static constexpr int kUpdateMs = 1000;

    MainFeeds(QWidget& mainWindow, QAbstractItemView& list, ReceiveChain& chain, FeedOptions options);
    ~MainFeeds();
    MainFeeds(const MainFeeds&) = delete;
    MainFeeds& operator=(const MainFeeds&) = delete;

    // The feeds in force, which the shutdown stores.
    const FeedOptions& options() const { return options_; }
    FeedStatus status() const;
    QAction& menuEntry() { return *action_; }
    FeedsWindow& window() { return *window_; }
    void showWindow();

private:
    void update();

    FeedOptions options_;
    std::unique_ptr<Feeds> feeds_; // none when no feed is asked for
    FeedsWindow* window_ = nullptr; // a child of the main window
    QAction* action_ = nullptr;     // a child of the list
    QTimer update_;
};

} // namespace telvorn
