#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread that calls a function at once and then once a second until it is stopped: the writers
// of files that show a run while it lasts (the metrics file, the status snapshot).
class SecondTicker {
public:
    SecondTicker() = default;
    ~SecondTicker() { Stop(); }
    SecondTicker(const SecondTicker&) = delete;
    SecondTicker& operator=(const SecondTicker&) = delete;

    // Nothing happens when the thread already runs.
    void Start(std::function<void()> tick);
    // Ends the thread promptly, after the call in progress. True when it was running, so that the
    // caller knows to write a last time. Safe to call more than once.
    bool Stop();
    bool Running() const { return thread_.joinable(); }

private:
    std::function<void()> tick_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false; // guarded by mutex_
    std::thread thread_;
};
