#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace telvorn {

// The serial port as the receiver link drives it: the operations of the
// board's link and nothing more, so the start-up can run against a
// recording fake as well as against a real device.
class SerialPort {
public:
    // Receive events carry what was read with them: the port has already
    // taken it out of its input buffer.
    using CommHandler = std::function<void(int eventCode, std::string_view received)>;
    // The device went away or failed while open: a pulled USB cable, a read
    // error. Told once per opening, from the event loop, never from inside
    // the port's own error signal.
    using LossHandler = std::function<void(const std::string& reason)>;

    virtual ~SerialPort() = default;

    // "115200,n,8,1": bits per second, parity, data bits, stop bits.
    // Returns false, changing nothing, for a text it cannot apply.
    virtual bool setSettings(std::string_view lineSettings) = 0;
    virtual void setXonXoff(bool on) = 0;

    // Port n is "COMn" on Windows. A device path, where one is set, takes
    // the number's place on other systems. Numbers below 1 are refused.
    virtual bool setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    virtual void setDevice(const std::string& path) = 0;
    virtual const std::string& device() const = 0;
    // What the user knows the port as: "COM3", or "/dev/ttyUSB0".
    virtual std::string portName() const = 0;

    // May fail; openError() then says why in words a user can act on.
    virtual bool open() = 0;
    virtual std::string openError() const = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Written before it returns, unless the port is closed.
    virtual void write(std::string_view bytes) = 0;
    // Everything received and not yet read, possibly nothing.
    virtual std::string readAll() = 0;
    // Drops everything received and not yet read.
    virtual void clearInput() = 0;
    // 1: a receive event whenever at least one character has arrived;
    // 0: no receive events.
    virtual void setRThreshold(int characters) = 0;

    virtual void setCommHandler(CommHandler handler) = 0;
    virtual void setLossHandler(LossHandler handler) = 0;
};

} // namespace telvorn
