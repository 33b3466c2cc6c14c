#include "engine/SecondTicker.h"

#include <chrono>

void SecondTicker::Start(std::function<void()> tick)
{
    if (thread_.joinable())
        return;
    tick_ = std::move(tick);
    stopping_ = false;
    thread_ = std::thread([this] {
        std::unique_lock guard(mutex_);
        while (!stopping_) {
            guard.unlock();
            tick_();
            guard.lock();
            wake_.wait_for(guard, std::chrono::seconds(1), [this] { return stopping_; });
        }
    });
}

bool SecondTicker::Stop()
{
    if (!thread_.joinable())
        return false;
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    return true;
}
