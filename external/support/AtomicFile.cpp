#include "external/support/AtomicFile.h"

#include "external/support/FileOps.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t TargetMode(const std::string& path, int mode)
{
    if (mode >= 0)
        return static_cast<mode_t>(mode);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    return 0644;
}

// Opens the temporary file `temp` and locks it against other writers of the same file, which
// would otherwise write into it at the same time. A writer that held the lock before us has
// renamed the file it locked into place; then the locked file is no longer `temp`, and the name is
// opened anew. The descriptor, or none with errno set.
UniqueFd OpenLockedTemp(const std::string& temp)
{
    for (;;) {
        UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.Valid())
            return fd;
        struct stat held {};
        struct stat named {};
        if (LockFile(fd.Get(), LOCK_EX) != 0 || ::fstat(fd.Get(), &held) != 0) {
            const int reason = errno;
            fd.Reset();
            errno = reason;
            return fd;
        }
        if (::lstat(temp.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            return fd;
    }
}

// Where a symbolic link at `path` points, or `path` itself.
std::string Resolved(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

} // namespace

AtomicFile::AtomicFile(std::string path, int mode, bool sync) : path_(std::move(path)), mode_(mode), sync_(sync) {}

AtomicFile::~AtomicFile()
{
    Abandon();
}

int AtomicFile::Open()
{
    Abandon();
    error_ = 0;
    target_ = Resolved(path_);
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        temp_.clear();
        fd_ = UniqueFd(::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        return fd_.Valid() ? 0 : Fail();
    }
    temp_ = target_ + ".tmp";
    fd_ = OpenLockedTemp(temp_);
    if (!fd_.Valid()) {
        temp_.clear(); // not ours to remove
        return Fail();
    }
    if (::ftruncate(fd_.Get(), 0) != 0 || ::fchmod(fd_.Get(), TargetMode(target_, mode_)) != 0)
        return Fail();
    return 0;
}

int AtomicFile::Write(std::string_view data)
{
    if (!fd_.Valid())
        return error_ != 0 ? -1 : (errno = EBADF, Fail());
    const int error = WriteAll(fd_.Get(), data);
    if (error == 0)
        return 0;
    errno = error;
    return Fail();
}

int AtomicFile::Commit()
{
    if (!fd_.Valid())
        return error_ != 0 ? -1 : (errno = EBADF, Fail());
    if (temp_.empty()) // in place: what the device or pipe took is gone either way
        return ::close(fd_.Release()) == 0 || errno == EINTR ? 0 : Fail();
    // Renamed while still locked: a writer waiting for the lock then finds the name gone. After
    // fsync, closing cannot lose what was written.
    if ((sync_ && ::fsync(fd_.Get()) != 0) || ::rename(temp_.c_str(), target_.c_str()) != 0)
        return Fail();
    temp_.clear();
    fd_.Reset();
    return 0;
}

int AtomicFile::Fail()
{
    if (error_ == 0)
        error_ = errno;
    Abandon();
    return -1;
}

void AtomicFile::Abandon()
{
    if (!fd_.Valid())
        return;
    if (!temp_.empty())
        ::unlink(temp_.c_str()); // still locked: no other writer is using it
    temp_.clear();
    fd_.Reset();
}
