#pragma once

#include <string>

namespace telvorn::board {

// A stable name for a device whose real path changes, as udev gives a USB
// serial adapter: it points at the current device, disappears while the
// device is unplugged, and goes away with its owner. It only ever replaces
// or removes a symbolic link, never another kind of file.
class DeviceSymlink {
public:
    explicit DeviceSymlink(std::string path); // empty: no link kept
    ~DeviceSymlink();
    DeviceSymlink(const DeviceSymlink&) = delete;
    DeviceSymlink& operator=(const DeviceSymlink&) = delete;

    // Throws std::runtime_error when the name is taken by something else.
    void pointAt(const std::string& target);
    void remove();

private:
    std::string path_;
};

} // namespace telvorn::board
