#pragma once

#include <atomic>
#include <thread>

// Console mode: SIGINT and SIGTERM act as Break all; a second one ends the process at once.
// Construct it before any worker thread exists, so that every thread inherits the blocked mask
// and the signals reach only the watcher.
class SignalWatcher {
public:
    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

private:
    void Watch();

    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
