#include "receiver/LogFile.h"

#include <cerrno>
#include <cstring>

namespace telvorn {

LogFile::~LogFile()
{
    close();
}

bool LogFile::open(const std::string& path)
{
    close();
    failure_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void LogFile::close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool LogFile::write(std::string_view bytes)
{
    if (!file_)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size())
        return true;
    failed();
    return false;
}

void LogFile::flush()
{
    if (file_ && std::fflush(file_) != 0)
        failed();
}

void LogFile::failed()
{
    if (failure_.empty())
        failure_ = errno != 0 ? std::strerror(errno) : "write failed";
}

} // namespace telvorn
