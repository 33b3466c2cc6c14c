#include "engine/WorkerGroup.h"

#include <system_error>

WorkerGroup::~WorkerGroup()
{
    Open();
    JoinAll();
}

int WorkerGroup::Add(std::function<void()> body)
{
    try {
        threads_.emplace_back([this, body = std::move(body)] {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return open_; });
            }
            body();
            std::lock_guard lock(mutex_);
            ++ended_;
            changed_.notify_all();
        });
    } catch (const std::system_error&) {
        return -1;
    }
    return 0;
}

void WorkerGroup::Open()
{
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
}

bool WorkerGroup::WaitAll(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return ended_ == threads_.size(); });
}

void WorkerGroup::JoinAll()
{
    for (std::thread& thread : threads_) {
        if (thread.joinable())
            thread.join();
    }
}

void WorkerGroup::WaitAllOr(const std::function<bool()>& giveUp, std::chrono::milliseconds poll)
{
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, poll, [&] { return ended_ == threads_.size() || giveUp(); })) {
    }
}

size_t WorkerGroup::Abandon()
{
    std::lock_guard lock(mutex_);
    for (std::thread& thread : threads_) {
        if (thread.joinable())
            thread.detach();
    }
    return threads_.size() - ended_;
}
