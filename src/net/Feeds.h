#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>

#include "feeds/FeedHub.h"
#include "feeds/FeedOptions.h"
#include "feeds/FeedStatus.h"
#include "receiver/ReceiveChain.h"

namespace telvorn {

class FeedPush;
class FeedServer;

// The network feeds of one run, attached to the receive chain that owns the
// receive path. The monitor and the window use it alike:
//
//   FeedOptions options;                  // filled by ParseFeedOption
//   Feeds feeds(chain, options, [](const std::string& m) { show(m); });
//   if (!feeds.start()) ...               // each failure already reported
//   ... the event loop runs; feeds.status().text() for a status line
//
// Lives on the thread of the chain and its event loop (a QCoreApplication
// or QApplication must exist); destroy it before the chain. The reporter is
// told, once each, about servers that cannot listen, clients dropped or
// refused, and push clients that connect, fail or are lost; never per line.
// The bytes of the records heard within `flushMs` (20 ms) leave together, in
// one write per client, from the event loop; nothing on the receive path
// waits for the network, and at the link's rate a client costs a few writes
// a second rather than one per line.
class Feeds {
public:
    using Reporter = std::function<void(const std::string& message)>;

    Feeds(ReceiveChain& chain, FeedOptions options, Reporter report = {});
    ~Feeds();
    Feeds(const Feeds&) = delete;
    Feeds& operator=(const Feeds&) = delete;

    // Opens the servers on the bind address and starts the push clients,
    // then follows the chain. False when a server could not listen or the
    // bind address is not one; the others run all the same.
    bool start();
    FeedStatus status() const;
    const FeedOptions& options() const { return options_; }

private:
    ReceiveChain& chain_;
    FeedOptions options_;
    Reporter report_;
    FeedHub hub_;
    QTimer flushTimer_;
    std::vector<std::unique_ptr<FeedServer>> servers_;
    std::vector<std::unique_ptr<FeedPush>> pushes_;
    bool started_ = false;
};

} // namespace telvorn
