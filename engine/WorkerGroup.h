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
    // Sleeps until all threads have ended or `giveUp` holds, which it looks at every `poll`.
    void WaitAllOr(const std::function<bool()>& giveUp, std::chrono::milliseconds poll);
    // Lets the threads go on without the group, which must then never be destroyed (see
    // RunProject). Returns how many were still running.
    size_t Abandon();
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
