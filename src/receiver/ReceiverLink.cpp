#include "receiver/ReceiverLink.h"

#include "platform/LineSettings.h"
#include "platform/ProgramVersion.h"
#include "receiver/BoardReplies.h"
#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Replies are read this long after their command, as the firmware needs.
constexpr int kVersionReplyMs = 400;
constexpr int kPositionReplyMs = 40;

std::string Lines(std::string_view first, std::string_view second)
{
    std::string text(first);
    text += kLineBreak;
    text += second;
    return text;
}

} // namespace

ReceiverLink::ReceiverLink(ReceiveChain& chain, SerialPort& port, LinkHost& host)
    : chain_(chain), port_(port), host_(host)
{
    port_.setCommHandler([this](int eventCode, std::string_view received) {
        chain_.MSComm_OnComm(eventCode, received);
    });
    port_.setLossHandler([this](const std::string& reason) { portLost(reason); });
}

std::string ReceiverLink::Caption(std::string_view firmwareVersion)
{
    const ProgramVersion& v = kProgramVersion;
    std::string caption(AppKey);
    caption += ' ' + std::to_string(v.major) + '.' + std::to_string(v.minor) + '.' + std::to_string(v.revision);
    caption += " - Firmware ";
    caption += firmwareVersion;
    return caption;
}

bool ReceiverLink::StartReceiver()
{
    reconnecting_ = false;
    return startOnce();
}

bool ReceiverLink::startOnce()
{
    MainState& state = chain_.state();
    failed_ = false;
    // The start-up reads every reply itself: no receive event may take one
    // first, even when a start-up follows another with events already on.
    port_.setRThreshold(0);
    if (!openPort())
        return false;

    write(std::string(1, kXoff));
    write("x");
    host_.Sleep(5);
    write("0");
    if (state.RawFlag) {
        write("w");
    } else {
        write("W");
        host_.Sleep(5);
    }
    host_.Sleep(1);
    write(state.DstFlag ? "d" : "D");
    host_.Sleep(5);
    port_.clearInput();

    if (!CheckFirmware()) {
        if (!failed_)
            fail(Lines("Communication error: No firmware response.", "Verify serial connection."), MsgIcon::Critical);
        return false;
    }
    host_.setCaption(Caption(state.FirmwareVersion));
    syncPosition();
    if (state.LogFlag)
        openLog();

    write("l");
    // The button names the mode in force; its access key stays until a
    // switch has changed it.
    if (state.RawMode)
        host_.setModeCaption("Decoded");
    state.RawMode = false;
    write(std::string(1, kXon));
    port_.setRThreshold(1);

    const bool wasLost = state_ == LinkState::Lost;
    state_ = LinkState::Open;
    lastReport_.clear();
    if (wasLost)
        host_.linkStatus(LinkState::Open, "receiver back on " + port_.portName());
    return true;
}

bool ReceiverLink::openPort()
{
    for (;;) {
        port_.setSettings(chain_.state().SpeedFlag ? kHighSpeedLine : kNormalSpeedLine);
        port_.setXonXoff(true);
        if (port_.isOpen())
            port_.close();
        if (port_.open())
            return true;
        if (reconnecting_)
            return false;
        const MsgResult answer = host_.MsgBox(
            Lines("Error on " + port_.portName() + " port.", "Verify this port is available."), MsgButtons::RetryCancel,
            MsgIcon::None, "ERROR", port_.openError());
        if (answer != MsgResult::Retry) {
            ended_ = true;
            host_.EndProgram();
            return false;
        }
        host_.configure();
    }
}

bool ReceiverLink::CheckFirmware()
{
    MainState& state = chain_.state();
    write("?");
    host_.Sleep(kVersionReplyMs);
    const std::string reply = port_.readAll();
    const std::optional<std::string> version = FirmwareVersionOf(reply);
    if (!version)
        return false;
    state.FirmwareVersion = *version;
    if (!IsSupportedFirmware(state.FirmwareVersion)) {
        fail(Lines("Bad firmware version: " + state.FirmwareVersion, "You need to update it."), MsgIcon::Critical);
        return false;
    }
    if (IsTestModeReply(reply)) {
        fail(Lines("TEST Mode enabled", "You need to disable it."), MsgIcon::Information);
        return false;
    }
    return true;
}

void ReceiverLink::syncPosition()
{
    const MainState& state = chain_.state();
    write("p");
    host_.Sleep(kPositionReplyMs);
    const std::optional<StoredPosition> stored = ParsePositionReply(port_.readAll());
    if (!stored)
        return;
    const double latitude = LeadingNumber(state.PosLat[0]);
    const double longitude = LeadingNumber(state.PosLon[0]);
    if (SamePositionCell(latitude, longitude, stored->latitude, stored->longitude))
        return;
    const std::optional<std::string> latDigits = PositionDigits(latitude);
    const std::optional<std::string> lonDigits = PositionDigits(longitude);
    if (!latDigits || !lonDigits)
        return;

    write("P");
    host_.Sleep(kPositionReplyMs);
    port_.clearInput();
    for (const std::string* digits : {&*latDigits, &*lonDigits}) {
        for (char digit : *digits) {
            write(std::string_view(&digit, 1));
            host_.Sleep(1);
        }
        port_.clearInput();
    }
}

void ReceiverLink::openLog()
{
    LogFile& log = chain_.log();
    log.close();
    if (!log.open(ReceiveChain::LogPath(host_.currentDirectory())))
        warn(Lines("Enable to open log file.", "Will not log data"));
}

void ReceiverLink::fail(const std::string& text, MsgIcon icon)
{
    failed_ = true;
    if (!reconnecting_)
        host_.MsgBox(text, MsgButtons::Ok, icon, "Error", "");
    write(std::string(1, kXon));
    port_.close();
    if (reconnecting_) {
        report(text);
        return;
    }
    ended_ = true;
    host_.EndProgram();
}

void ReceiverLink::warn(const std::string& text)
{
    if (reconnecting_)
        report(text);
    else
        host_.MsgBox(text, MsgButtons::Ok, MsgIcon::None, "Warning", "");
}

void ReceiverLink::report(const std::string& text)
{
    // One line for a status bar or a terminal; the same failure at every
    // attempt is said only the first time.
    std::string line = text;
    for (std::size_t at = line.find(kLineBreak); at != std::string::npos; at = line.find(kLineBreak, at))
        line.replace(at, kLineBreak.size(), " ");
    if (line == lastReport_)
        return;
    lastReport_ = line;
    host_.linkStatus(LinkState::Lost, line);
}

void ReceiverLink::Mode_Click()
{
    MainState& state = chain_.state();
    state.RawMode = !state.RawMode;
    host_.setModeCaption(state.RawMode ? "Raw" : "Decoded");
    write(std::string(1, kXoff));
    write(state.RawMode ? "L" : "l");
    write(std::string(1, kXon));
}

void ReceiverLink::suspend()
{
    if (port_.isOpen())
        port_.close();
    port_.setRThreshold(0);
    state_ = LinkState::Closed;
}

void ReceiverLink::portLost(const std::string& reason)
{
    if (state_ != LinkState::Open)
        return;
    port_.setRThreshold(0);
    port_.close();
    state_ = LinkState::Lost;
    lastReport_.clear();
    report("lost " + port_.portName() + " (" + reason + "); reopening it every " +
           std::to_string(kReopenIntervalMs / 1000) + " s");
}

void ReceiverLink::retryTick()
{
    if (state_ != LinkState::Lost)
        return;
    reconnecting_ = true;
    startOnce();
    reconnecting_ = false;
}

void ReceiverLink::shutdown()
{
    write(std::string(1, kXon));
    port_.close();
    chain_.log().close();
    state_ = LinkState::Closed;
}

} // namespace telvorn
