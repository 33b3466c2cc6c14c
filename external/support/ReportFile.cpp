#include "external/support/ReportFile.h"

#include "external/support/CLog.h"
#include "external/support/Console.h"
#include "external/support/FileOps.h"
#include "external/support/StrFormat.h"
#include "external/support/UniqueFd.h"
#include "external/support/Utf16.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kContext = "ReportFile";
constexpr char kByteOrderMark[] = "\xFF\xFE";

// Takes an exclusive flock on an open file; 0 or the error number. Every writer of these files
// takes it, in this process or another, so appends never interleave and a failed append can be cut
// off again before anyone adds after it. Closing the descriptor releases it: an unlock call of its
// own would cost every line one more system call. (A program being started at that moment holds a
// copy of the descriptor only until it closes every descriptor above 2, before its exec.)
int LockExclusive(int fd)
{
    int error = 0;
    do {
        error = ::flock(fd, LOCK_EX) == 0 ? 0 : errno;
    } while (error == EINTR);
    return error;
}

// Takes the last `written` bytes off a file after a failed append. The exclusive lock keeps every
// other writer out, so they are the ones this append left. Looking at the size only here keeps a
// system call off every line that is written whole.
void CutOff(int fd, size_t written)
{
    struct stat now { };
    if (written == 0 || ::fstat(fd, &now) != 0 || !S_ISREG(now.st_mode) || now.st_size < static_cast<off_t>(written))
        return;
    const int cut = ::ftruncate(fd, now.st_size - static_cast<off_t>(written));
    (void)cut; // when even this fails, the partial text stays: nothing more can be done
}

// Appends `bytes` to the file that exists at `path`; 0 or the error number (ENOENT when there is
// no such file). A failed or short write is cut off again, so readers never see half a line.
int AppendToExisting(const std::string& path, const std::string& bytes)
{
    const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd.Valid())
        return errno;
    if (const int locked = LockExclusive(fd.Get()); locked != 0)
        return locked;
    size_t written = 0;
    const int error = WriteAll(fd.Get(), bytes, &written);
    if (error != 0)
        CutOff(fd.Get(), written);
    return error;
}

// A name beside `path` that no other writer uses at the same time.
std::string PartName(const std::string& path)
{
    static std::atomic<unsigned> counter { 0 };
    return path + StrFormat(".%d-%u.part", static_cast<int>(::getpid()), counter++);
}

// Writes `content` to a new file beside `path` and moves it into place unless `path` exists by
// then. A lock on a file cannot cover the test of whether the file exists, so a new file appears
// whole, with its mark and header, or not at all: when two writers race to create it, one wins
// and the other gets EEXIST and appends to the winner's file. 0 or the error number.
int CreateWhole(const std::string& path, const std::string& content)
{
    std::string part = PartName(path);
    UniqueFd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd.Valid() && errno == EEXIST) { // left by a crashed process that had our pid
        part = PartName(path);
        fd = UniqueFd(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    }
    if (!fd.Valid())
        return errno == EEXIST ? EAGAIN : errno; // EEXIST means "path exists" to the caller
    size_t written = 0;
    int error = WriteAll(fd.Get(), content, &written);
    if (error == 0 && ::close(fd.Release()) != 0)
        error = errno;
    if (error == 0 && MoveFileNoReplace(part, path) != 0)
        error = errno;
    if (error != 0)
        ::unlink(part.c_str());
    return error;
}

// The text as the file holds it: UTF-16LE as it is, or UTF-8 with LF line ends; into `bytes`,
// whose room is kept from line to line.
void Encode(std::string& bytes, const std::string& text, ReportFile::Encoding encoding)
{
    bytes.clear();
    if (encoding == ReportFile::Encoding::Utf16Le) {
        AppendUtf16Le(bytes, text);
        return;
    }
    size_t from = 0;
    for (size_t at = 0; (at = text.find("\r\n", from)) != std::string::npos; from = at + 1)
        bytes.append(text, from, at - from); // the LF stays, the CR before it goes
    bytes.append(text, from);
}

std::string Encoded(const std::string& text, ReportFile::Encoding encoding)
{
    std::string bytes;
    Encode(bytes, text, encoding);
    return bytes;
}

// The encoding of the file at `path` when it exists and has a first byte; none otherwise.
std::optional<ReportFile::Encoding> EncodingOnDisk(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    unsigned char start[2] = {};
    const ssize_t n = fd.Valid() ? ::read(fd.Get(), start, sizeof start) : -1;
    if (n <= 0)
        return std::nullopt;
    return n == 2 && start[0] == 0xFF && start[1] == 0xFE ? ReportFile::Encoding::Utf16Le : ReportFile::Encoding::Utf8;
}

// 0 or the error number.
int AppendOrCreate(const std::string& path, const std::string& header, const std::string& text,
    ReportFile::Encoding encoding)
{
    thread_local std::string bytes;
    Encode(bytes, text, encoding);
    int error = AppendToExisting(path, bytes);
    if (error == ENOENT) {
        const char* mark = encoding == ReportFile::Encoding::Utf16Le ? kByteOrderMark : "";
        error = CreateWhole(path, mark + Encoded(header, encoding) + bytes);
        if (error == EEXIST) // another writer created it first
            error = AppendToExisting(path, bytes);
    }
    return error;
}

} // namespace

ReportFile::ReportFile(std::string kind)
    : kind_(std::move(kind))
{
}

void ReportFile::SetEncoding(Encoding encoding)
{
    std::lock_guard lock(mutex_);
    encoding_ = encoding;
    knownPath_.clear();
}

void ReportFile::Reopen()
{
    std::lock_guard lock(mutex_);
    knownPath_.clear();
}

// A file that exists keeps the encoding it has, so that changing the setting never mixes two in
// one file; a new or empty one gets the writer's.
ReportFile::Encoding ReportFile::EncodingOf(const std::string& path)
{
    std::lock_guard lock(mutex_);
    if (path != knownPath_) {
        knownEncoding_ = EncodingOnDisk(path).value_or(encoding_);
        knownPath_ = path;
    }
    return knownEncoding_;
}

int ReportFile::Append(const std::string& path, const std::string& header, const std::string& text, int* errorOut)
{
    // An empty name would make CreateWhole build its file in the current folder.
    const int error = path.empty() ? ENOENT : AppendOrCreate(path, header, text, EncodingOf(path));
    NoteOutcome(path, error);
    if (errorOut != nullptr)
        *errorOut = error;
    return error == 0 ? 0 : -1;
}

// One program-log entry when the writes begin to fail and one when they work again, not one per
// dropped line: an unwritable report would otherwise fill the program log at every iteration.
void ReportFile::NoteOutcome(const std::string& path, int error)
{
    if (streak_.Failing() == (error != 0)) // a line written like the one before: no lock
        return;
    std::lock_guard lock(mutex_); // the tellings of two threads in the order of their changes
    if (!streak_.Changed(error != 0))
        return;
    const std::string told = error != 0 ? StrFormat("cannot write the %s file %s: %s; lines are dropped until it works "
                                                  "again",
                                            kind_.c_str(), path.c_str(), std::strerror(error))
                                      : StrFormat("the %s file %s is written again", kind_.c_str(), path.c_str());
    CLog::Bug(told, kContext);
    ConsoleError("quorvel: " + told + "\n");
}

int ReportFile::EncodingNamed(const std::string& name, Encoding* encoding)
{
    std::string key = name;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (key == "UTF-8" || key == "UTF8")
        *encoding = Encoding::Utf8;
    else if (key == "UTF-16LE" || key == "UTF-16")
        *encoding = Encoding::Utf16Le;
    else
        return -1;
    return 0;
}
