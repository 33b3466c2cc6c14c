#pragma once

#include "model/FailureStreak.h"

#include <cstdint>

// What another thread may read of an event while it runs (the status snapshot): what it is doing
// now, and a copy of its failures and problem state taken at the end of each execution. The
// worker thread writes it and readers read it, both under the runner's lock.
struct EventLive {
    enum class State { kIdle, kStarting, kWaiting, kExecuting, kPaused, kCompleted, kCancelled };

    State state = State::kIdle; // kIdle: the event does not take part in the run
    int64_t sinceMs = 0;        // Unix ms when the state began
    int64_t untilMs = 0;        // kWaiting: Unix ms when the wait ends; 0 when not known
    FailureStreak checkFailure;
    FailureStreak actionFailure;
    bool problemOpen = false;   // an event that acts on changes: its condition holds
    int64_t problemSinceMs = 0; // when the latest problem opened; 0 never in this run
};
