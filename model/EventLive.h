#pragma once

#include "model/FailureStreak.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

// What another thread may read of an event while it runs (the status snapshot, the window): what
// it is doing now, the outcome of its latest execution, and a copy of its failures and problem
// state taken at the end of each execution. The worker thread writes it and readers read it, both
// under the runner's lock.
struct EventLive {
    enum class State { kIdle, kStarting, kWaiting, kExecuting, kPaused, kCompleted, kCancelled };
    // What the latest execution came to; kNone before the first one.
    enum class Outcome { kNone, kPassed, kActed, kHeldBack, kFailed };

    State state = State::kIdle; // kIdle: the event does not take part in the run
    int64_t sinceMs = 0;        // Unix ms when the state began
    int64_t untilMs = 0;        // kWaiting: Unix ms when the wait ends; 0 when not known
    Outcome outcome = Outcome::kNone;
    FailureStreak checkFailure;
    FailureStreak actionFailure;
    // Writing the event's lines to the execution report or the custom log (`outputWhat` says which
    // failed last); updated as the lines are written.
    FailureStreak outputFailure;
    std::string outputWhat;
    bool problemOpen = false;   // an event that acts on changes: its condition holds
    int64_t problemSinceMs = 0; // when the latest problem opened; 0 never in this run

    // The failure that holds now (the check's before the action's before the output's), with what
    // failed in *what; null when none holds.
    const FailureStreak* Failing(std::string* what) const
    {
        for (const auto& [streak, name] : Kinds()) {
            if (streak->failing()) {
                *what = name;
                return streak;
            }
        }
        return nullptr;
    }

    // The failure that happened last, holding or not, with what failed in *what; null when none
    // has failed in this run.
    const FailureStreak* Latest(std::string* what) const
    {
        const FailureStreak* latest = nullptr;
        for (const auto& [streak, name] : Kinds()) {
            if (streak->latestMs() > (latest != nullptr ? latest->latestMs() : 0)) {
                latest = streak;
                *what = name;
            }
        }
        return latest;
    }

private:
    std::array<std::pair<const FailureStreak*, const char*>, 3> Kinds() const
    {
        return { { { &checkFailure, "check" }, { &actionFailure, "action" }, { &outputFailure, outputWhat.c_str() } } };
    }
};
