#pragma once

#include <cstdint>
#include <string>

// The statistics of one execution of an event.
struct ExecRecord {
    std::string status; // "OK", "FAILED" or empty: the outcome of the check
    uint32_t totalTime = 0;  // ms, whole iteration
    uint32_t checkTime = 0;  // ms, the check
    uint32_t fetchTime = 0;  // ms, the fetch loop of an SQL check
    uint32_t actionTime = 0; // ms, from the end of the check to the end of the iteration
    int rows = 0;            // rows fetched
    bool actionRun = false;  // the condition held and the event has an action, which was run
    bool heldBack = false;   // the condition held, but the event acts on changes only
    std::string value{};     // the check's value ({}: initialisers that end at `rows` stay warning-free)
    int64_t endTime = 0;     // Unix seconds at the end of the execution
    int64_t endMs = 0;       // the same moment in Unix milliseconds, for the charts
};
