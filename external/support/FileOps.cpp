#include "external/support/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

int WriteAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

mode_t TargetMode(const std::string& path, int mode)
{
    if (mode >= 0)
        return static_cast<mode_t>(mode);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    return 0644;
}

// Every save of `path` writes this one temporary file beside it. A save killed half-way leaves
// at most this file behind, and the next save takes it over; a new random name per save would
// leave one more file for every crash.
std::string TempName(const std::string& path)
{
    return path + ".tmp";
}

// Opens the temporary file `temp` and locks it against other savers of the same file, which
// would otherwise write into it at the same time. A saver that held the lock before us has
// renamed the file it locked into place; then the locked file is no longer `temp`, and the name is
// opened anew. The descriptor, or -1 with errno set.
int OpenLockedTemp(const std::string& temp)
{
    for (;;) {
        FdCloser fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.Get() < 0 || LockFile(fd.Get(), LOCK_EX) != 0)
            return -1;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd.Get(), &held) != 0)
            return -1;
        if (::lstat(temp.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            return fd.Release();
    }
}

} // namespace

int MoveFileNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without RENAME_NOREPLACE: link fails when the target exists.
    if (::link(from.c_str(), to.c_str()) != 0)
        return -1;
    return ::unlink(from.c_str()) == 0 ? 0 : -1;
}

int WriteFileAtomically(const std::string& path, const std::string& content, int mode, std::string* error)
{
    const mode_t target = TargetMode(path, mode);
    const std::string temp = TempName(path);
    FdCloser fd(OpenLockedTemp(temp));
    const bool ok = fd.Get() >= 0 && ::ftruncate(fd.Get(), 0) == 0 && ::fchmod(fd.Get(), target) == 0 &&
                    WriteAll(fd.Get(), content) == 0 && ::fsync(fd.Get()) == 0;
    // Renamed while still locked: a saver waiting for the lock then finds the name gone. The
    // lock goes with the descriptor; after fsync, closing it cannot lose what was written.
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        if (fd.Get() >= 0)
            ::unlink(temp.c_str());
        if (error != nullptr)
            *error = std::string("cannot write ") + path + ": " + std::strerror(reason);
        return -1;
    }
    return 0;
}

bool PathExists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

int LockFile(int fd, int operation)
{
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL))
        return 0;
    return result;
}
