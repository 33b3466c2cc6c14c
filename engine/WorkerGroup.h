#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The worker threads of a run: created held, released together, waited for as a group.
class WorkerGroup {
public:
    WorkerGroup() = default;
    ~WorkerGroup();
    WorkerGroup(const WorkerGroup&) = delete;
    WorkerGroup& operator=(const WorkerGroup&) = delete;

    // Creates a thread that runs `body` once the group is opened. 0, or -1 when the system
    // could not create the thread.
    int Add(std::function<void()> body);
    // Releases every thread.
    void Open();
    // True when all threads have ended within `timeout`.
    bool WaitAll(std::chrono::milliseconds timeout);
    // Waits for every thread and releases it.
    void JoinAll();
    size_t Size() const { return threads_.size(); }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    size_t ended_ = 0;
    std::vector<std::thread> threads_;
};
