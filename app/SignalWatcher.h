#pragma once

#include <atomic>
#include <functional>
#include <thread>

// Console mode: SIGINT and SIGTERM act as Break all. A stop signal within a second of the first is
// the same stop (tools such as `timeout` signal the process and then its whole group), so the run
// still ends normally; one later than that ends the process at once. SIGHUP calls `onHangup` (the
// output files are opened anew, for log rotation) and SIGUSR1 `onReport` (the summary of the run
// so far is written); the run goes on.
// Construct it before any worker thread exists, so that every thread inherits the blocked mask
// and the signals reach only the watcher.
class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void()> onHangup = {}, std::function<void()> onReport = {});
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

private:
    void Watch();

    const std::function<void()> onHangup_;
    const std::function<void()> onReport_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
