#include "receiver/LogFile.h"

namespace telvorn {

LogFile::~LogFile()
{
    close();
}

bool LogFile::open(const std::string& path)
{
    close();
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
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

void LogFile::flush()
{
    if (file_)
        std::fflush(file_);
}

} // namespace telvorn
