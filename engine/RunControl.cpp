#include "engine/RunControl.h"

#include <condition_variable>
#include <list>
#include <mutex>

std::atomic<int> g_breakAll{0};
std::atomic<int> g_pause{0};
std::atomic<int> g_terminateProject{0};

namespace {

struct Control {
    std::mutex mutex;
    std::condition_variable wake;
    std::list<const std::function<void()>*> inFlight;
};

Control& TheControl()
{
    static Control control;
    return control;
}

} // namespace

void BreakAll()
{
    Control& control = TheControl();
    std::lock_guard lock(control.mutex);
    g_breakAll = 1;
    for (const auto* cancel : control.inFlight)
        (*cancel)();
    control.wake.notify_all();
}

void ResetBreak()
{
    Control& control = TheControl();
    std::lock_guard lock(control.mutex);
    g_breakAll = 0;
}

bool SleepUntil(std::chrono::steady_clock::time_point deadline)
{
    Control& control = TheControl();
    std::unique_lock lock(control.mutex);
    return !control.wake.wait_until(lock, deadline, [] { return g_breakAll.load() != 0; });
}

CancelScope::CancelScope(std::function<void()> cancel) : cancel_(std::move(cancel))
{
    Control& control = TheControl();
    std::lock_guard lock(control.mutex);
    control.inFlight.push_back(&cancel_);
    if (g_breakAll != 0)
        cancel_();
}

CancelScope::~CancelScope()
{
    Control& control = TheControl();
    std::lock_guard lock(control.mutex);
    control.inFlight.remove(&cancel_);
}
