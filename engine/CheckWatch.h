#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

struct Iteration;
class Quorvel;

// Times one check of an event. At the event's timeout (its iTimeout, else the project's
// CheckTimeout) the check is stopped through the stop function it has lent; a check without a
// timeout that runs longer than a minute (or its interval, when that is longer) is named once on
// standard error and in the program log. One thread serves every check of the process, so a check
// costs no thread of its own.
class CheckWatch {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the watch of a check of `event` that begins now.
    explicit CheckWatch(const Quorvel& event);
    ~CheckWatch();
    CheckWatch(const CheckWatch&) = delete;
    CheckWatch& operator=(const CheckWatch&) = delete;

    // While it lives, the timeout stops the check with `stop` (thread-safe). A timeout that has
    // already passed calls it at once. `stop` runs on a thread of its own, so a driver whose cancel
    // hangs holds up neither the watcher nor other checks; the Stopper's end waits for it.
    class Stopper {
    public:
        Stopper(CheckWatch& watch, std::function<void()> stop);
        ~Stopper();
        Stopper(const Stopper&) = delete;
        Stopper& operator=(const Stopper&) = delete;

    private:
        CheckWatch& watch_;
        std::function<void()> stop_;
    };

    // The timeout in seconds; 0 when the check has none.
    int TimeoutSeconds() const { return timeoutS_; }
    bool TimedOut() const { return timedOut_.load(); }
    // When the check timed out: marks the iteration as failed by the timeout, with its reason, and
    // writes the reason to the program log. True when it timed out.
    bool Settle(Iteration& it) const;

    // Seconds the check of `event` now in progress has run; 0 when none is.
    static double RunningSeconds(const Quorvel* event);
    // The event's timeout in seconds (0: none).
    static int TimeoutOf(const Quorvel& event);

private:
    struct Watcher;
    void Fire(Clock::time_point now, std::string* notice);
    void StartStop();
    Clock::time_point Due() const;
    std::string NoticeText() const;

    const Quorvel& event_;
    const Clock::time_point start_;
    const int timeoutS_;
    const Clock::time_point noticeAt_;
    std::atomic<bool> timedOut_{false};
    // Guarded by the watcher's lock.
    bool noticed_ = false;
    const std::function<void()>* stop_ = nullptr;
    bool stopping_ = false; // stop_ is being called
};
