#include "app/SignalWatcher.h"

#include "engine/RunControl.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <pthread.h>

namespace {

// A stop signal this soon after the first belongs to it.
constexpr std::chrono::seconds kSameStop { 1 };

sigset_t WatchedSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGUSR1);
    return set;
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void()> onHangup, std::function<void()> onReport)
    : onHangup_(std::move(onHangup))
    , onReport_(std::move(onReport))
{
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([this] { Watch(); });
}

SignalWatcher::~SignalWatcher()
{
    stopping_ = true;
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void SignalWatcher::Watch()
{
    const sigset_t set = WatchedSignals();
    std::optional<std::chrono::steady_clock::time_point> firstStop;
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0 || stopping_)
            return;
        if (signal == SIGHUP || signal == SIGUSR1) {
            const std::function<void()>& call = signal == SIGHUP ? onHangup_ : onReport_;
            if (call)
                call();
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (firstStop && now - *firstStop < kSameStop)
            continue;
        if (firstStop)
            std::_Exit(128 + signal);
        firstStop = now;
        // The break first: the message may wait for a reader of standard error that does not read.
        BreakAll();
        std::fputs("quorvel: breaking the run; a second interrupt ends it at once\n", stderr);
    }
}
