#include "external/support/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
    std::string temp = path + ".XXXXXX";
    const int raw = ::mkstemp(temp.data());
    if (raw < 0) {
        if (error != nullptr)
            *error = std::string("cannot create a file beside ") + path + ": " + std::strerror(errno);
        return -1;
    }
    FdCloser fd(raw);
    const bool ok = ::fchmod(raw, target) == 0 && WriteAll(raw, content) == 0 && ::fsync(raw) == 0;
    const int savedErrno = errno;
    if (!ok || ::close(fd.Release()) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = ok ? errno : savedErrno;
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
