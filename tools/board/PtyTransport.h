#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace telvorn::board {

// The board's end of the serial line: the master side of a new
// pseudo-terminal whose slave side the host opens as its serial port, or an
// existing serial device. The line is put in raw mode, as a serial port
// carries bytes: no echo, no line editing, no CR/LF translation, and no
// XON/XOFF interception, since the host's flow-control bytes are commands
// the board must see. I/O is non-blocking.
class PtyTransport {
public:
    // Throws std::runtime_error saying what failed.
    static std::unique_ptr<PtyTransport> OpenPseudoTerminal();
    // The bit rate is applied when the device knows it; pseudo-terminals ignore it.
    static std::unique_ptr<PtyTransport> OpenDevice(const std::string& path, std::optional<double> bitsPerSecond);

    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    int fd() const { return fd_; }
    // The path the host opens.
    const std::string& path() const { return path_; }

    // Bytes moved, 0 when the line has nothing to give or no room now.
    // Throws std::runtime_error when the line is gone.
    std::size_t read(char* buffer, std::size_t size);
    std::size_t write(std::string_view bytes);

private:
    PtyTransport(int fd, int keepAliveFd, std::string path);

    int fd_ = -1;
    // The board keeps the slave side open itself, so the line survives the
    // host closing and reopening its port, as a real serial device does.
    int keepAliveFd_ = -1;
    std::string path_;
};

} // namespace telvorn::board
