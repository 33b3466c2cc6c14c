#include "engine/ChildReaper.h"

#include "external/support/CLog.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr const char* kContext = "ChildReaper";

// Children without a pidfd have no descriptor to wake the thread when they end; while there are
// any, the thread looks at them this often.
constexpr int kUnwatchedCheckMs = 1000;

// glibc 2.36 declares pidfd_open without C linkage for C++, so the call goes to the kernel directly.
int PidfdOpen(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

// True when the child is gone: reaped now (`end` says how it ended), or reaped by someone else
// before (`end` stays unknown: status -1, no signal).
bool Reap(pid_t pid, const UniqueFd& pidfd, ChildReaper::End* end)
{
    if (!pidfd.Valid()) {
        int status = 0;
        const pid_t reaped = ::waitpid(pid, &status, WNOHANG);
        if (reaped == pid && WIFEXITED(status))
            end->status = WEXITSTATUS(status);
        else if (reaped == pid && WIFSIGNALED(status))
            end->signal = WTERMSIG(status);
        return reaped != 0;
    }
    siginfo_t info {};
    if (::waitid(P_PIDFD, static_cast<id_t>(pidfd.Get()), &info, WEXITED | WNOHANG) != 0)
        return errno != EINTR;
    if (info.si_code == CLD_EXITED)
        end->status = info.si_status;
    else if (info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED)
        end->signal = info.si_status;
    return info.si_pid != 0;
}

// Reads of a child's standard error per wake-up: a program that writes without pause cannot keep
// the thread from its other children.
constexpr int kErrorReadsPerTurn = 16;

void DrainEventFd(int fd)
{
    uint64_t count = 0;
    const ssize_t got = ::read(fd, &count, sizeof count);
    (void)got; // nothing pending is as good as something read: the caller rechecks its lists
}

} // namespace

ChildReaper& ChildReaper::Instance()
{
    static ChildReaper reaper;
    return reaper;
}

ChildReaper::ChildReaper()
    : owner_(::getpid())
    , wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!wake_.Valid()) {
        CLog::Bug(std::string("finished programs cannot be reaped: eventfd: ") + std::strerror(errno), kContext);
        return;
    }
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& e) {
        CLog::Bug(std::string("finished programs cannot be reaped: ") + e.what(), kContext);
    }
}

ChildReaper::~ChildReaper()
{
    if (!thread_.joinable())
        return;
    if (::getpid() != owner_) {
        thread_.detach(); // a forked copy: the thread was never here
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    thread_.join();
}

void ChildReaper::Watch(pid_t pid, UniqueFd errors, OnEnd onEnd)
{
    // Without the thread (told in the program log when it could not be had), or for a child
    // already reaped elsewhere (SIGCHLD ignored), there is nothing to wait for: its end is not
    // known, but whoever waits for it must not wait for ever.
    UniqueFd pidfd(thread_.joinable() ? PidfdOpen(pid) : -1);
    if (!thread_.joinable() || (!pidfd.Valid() && errno == ESRCH)) {
        if (onEnd)
            onEnd(End {});
        return;
    }
    {
        std::lock_guard lock(mutex_);
        incoming_.push_back(Child { pid, std::move(pidfd), std::move(errors), std::move(onEnd), {}, false });
    }
    Wake();
}

void ChildReaper::Wake()
{
    const uint64_t one = 1;
    const ssize_t put = ::write(wake_.Get(), &one, sizeof one);
    (void)put; // only fails when the counter is already huge, i.e. the thread is awake anyway
}

// Moves newly announced children into the thread's own list. False once the process is ending.
bool ChildReaper::TakeIncoming(std::vector<Child>& children)
{
    std::lock_guard lock(mutex_);
    for (Child& child : incoming_)
        children.push_back(std::move(child));
    incoming_.clear();
    return !stopping_;
}

void ChildReaper::Run()
{
    std::vector<Child> children;
    std::vector<pollfd> fds;
    for (;;) {
        const bool unwatched = FillPollSet(children, fds);
        if (::poll(fds.data(), fds.size(), unwatched ? kUnwatchedCheckMs : -1) < 0 && errno != EINTR) {
            CLog::Bug(std::string("poll: ") + std::strerror(errno), kContext);
            ::poll(nullptr, 0, kUnwatchedCheckMs); // a pause rather than a busy loop
        }
        ReapEnded(children, fds);
        if (fds[0].revents != 0)
            DrainEventFd(wake_.Get());
        if (!TakeIncoming(children))
            return;
    }
}

// fds[0] is the wake-up descriptor, fds[2i + 1] the pidfd of children[i] and fds[2i + 2] its
// standard error (poll skips a negative one). True when some child has no pidfd.
bool ChildReaper::FillPollSet(const std::vector<Child>& children, std::vector<pollfd>& fds) const
{
    fds.assign(1, pollfd { wake_.Get(), POLLIN, 0 });
    bool unwatched = false;
    for (const Child& child : children) {
        fds.push_back(pollfd { child.pidfd.Get(), POLLIN, 0 });
        fds.push_back(pollfd { child.errors.Get(), POLLIN, 0 });
        unwatched = unwatched || !child.pidfd.Valid();
    }
    return unwatched;
}

// Keeps the children that still run; `fds` is the poll set made by FillPollSet. A child that has
// ended gives up its standard error (what it wrote before it ended is read first) and is told.
void ChildReaper::ReapEnded(std::vector<Child>& children, const std::vector<pollfd>& fds)
{
    std::vector<Child> running;
    for (size_t i = 0; i < children.size(); ++i) {
        Child& child = children[i];
        if (child.errors.Valid() && fds[2 * i + 2].revents != 0)
            ReadErrors(child);
        const bool mayHaveEnded = !child.pidfd.Valid() || fds[2 * i + 1].revents != 0;
        End end;
        if (!mayHaveEnded || !Reap(child.pid, child.pidfd, &end)) {
            running.push_back(std::move(child));
            continue;
        }
        if (child.errors.Valid())
            ReadErrors(child);
        child.errors = UniqueFd();
        child.pidfd = UniqueFd();
        if (child.onEnd) {
            end.firstErrorLine = std::move(child.errorLine);
            child.onEnd(end);
        }
    }
    children.swap(running);
}

// Reads what the child has written to its standard error so far, keeping the first line; closes
// the pipe at its end.
void ChildReaper::ReadErrors(Child& child)
{
    char buffer[4096];
    for (int turn = 0; turn < kErrorReadsPerTurn; ++turn) {
        const ssize_t got = ::read(child.errors.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0 || errno != EAGAIN)
                child.errors = UniqueFd();
            return;
        }
        for (ssize_t i = 0; i < got && !child.lineDone; ++i) {
            if (buffer[i] == '\n' || child.errorLine.size() == kErrorLineBytes)
                child.lineDone = true;
            else if (buffer[i] != '\r')
                child.errorLine += buffer[i];
        }
    }
}
