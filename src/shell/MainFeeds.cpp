#include "shell/MainFeeds.h"

#include <cstdio>

#include <QAbstractItemView>

#include "shell/FeedsWindow.h"

namespace telvorn {

MainFeeds::MainFeeds(QWidget& mainWindow, QAbstractItemView& list, ReceiveChain& chain, FeedOptions options)
    : options_(std::move(options))
{
    window_ = new FeedsWindow(&mainWindow);
    window_->setObjectName(QStringLiteral("Feeds"));
    action_ = new QAction(QStringLiteral("Feeds..."), &list);
    list.addAction(action_);
    list.setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(action_, &QAction::triggered, window_, [this] { showWindow(); });
    QObject::connect(&update_, &QTimer::timeout, window_, [this] { update(); });

    if (options_.any()) {
        // Reports are rare (a client dropped, a connection lost): each one
        // goes to the window's list and to the standard error.
        feeds_ = std::make_unique<Feeds>(chain, options_, [this](const std::string& message) {
            std::fprintf(stderr, "telvorn: %s\n", message.c_str());
            window_->addReport(message);
        });
        feeds_->start();
    }
    window_->showStatus(status());
}

MainFeeds::~MainFeeds()
{
    update_.stop();
    feeds_.reset();
    // Gone with the feeds, though the main window lives on after its shutdown.
    delete action_;
    delete window_;
}

FeedStatus MainFeeds::status() const
{
    return feeds_ ? feeds_->status() : FeedStatus{};
}

void MainFeeds::showWindow()
{
    window_->showStatus(status());
    window_->show();
    window_->raise();
    update_.start(kUpdateMs);
}

void MainFeeds::update()
{
    if (window_->isHidden()) {
        update_.stop();
        return;
    }
    window_->showStatus(status());
}

} // namespace telvorn
