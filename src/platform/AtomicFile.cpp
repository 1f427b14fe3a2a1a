#include "platform/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace telvorn {

namespace {

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename itself lives in the folder's entry list, which needs its own sync.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A temporary is the target's name, this mark and the six characters
// mkostemp puts in place of its X: a name no user gives a file of their own.
constexpr char kTemporaryMark[] = ".tmp-";
constexpr std::size_t kTemporaryRandom = 6;

// A process killed between writing its temporary file and renaming it
// leaves the file behind, and repeated crashes would pile them up. A writer
// that is still alive finishes within moments, so only temporaries older
// than that are taken as abandoned.
void RemoveAbandonedTemporaries(const std::filesystem::path& target)
{
    constexpr auto kAbandonedAfter = std::chrono::minutes(10);
    const std::string prefix = target.filename().string() + kTemporaryMark;
    std::error_code error;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (std::filesystem::directory_iterator entries(target.parent_path(), error), end; !error && entries != end;
         entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.size() != prefix.size() + kTemporaryRandom || !name.starts_with(prefix))
            continue;
        std::error_code ignored;
        if (!entries->is_regular_file(ignored))
            continue;
        const auto written = entries->last_write_time(ignored);
        if (!ignored && now - written > kAbandonedAfter)
            std::filesystem::remove(entries->path(), ignored);
    }
}

} // namespace

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view contents,
    const BeforeReplaceHook& beforeReplace)
{
    std::string pattern = target.string() + kTemporaryMark + std::string(kTemporaryRandom, 'X');
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::filesystem::path temporary(pattern);

    struct stat existing { };
    bool ok = true;
    if (::stat(target.c_str(), &existing) == 0)
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, contents) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && beforeReplace && !beforeReplace(temporary))
        return false;
    if (ok)
        ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    RemoveAbandonedTemporaries(target);
    return true;
}

} // namespace telvorn
