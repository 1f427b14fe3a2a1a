#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include "platform/LineSettings.h"
#include "platform/SerialPort.h"

namespace telvorn {

// The serial port on QSerialPort.
//
// Blocking operations (write, read everything, empty the input) run Qt's
// waitFor calls, which the start-up needs: it reads each reply itself with
// no event loop running. Receive events are delivered only from the event
// loop, never from inside those calls, and gather what arrives within a
// few milliseconds into one event. At the full link rate a board writes a
// line every 0.7 ms, and waking for each costs more than decoding it: so
// with receive events on, Qt only signals that bytes arrived, and the
// gathered bytes are then read from the device directly, while the kernel
// and the board's flow control hold what comes in between.
//
// A board that goes away (a pulled USB cable, the emulator gone) shows in
// Qt 6.4 as a flood of ReadErrors with isOpen() still true; newer Qt reads
// it as silence. So any error closes the port from the event loop, and a
// one-second check that the device still exists catches the silent case.
class QtSerialPort final : public QObject, public SerialPort {
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool setSettings(std::string_view lineSettings) override;
    void setXonXoff(bool on) override;
    bool setCommPort(int number) override;
    int commPort() const override { return number_; }
    void setDevice(const std::string& path) override { device_ = path; }
    const std::string& device() const override { return device_; }
    std::string portName() const override;

    bool open() override;
    std::string openError() const override { return openError_; }
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }

    void write(std::string_view bytes) override;
    std::string readAll() override;
    void clearInput() override;
    void setRThreshold(int characters) override;

    void setCommHandler(CommHandler handler) override { comm_ = std::move(handler); }
    void setLossHandler(LossHandler handler) override { loss_ = std::move(handler); }

    // What the device is really set to, for tests of the line settings.
    const QSerialPort& qtPort() const { return port_; }

private:
    void applySettings();
    void deliver();
    // Whatever the device holds beyond Qt's buffer; false when it hung up.
    bool drainDevice(QByteArray& into);
    void setDirectReads(bool on);
    bool hungUp() const;
    void onError(QSerialPort::SerialPortError error);
    void checkDevice();
    void lose(const std::string& reason);
    std::string describeOpenFailure() const;

    QSerialPort port_;
    QTimer deviceCheck_;
    QTimer gather_;
    bool directReads_ = false;
    LineSettings settings_{115200, Parity::None, 8, 1};
    bool xonXoff_ = false;
    int number_ = 1;
    std::string device_;
    std::string openError_;
    int threshold_ = 0;
    // Inside a blocking call: Qt may announce data there, which belongs to
    // the caller, not to a receive event.
    bool blocking_ = false;
    bool deliveryQueued_ = false;
    bool lossQueued_ = false;
    // A loss queued for one opening must not close the next one.
    unsigned openings_ = 0;
    CommHandler comm_;
    LossHandler loss_;
};

} // namespace telvorn
