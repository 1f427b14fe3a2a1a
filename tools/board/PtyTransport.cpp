#include "PtyTransport.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace telvorn::board {

namespace {

std::string Failure(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

void MakeRaw(int fd, std::optional<double> bitsPerSecond)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return; // not a terminal (a FIFO in a test rig): nothing to set
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    if (bitsPerSecond) {
        const long rate = std::lround(*bitsPerSecond);
        const speed_t speed = rate == 115200 ? B115200 : rate == 1000000 ? B1000000 : rate == 9600 ? B9600 : B0;
        if (speed != B0) {
            cfsetispeed(&t, speed);
            cfsetospeed(&t, speed);
        }
    }
    if (tcsetattr(fd, TCSANOW, &t) != 0)
        throw std::runtime_error(Failure("cannot put the serial line in raw mode"));
}

} // namespace

PtyTransport::PtyTransport(int fd, int keepAliveFd, std::string path)
    : fd_(fd), keepAliveFd_(keepAliveFd), path_(std::move(path))
{
}

PtyTransport::~PtyTransport()
{
    if (keepAliveFd_ >= 0)
        ::close(keepAliveFd_);
    if (fd_ >= 0)
        ::close(fd_);
}

std::unique_ptr<PtyTransport> PtyTransport::OpenPseudoTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0)
        throw std::runtime_error(Failure("cannot open a pseudo-terminal (is /dev/ptmx available?)"));
    char name[256] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        const std::string message = Failure("cannot prepare the pseudo-terminal");
        ::close(master);
        throw std::runtime_error(message);
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        const std::string message = Failure(std::string("cannot open ") + name);
        ::close(master);
        throw std::runtime_error(message);
    }
    std::unique_ptr<PtyTransport> transport(new PtyTransport(master, slave, name));
    MakeRaw(slave, std::nullopt);
    return transport;
}

std::unique_ptr<PtyTransport> PtyTransport::OpenDevice(const std::string& path, std::optional<double> bitsPerSecond)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error(Failure("cannot open " + path) +
                                 (errno == EACCES ? " (add your user to the dialout group)" : ""));
    std::unique_ptr<PtyTransport> transport(new PtyTransport(fd, -1, path));
    MakeRaw(fd, bitsPerSecond);
    return transport;
}

std::size_t PtyTransport::read(char* buffer, std::size_t size)
{
    const ssize_t n = ::read(fd_, buffer, size);
    if (n > 0)
        return std::size_t(n);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    throw std::runtime_error(n == 0 ? "serial line closed" : Failure("serial line lost"));
}

std::size_t PtyTransport::write(std::string_view bytes)
{
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n >= 0)
        return std::size_t(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 0;
    throw std::runtime_error(Failure("serial line lost"));
}

} // namespace telvorn::board
