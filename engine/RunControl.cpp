#include "engine/RunControl.h"

#include "external/support/UniqueFd.h"

#include <algorithm>
#include <cstdint>
#include <list>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>

std::atomic<int> g_breakAll{0};
std::atomic<int> g_pause{0};
std::atomic<int> g_terminateProject{0};

namespace {

struct Control {
    std::mutex mutex; // guards inFlight
    std::list<const std::function<void()>*> inFlight;
    // Readable from Break all until the next run. A waiting event sleeps in one poll() on it until
    // its deadline: waking from a condition variable that every event shared cost each wake-up a
    // second system call, to hand on the mutex that all of them had to take again.
    UniqueFd broken { ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) };
};

// Without an eventfd (descriptors used up at start) a sleep looks at the flag this often.
constexpr auto kBreakPoll = std::chrono::milliseconds(20);

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
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(control.broken.Get(), &one, sizeof one);
}

void ResetBreak()
{
    Control& control = TheControl();
    std::lock_guard lock(control.mutex);
    g_breakAll = 0;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(control.broken.Get(), &count, sizeof count);
}

bool SleepUntil(std::chrono::steady_clock::time_point deadline)
{
    const int broken = TheControl().broken.Get();
    for (;;) {
        // A break between this look and the poll leaves the eventfd readable: the poll returns.
        if (g_breakAll.load() != 0)
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return true;
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
        if (broken < 0)
            left = std::min<std::chrono::nanoseconds>(left, kBreakPoll);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout { static_cast<time_t>(seconds.count()), static_cast<long>((left - seconds).count()) };
        pollfd ready { broken, POLLIN, 0 };
        ::ppoll(&ready, broken < 0 ? 0 : 1, &timeout, nullptr);
    }
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
