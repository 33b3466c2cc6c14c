#include "external/support/FileOps.h"

#include "external/support/AtomicFile.h"
#include "external/support/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

int WriteFileAtomically(const std::string& path, const std::string& content, int mode, std::string* error, bool sync)
{
    AtomicFile file(path, mode, sync);
    if (file.Open() == 0 && file.Write(content) == 0 && file.Commit() == 0)
        return 0;
    if (error != nullptr)
        *error = std::string("cannot write ") + path + ": " + std::strerror(file.Error());
    errno = file.Error();
    return -1;
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

int WriteAll(int fd, std::string_view bytes, size_t* done)
{
    size_t written = 0;
    int error = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (done != nullptr)
        *done = written;
    return error;
}

int ReadWholeFile(const char* path, std::string* content)
{
    const UniqueFd fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd.Valid())
        return errno;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n > 0)
            content->append(buffer, static_cast<size_t>(n));
        else if (n == 0)
            return 0;
        else if (errno != EINTR)
            return errno;
    }
}
