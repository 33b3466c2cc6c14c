#pragma once

#include "model/ExecRecord.h"
#include "model/RunSeries.h"

#include <cstdint>
#include <deque>
#include <string>

// What the summary report needs of an event's executions: counts, sums, largest and smallest.
// Kept instead of every record, so that an event may run forever without its memory growing.
class ExecStats {
public:
    struct Time {
        double sum = 0;
        uint32_t largest = 0;
        uint32_t smallest = 2147483647;

        void Add(uint32_t ms);
    };

    // `shown` is the execution as the status snapshot writes it (empty: written when asked).
    void Add(const ExecRecord& record, std::string shown = {});
    void Clear() { *this = ExecStats(); }

    int count = 0;  // executions
    int passed = 0; // executions whose status is "OK"
    Time total;
    Time check;
    Time fetch;
    Time action;
    double rowSum = 0;
    // What the metrics file shows of the latest execution.
    int actions = 0; // executions that ran their action
    int heldBack = 0; // executions whose condition held but whose action was held back
    uint32_t lastCheck = 0; // ms
    bool lastPassed = false; // the latest check passed
    std::string lastValue;   // of the latest check that passed
    int64_t lastTime = 0; // Unix seconds; 0 before the first execution
    RunSeries series;     // what the summary's charts draw

    // The latest executions, oldest first, for the status snapshot.
    struct Recent {
        int64_t endMs = 0;
        uint32_t checkMs = 0;
        bool passed = false;
        std::string status; // "OK", "FAILED" or empty
        std::string value;
        // Made once by whoever records the execution: the snapshot writes all of them each second.
        std::string shown;
    };
    // What the list keeps of an execution (without `shown`).
    static Recent RecentOf(const ExecRecord& record)
    {
        return { record.endMs, record.checkTime, record.status == "OK", record.status, record.value, {} };
    }
    static constexpr size_t kRecent = 60;
    std::deque<Recent> recent;

    int Failed() const { return count - passed; }
};
