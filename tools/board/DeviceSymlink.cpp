#include "DeviceSymlink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace telvorn::board {

DeviceSymlink::DeviceSymlink(std::string path) : path_(std::move(path)) {}

DeviceSymlink::~DeviceSymlink()
{
    remove();
}

void DeviceSymlink::pointAt(const std::string& target)
{
    if (path_.empty())
        return;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
        throw std::runtime_error(path_ + " exists and is not a symbolic link: choose another --symlink name");
    // Link under a temporary name, then rename over the old link, so the name
    // never dangles half-made.
    const std::string temporary = path_ + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        const std::string message = "cannot make " + path_ + " point at " + target + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        throw std::runtime_error(message);
    }
}

void DeviceSymlink::remove()
{
    if (path_.empty())
        return;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        ::unlink(path_.c_str());
}

} // namespace telvorn::board
