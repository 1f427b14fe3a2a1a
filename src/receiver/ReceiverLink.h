#pragma once

#include <string>
#include <string_view>

#include "platform/SerialPort.h"
#include "receiver/LinkHost.h"
#include "receiver/ReceiveChain.h"

namespace telvorn {

inline constexpr char kXoff = '\x13';
inline constexpr char kXon = '\x11';

// Every reopening attempt after a loss is this far apart.
inline constexpr int kReopenIntervalMs = 2000;

// The serial link to the board: the start-up with its firmware handshake,
// the output-mode switch, and what happens when the port goes away while
// the program runs. It owns no resource: the port, the receive chain and
// the host are lent to it for its lifetime.
//
// A loss at run time keeps the table, is said once, and is followed by an
// attempt to reopen the same device every two seconds; an attempt that
// opens the port runs the whole start-up again, and a board that answers
// badly then is reported while the attempts go on, rather than ending a
// program that may have run unattended for hours.
class ReceiverLink {
public:
    ReceiverLink(ReceiveChain& chain, SerialPort& port, LinkHost& host);
    ReceiverLink(const ReceiverLink&) = delete;
    ReceiverLink& operator=(const ReceiverLink&) = delete;

    // Opens the port, programs the board and switches receive events on.
    // Returns true when the receiver runs. After a fatal answer the host has
    // been told to end the program, and this returns false. A port that
    // cannot be opened offers Retry, which runs the host's configuration
    // dialog and starts over.
    bool StartReceiver();
    // Sends "?" and checks the reply. False when no valid reply came; a
    // firmware that is too old or in test mode ends the program.
    bool CheckFirmware();

    // The `Mode` button: decoded positions or raw CPR fields.
    void Mode_Click();

    // Before the configuration dialog: the port closed, no receive events,
    // no reopening attempts.
    void suspend();
    // Every reopening interval while the link is lost.
    void retryTick();
    // Orderly shutdown: XON to the board, then the port and the log closed.
    void shutdown();

    LinkState state() const { return state_; }
    bool ended() const { return ended_; }

    // "ADSB 0.9.0 - Firmware 2.8"
    static std::string Caption(std::string_view firmwareVersion);

private:
    bool startOnce();
    bool openPort();
    void syncPosition();
    void openLog();
    // A failed handshake: the box and the end of the program at start-up,
    // a report while reconnecting. Either way the board is resumed and the
    // port closed.
    void fail(const std::string& text, MsgIcon icon);
    void warn(const std::string& text);
    void report(const std::string& text);
    void portLost(const std::string& reason);
    void write(std::string_view bytes) { port_.write(bytes); }

    ReceiveChain& chain_;
    SerialPort& port_;
    LinkHost& host_;
    LinkState state_ = LinkState::Closed;
    bool reconnecting_ = false;
    bool ended_ = false;
    bool failed_ = false;
    std::string lastReport_;
};

} // namespace telvorn
