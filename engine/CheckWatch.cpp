#include "engine/CheckWatch.h"

#include "engine/FailureNotice.h"

#include "engine/Iteration.h"
#include "external/support/CLog.h"
#include "external/support/Console.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// A check without a timeout is named when it has run this long (or its interval, when longer).
constexpr auto kLongCheck = std::chrono::seconds(60);

std::chrono::milliseconds NoticeAfter(const Quorvel& event)
{
    const int interval = event.intType == INTERVAL_WAIT ? Quorvel::ToMilliseconds(event.iInterval, event.intTimeType) : 0;
    return std::max<std::chrono::milliseconds>(kLongCheck, std::chrono::milliseconds(std::max(interval, 0)));
}

} // namespace

// The one thread that waits for the next due check. It starts with the first check and lives as
// long as the process; its wait costs nothing while no check is running.
struct CheckWatch::Watcher {
    std::mutex mutex;
    std::condition_variable changed;
    std::list<CheckWatch*> active;
    bool quitting = false;
    // When the thread wakes next. It never sleeps longer than kLongCheck, so a check that starts
    // while it sleeps is due no earlier than that unless it has a shorter timeout: only such a
    // check wakes the thread, and checks in quick succession cost no wake-up each.
    Clock::time_point plannedWake = Clock::time_point::min();
    std::thread thread;

    Watcher()
        : thread([this] { Loop(); })
    {
    }
    ~Watcher()
    {
        {
            std::lock_guard lock(mutex);
            quitting = true;
        }
        changed.notify_all();
        thread.join();
    }

    void Loop()
    {
        std::unique_lock lock(mutex);
        while (!quitting) {
            Clock::time_point next = Clock::now() + kLongCheck;
            for (const CheckWatch* watch : active)
                next = std::min(next, watch->Due());
            plannedWake = next;
            changed.wait_until(lock, next);
            std::vector<std::string> notices;
            const Clock::time_point now = Clock::now();
            for (CheckWatch* watch : active) {
                std::string notice;
                watch->Fire(now, &notice);
                if (!notice.empty())
                    notices.push_back(std::move(notice));
            }
            // Writing takes time: the checks that start or end meanwhile need not wait for it.
            lock.unlock();
            for (const std::string& notice : notices) {
                ConsoleError(notice + "\n");
                CLog::Bug(notice.substr(notice.find(' ') + 1), "Check"); // without "quorvel: "
            }
            lock.lock();
        }
    }

    static Watcher& The()
    {
        static Watcher watcher;
        return watcher;
    }
};

int CheckWatch::TimeoutOf(const Quorvel& event)
{
    if (event.iTimeout > 0)
        return event.iTimeout;
    return event.runner != nullptr ? std::max(event.runner->checkTimeout, 0) : 0;
}

CheckWatch::CheckWatch(const Quorvel& event)
    : event_(event)
    , start_(Clock::now())
    , timeoutS_(TimeoutOf(event))
    , noticeAt_(start_ + NoticeAfter(event))
    , noticed_(timeoutS_ > 0) // a check with a timeout gets its word when that is reached
{
    Watcher& watcher = Watcher::The();
    std::lock_guard lock(watcher.mutex);
    watcher.active.push_back(this);
    // The watcher sleeps until the earliest due check: a new one may be earlier.
    if (Due() < watcher.plannedWake)
        watcher.changed.notify_all();
}

CheckWatch::~CheckWatch()
{
    Watcher& watcher = Watcher::The();
    std::lock_guard lock(watcher.mutex);
    watcher.active.remove(this);
}

CheckWatch::Clock::time_point CheckWatch::Due() const
{
    Clock::time_point due = Clock::time_point::max();
    if (timeoutS_ > 0 && !timedOut_)
        due = start_ + std::chrono::seconds(timeoutS_);
    if (!noticed_)
        due = std::min(due, noticeAt_);
    return due;
}

// Under the watcher's lock.
void CheckWatch::Fire(Clock::time_point now, std::string* notice)
{
    if (timeoutS_ > 0 && !timedOut_ && now >= start_ + std::chrono::seconds(timeoutS_)) {
        timedOut_ = true;
        noticed_ = true; // the timeout itself is the word about it
        if (stop_ != nullptr)
            StartStop();
    }
    if (!noticed_ && now >= noticeAt_) {
        noticed_ = true;
        *notice = NoticeText();
    }
}

// The definition and the project's name do not change while a run lasts, so another thread may
// read them.
std::string CheckWatch::NoticeText() const
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(noticeAt_ - start_).count();
    return EventLinePrefix(event_) + StrFormat("still executing after %lld s", static_cast<long long>(seconds));
}

// Under the watcher's lock, with stop_ set. Only a timeout makes this thread, not every check.
void CheckWatch::StartStop()
{
    stopping_ = true;
    const std::function<void()>* stop = stop_;
    try {
        std::thread([this, stop] {
            (*stop)();
            Watcher& watcher = Watcher::The();
            std::lock_guard lock(watcher.mutex);
            stopping_ = false;
            watcher.changed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        stopping_ = false;
        (*stop)();
    }
}

bool CheckWatch::Settle(Iteration& it) const
{
    if (!timedOut_)
        return false;
    it.timedOut = true;
    it.checkOK = false;
    it.reason = StrFormat("timed out after %d s", timeoutS_);
    CLog::Bug(StrFormat("event \"%s\": check %s", event_.EventNote.c_str(), it.reason.c_str()), "Check timeout",
        "Quorvel", __LINE__);
    return true;
}

double CheckWatch::RunningSeconds(const Quorvel* event)
{
    Watcher& watcher = Watcher::The();
    std::lock_guard lock(watcher.mutex);
    for (const CheckWatch* watch : watcher.active) {
        if (&watch->event_ == event)
            return std::chrono::duration<double>(Clock::now() - watch->start_).count();
    }
    return 0;
}

CheckWatch::Stopper::Stopper(CheckWatch& watch, std::function<void()> stop)
    : watch_(watch)
    , stop_(std::move(stop))
{
    Watcher& watcher = Watcher::The();
    std::lock_guard lock(watcher.mutex);
    watch_.stop_ = &stop_;
    if (watch_.timedOut_)
        watch_.StartStop();
}

CheckWatch::Stopper::~Stopper()
{
    Watcher& watcher = Watcher::The();
    std::unique_lock lock(watcher.mutex);
    watcher.changed.wait(lock, [this] { return !watch_.stopping_; });
    watch_.stop_ = nullptr;
}
