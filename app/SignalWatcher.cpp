#include "app/SignalWatcher.h"

#include "engine/RunControl.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>

namespace {

sigset_t BreakSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

SignalWatcher::SignalWatcher()
{
    const sigset_t set = BreakSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([this] { Watch(); });
}

SignalWatcher::~SignalWatcher()
{
    stopping_ = true;
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
    const sigset_t set = BreakSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void SignalWatcher::Watch()
{
    const sigset_t set = BreakSignals();
    int received = 0;
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0 || stopping_)
            return;
        if (++received > 1)
            std::_Exit(128 + signal);
        std::fputs("quorvel: breaking the run; a second interrupt ends it at once\n", stderr);
        BreakAll();
    }
}
