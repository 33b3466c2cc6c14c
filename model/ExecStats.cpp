#include "model/ExecStats.h"

#include <utility>

void ExecStats::Time::Add(uint32_t ms)
{
    sum += ms;
    if (ms > largest)
        largest = ms;
    if (ms < smallest)
        smallest = ms;
}

void ExecStats::Add(const ExecRecord& record, std::string shown)
{
    ++count;
    if (record.status == "OK")
        ++passed;
    total.Add(record.totalTime);
    check.Add(record.checkTime);
    fetch.Add(record.fetchTime);
    action.Add(record.actionTime);
    rowSum += record.rows;
    if (record.actionRun)
        ++actions;
    if (record.heldBack)
        ++heldBack;
    lastCheck = record.checkTime;
    lastPassed = record.status == "OK";
    // A failed check has no value: the latest good one stays, so that an alert on it does not
    // resolve while the check fails.
    if (lastPassed)
        lastValue = record.value;
    lastTime = record.endTime;
    series.Add(record);
    if (recent.size() == kRecent)
        recent.pop_front();
    recent.push_back(RecentOf(record));
    recent.back().shown = std::move(shown);
}
