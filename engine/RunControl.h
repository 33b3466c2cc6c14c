#pragma once

#include <atomic>
#include <chrono>
#include <functional>

// The three process-wide flags by which the user and the events steer a run.
extern std::atomic<int> g_breakAll;         // set by Break all; cleared by Run
extern std::atomic<int> g_pause;            // toggled by the pause command; cleared by Run
extern std::atomic<int> g_terminateProject; // set by an action; cleared by Run

// Break all: sets g_breakAll, wakes every waiting event and cancels every statement or counter
// collection in flight. Safe to call from any thread (not from a signal handler).
void BreakAll();

// Clears the break flag before a run.
void ResetBreak();

// Sleeps until `deadline` or until Break all, whichever comes first. Returns true when the
// deadline was reached, false on a break.
bool SleepUntil(std::chrono::steady_clock::time_point deadline);

// While it lives, Break all calls `cancel` (which must be thread-safe). When a break is already
// under way at construction, `cancel` is called at once.
class CancelScope {
public:
    explicit CancelScope(std::function<void()> cancel);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    std::function<void()> cancel_;
};
