#include "external/support/LogFile.h"

#include "external/support/FileOps.h"
#include "external/support/UniqueFd.h"
#include "external/support/XdgPaths.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool NameHoldsFile(const std::string& path, int fd)
{
    struct stat held { };
    struct stat named { };
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev
        && named.st_ino == held.st_ino;
}

// Opens `path` and locks the file that the name holds. Writers hold a shared lock while they
// append and a rotation an exclusive one, so no entry goes into a file after it was moved aside:
// a writer that opened the file just before the move finds the name holding another file once it
// gets its lock, and opens that one.
UniqueFd OpenLocked(const std::string& path, int flags, int operation)
{
    for (;;) {
        UniqueFd fd(::open(path.c_str(), flags | O_CLOEXEC, 0644));
        if (!fd.Valid() && errno == ENOENT && (flags & O_CREAT) != 0) {
            MakeDirs(std::filesystem::path(path).parent_path().string());
            fd = UniqueFd(::open(path.c_str(), flags | O_CLOEXEC, 0644));
        }
        if (!fd.Valid() || LockFile(fd.Get(), operation) != 0)
            return {};
        if (NameHoldsFile(path, fd.Get()))
            return fd;
    }
}

off_t FileSize(int fd)
{
    struct stat st { };
    return ::fstat(fd, &st) == 0 ? st.st_size : 0;
}

// Called with the shared lock held. Trading it for the exclusive one lets another writer rotate
// first; then the name holds a new file and this one is left alone.
void RotateIfOver(const std::string& path, int fd, off_t maxBytes)
{
    if (LockFile(fd, LOCK_EX) != 0)
        return;
    if (FileSize(fd) > maxBytes && NameHoldsFile(path, fd))
        std::rename(path.c_str(), RotatedLogPath(path).c_str());
}

} // namespace

std::string RotatedLogPath(const std::string& path)
{
    return path + ".1";
}

int AppendLogEntry(const std::string& path, const std::string& entry, off_t maxBytes)
{
    const UniqueFd fd = OpenLocked(path, O_WRONLY | O_APPEND | O_CREAT, LOCK_SH);
    if (!fd.Valid())
        return -1;
    if (const int error = WriteAll(fd.Get(), entry); error != 0) {
        errno = error;
        return -1;
    }
    if (maxBytes > 0 && FileSize(fd.Get()) > maxBytes)
        RotateIfOver(path, fd.Get(), maxBytes);
    return 0;
}

int TruncateLogFile(const std::string& path)
{
    const UniqueFd fd = OpenLocked(path, O_WRONLY, LOCK_EX);
    if (!fd.Valid())
        return errno == ENOENT ? 0 : -1;
    return ::ftruncate(fd.Get(), 0) == 0 ? 0 : -1;
}
