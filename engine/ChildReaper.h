#pragma once

#include "external/support/UniqueFd.h"

#include <functional>
#include <mutex>
#include <string>
#include <poll.h>
#include <sys/types.h>
#include <thread>
#include <vector>

// Collects the exit status of the programs that the engine starts and never waits for, so that
// they do not stay behind as zombies. One thread for the whole process sleeps in poll() on a pidfd
// of every such child and on an eventfd that announces new ones; it reaps exactly the children it
// was given (by pidfd), never "any child", so children that other code waits for are left alone.
// The thread starts with the first child and is stopped and joined when the process ends.
//
// A process made by fork() inherits the object but not the thread: it must not call Watch.
//
// A child may come with the reading end of a pipe on its standard error: the thread reads it as
// the child writes (so that the child never blocks on a full pipe), keeps the first line, and
// closes it when the child has ended (a program it left behind that still holds the pipe is not
// waited for).
class ChildReaper {
public:
    // How a child ended.
    struct End {
        int status = -1; // its exit status, or -1 when a signal ended it
        int signal = 0; // the signal that ended it, or 0
        std::string firstErrorLine; // the first line of its standard error, at most kErrorLineBytes
    };
    static constexpr size_t kErrorLineBytes = 200;
    using OnEnd = std::function<void(const End&)>;

    static ChildReaper& Instance();

    // Takes care of `pid`, a child that this process has just started; `errors` (non-blocking,
    // may be empty) is its standard error. `onEnd` (may be empty) is called on the thread once
    // the child has ended (at once, with the end unknown, when the child cannot be watched); it
    // must not call Watch.
    void Watch(pid_t pid, UniqueFd errors = UniqueFd(), OnEnd onEnd = nullptr);

    ~ChildReaper();
    ChildReaper(const ChildReaper&) = delete;
    ChildReaper& operator=(const ChildReaper&) = delete;

private:
    // A child without a pidfd (none could be opened, e.g. no descriptor left) is checked with a
    // non-blocking waitpid at every wake-up of the thread instead.
    struct Child {
        pid_t pid;
        UniqueFd pidfd;
        UniqueFd errors;
        OnEnd onEnd;
        std::string errorLine; // the first line of `errors` so far
        bool lineDone = false; // a line end (or kErrorLineBytes) was read
    };

    ChildReaper();
    void Wake();
    void Run();
    bool FillPollSet(const std::vector<Child>& children, std::vector<pollfd>& fds) const;
    static void ReapEnded(std::vector<Child>& children, const std::vector<pollfd>& fds);
    static void ReadErrors(Child& child);
    bool TakeIncoming(std::vector<Child>& children);

    const pid_t owner_;
    UniqueFd wake_;
    std::mutex mutex_;
    std::vector<Child> incoming_; // guarded by mutex_
    bool stopping_ = false; // guarded by mutex_
    std::thread thread_;
};
