#pragma once

#include "engine/UniqueFd.h"

#include <mutex>
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
class ChildReaper {
public:
    static ChildReaper& Instance();

    // Takes care of `pid`, a child that this process has just started.
    void Watch(pid_t pid);

    ~ChildReaper();
    ChildReaper(const ChildReaper&) = delete;
    ChildReaper& operator=(const ChildReaper&) = delete;

private:
    // A child without a pidfd (none could be opened, e.g. no descriptor left) is checked with a
    // non-blocking waitpid at every wake-up of the thread instead.
    struct Child {
        pid_t pid;
        UniqueFd pidfd;
    };

    ChildReaper();
    void Wake();
    void Run();
    bool FillPollSet(const std::vector<Child>& children, std::vector<pollfd>& fds) const;
    static void ReapEnded(std::vector<Child>& children, const std::vector<pollfd>& fds);
    bool TakeIncoming(std::vector<Child>& children);

    const pid_t owner_;
    UniqueFd wake_;
    std::mutex mutex_;
    std::vector<Child> incoming_; // guarded by mutex_
    bool stopping_ = false; // guarded by mutex_
    std::thread thread_;
};
