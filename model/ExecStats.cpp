#include "model/ExecStats.h"

void ExecStats::Time::Add(uint32_t ms)
{
    sum += ms;
    if (ms > largest)
        largest = ms;
    if (ms < smallest)
        smallest = ms;
}

void ExecStats::Add(const ExecRecord& record)
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
    lastValue = record.value;
    lastTime = record.endTime;
    series.Add(record);
}
