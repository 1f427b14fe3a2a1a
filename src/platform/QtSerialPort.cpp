#include "platform/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "receiver/ReceiveHandler.h"

#ifndef _WIN32
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace telvorn {

namespace {

// A write on a line the board holds with XOFF waits at most this long.
constexpr int kWriteWaitMs = 1000;
constexpr int kDeviceCheckMs = 1000;
// Received bytes wait this long for more before they go to the receive
// path: at the full link rate a board writes a line every 0.7 ms, and one
// receive event per line costs more than decoding it. Well inside the
// latency anyone watching a table sees.
constexpr int kGatherMs = 10;

// Sets `busy` for the lifetime of the guard, whatever the way out.
struct Busy {
    explicit Busy(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Busy() { flag_ = was_; }
    bool& flag_;
    bool was_;
};

QSerialPort::Parity QtParity(Parity parity)
{
    switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(int stopBits)
{
    return stopBits == 2 ? QSerialPort::TwoStop : stopBits == 15 ? QSerialPort::OneAndHalfStop : QSerialPort::OneStop;
}

} // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent)
{
    gather_.setSingleShot(true);
    gather_.setInterval(kGatherMs);
    connect(&gather_, &QTimer::timeout, this, &QtSerialPort::deliver);
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        if (!blocking_ && !gather_.isActive())
            gather_.start();
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    deviceCheck_.setInterval(kDeviceCheckMs);
    connect(&deviceCheck_, &QTimer::timeout, this, &QtSerialPort::checkDevice);
}

QtSerialPort::~QtSerialPort()
{
    port_.close();
}

bool QtSerialPort::setSettings(std::string_view lineSettings)
{
    const std::optional<LineSettings> parsed = ParseLineSettings(lineSettings);
    if (!parsed)
        return false;
    settings_ = *parsed;
    if (port_.isOpen())
        applySettings();
    return true;
}

void QtSerialPort::setXonXoff(bool on)
{
    xonXoff_ = on;
    if (port_.isOpen())
        applySettings();
}

bool QtSerialPort::setCommPort(int number)
{
    if (number < 1 || number > 255)
        return false;
    number_ = number;
    return true;
}

std::string QtSerialPort::portName() const
{
    return device_.empty() ? DefaultDeviceOfPort(number_) : device_;
}

void QtSerialPort::applySettings()
{
    port_.setBaudRate(settings_.bitsPerSecond);
    port_.setParity(QtParity(settings_.parity));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
    port_.setStopBits(QtStopBits(settings_.stopBits));
    port_.setFlowControl(xonXoff_ ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl);
}

bool QtSerialPort::open()
{
    Busy busy(blocking_);
    if (port_.isOpen())
        port_.close();
    port_.setPortName(QString::fromStdString(portName()));
    applySettings();
    if (!port_.open(QIODevice::ReadWrite)) {
        openError_ = describeOpenFailure();
        port_.clearError();
        return false;
    }
    // Settings made before open() reach the device only now.
    applySettings();
    openError_.clear();
    lossQueued_ = false;
    ++openings_;
    deviceCheck_.start();
    return true;
}

std::string QtSerialPort::describeOpenFailure() const
{
    const std::string name = portName();
    switch (port_.error()) {
    case QSerialPort::PermissionError:
        return name + " is in use by another program, or you may not open it: add your user to the dialout "
                      "group (sudo usermod -aG dialout $USER) and log in again";
    case QSerialPort::DeviceNotFoundError: {
        std::string known;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            known += (known.empty() ? "" : ", ") + info.systemLocation().toStdString();
        return name + " does not exist: is the board plugged in? Serial devices now: " +
               (known.empty() ? std::string("none") : known);
    }
    default:
        return name + ": " + port_.errorString().toStdString();
    }
}

void QtSerialPort::close()
{
    deviceCheck_.stop();
    // What arrived before the close is the board's, even when it has just
    // hung up: it goes to the receive path, not away with the port.
    if (gather_.isActive()) {
        gather_.stop();
        deliver();
    }
    setDirectReads(false);
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

void QtSerialPort::write(std::string_view bytes)
{
    if (!port_.isOpen())
        return;
    Busy busy(blocking_);
    port_.write(bytes.data(), qint64(bytes.size()));
    const QDeadlineTimer deadline(kWriteWaitMs);
    while (port_.isOpen() && port_.bytesToWrite() > 0 && !deadline.hasExpired())
        port_.waitForBytesWritten(int(deadline.remainingTime()));
}

std::string QtSerialPort::readAll()
{
    if (!port_.isOpen())
        return {};
    Busy busy(blocking_);
    // Bytes reach Qt's buffer only inside a waitFor call or the event loop.
    while (port_.isOpen() && port_.waitForReadyRead(0)) {
    }
    const QByteArray data = port_.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

void QtSerialPort::clearInput()
{
    if (!port_.isOpen())
        return;
    Busy busy(blocking_);
    while (port_.isOpen() && port_.waitForReadyRead(0)) {
    }
    port_.clear(QSerialPort::Input);
}

void QtSerialPort::setDirectReads(bool on)
{
#ifndef _WIN32
    if (on == directReads_)
        return;
    directReads_ = on;
    // A full buffer of one byte stops Qt's own reading until the next
    // readAll(): Qt then only tells that something arrived.
    port_.setReadBufferSize(on ? 1 : 0);
#else
    (void)on;
#endif
}

void QtSerialPort::setRThreshold(int characters)
{
    threshold_ = characters;
    setDirectReads(threshold_ > 0 && port_.isOpen());
    // Bytes already in Qt's buffer are not announced again: look once.
    if (threshold_ > 0 && !deliveryQueued_) {
        deliveryQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            deliveryQueued_ = false;
            deliver();
        });
    }
}

void QtSerialPort::deliver()
{
    if (threshold_ <= 0 || !port_.isOpen())
        return;
    // Qt's buffer holds the older bytes, the device the newer ones.
    QByteArray data = port_.readAll();
    const bool alive = !directReads_ || drainDevice(data);
    if (!data.isEmpty() && comm_)
        comm_(comEvReceive, std::string_view(data.constData(), std::size_t(data.size())));
    if (!alive)
        lose("the board hung up or was unplugged");
}

bool QtSerialPort::drainDevice(QByteArray& into)
{
#ifndef _WIN32
    const int fd = int(port_.handle());
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            into.append(chunk, qsizetype(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // A line set to return at once reads 0 bytes when nothing waits,
        // so only an error tells a hang-up here; the rest shows in poll().
        return got == 0 || errno == EAGAIN || errno == EWOULDBLOCK;
    }
#else
    (void)into;
    return true;
#endif
}

bool QtSerialPort::hungUp() const
{
#ifndef _WIN32
    pollfd watched{int(port_.handle()), POLLIN, 0};
    return ::poll(&watched, 1, 0) < 0 || (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return true;
#endif
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ReadError:
        // Reading the device directly, Qt can be told that bytes are there
        // which the last drain already took: it reports that as a read
        // error. The drain itself sees a real hang-up.
        if (directReads_ && !hungUp()) {
            port_.clearError();
            return;
        }
        [[fallthrough]];
    case QSerialPort::ResourceError:
        // Qt 6.4 reports a hang-up with a stale errno ("Inappropriate ioctl
        // for device"), which would only mislead.
        lose("the board hung up or was unplugged");
        return;
    default:
        lose(port_.errorString().toStdString());
    }
}

void QtSerialPort::checkDevice()
{
#ifndef _WIN32
    if (port_.isOpen() && !QFileInfo::exists(QString::fromStdString(portName())))
        lose("the device is gone");
#endif
}

void QtSerialPort::lose(const std::string& reason)
{
    if (!port_.isOpen())
        return;
    // Several errors arrive for one hang-up; the first is enough. The port
    // is closed from the event loop, not inside Qt's error signal.
    if (lossQueued_)
        return;
    lossQueued_ = true;
    QTimer::singleShot(0, this, [this, reason, opening = openings_] {
        if (!port_.isOpen() || opening != openings_)
            return;
        close();
        if (loss_)
            loss_(reason);
    });
}

} // namespace telvorn
