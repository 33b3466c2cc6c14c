#pragma once

#include <cstdint>
#include <string>

// The locals of one iteration of an event: the outcome of its check and the tick readings from
// which the execution record takes its durations.
struct Iteration {
    bool checkOK = false;
    int rows = 0;
    std::string status; // "OK", "FAILED", or empty when no check ran
    std::string actionText; // the statement of an SQL action as run
    bool actionRun = false; // the condition held and an action was run (successful or not)
    bool heldBack = false;  // the condition held, but the event acts on changes only
    std::string state;      // $STATE$ of the action: "PROBLEM", "REPEAT" or "RECOVERED"
    std::string reason;     // why the check failed, when it knows better than the program log's latest entry
                            // ("timed out after 5 s")
    bool timedOut = false;  // the check ran past its timeout and was stopped (not a stop of the run)
    uint32_t start = 0;
    uint32_t fetchStart = 0;
    uint32_t fetchEnd = 0;
    uint32_t afterCheck = 0;
    uint32_t end = 0;
};
