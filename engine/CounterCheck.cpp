// The performance counter check: a query opened when the event's thread starts, sampled once per
// iteration, closed when the thread ends.
#include "engine/CheckWatch.h"
#include "engine/Checks.h"
#include "engine/Iteration.h"
#include "engine/RunControl.h"
#include "external/counters/CounterQuery.h"
#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

namespace {

// Reads the collected value into the event's counterValue; a bad reading keeps the previous one.
void UpdatePerfCounterValue(Quorvel& event)
{
    int32_t reading = 0;
    uint32_t validity = 0;
    const uint32_t status = event.pdhQuery->GetFormattedValue(&reading, &validity);
    if (status != 0)
        CLog::Bug(StrFormat("Get Counter Value Error 0x%08X", status), "UpdatePerfCounterValue");
    else if (validity != 0)
        CLog::Bug(StrFormat("Value Has Bad Status 0x%08X", validity), "UpdatePerfCounterValue");
    else
        event.counterValue = static_cast<uint32_t>(reading);
}

// One sample; true when it was taken.
bool CollectSample(Quorvel& event, CheckWatch& watch)
{
    if (!event.pdhQuery || !event.pdhCounter)
        return false;
    CounterQuery& query = *event.pdhQuery;
    uint32_t status = 0;
    {
        const auto stop = [&query] { query.Cancel(); };
        CancelScope cancellable(stop);
        CheckWatch::Stopper timed(watch, stop);
        status = query.Collect();
    }
    if (status == PDH_INVALID_HANDLE) {
        CLog::Bug("Invalid Handle passed to Collect Data", "PdhCollectQueryData");
        return false;
    }
    if (status != 0) {
        CLog::Bug(StrFormat("Collect Data Error 0x%08X", status), "PdhCollectQueryData");
        return false;
    }
    UpdatePerfCounterValue(event);
    return true;
}

} // namespace

void Quorvel::OpenPerfCounter()
{
    ClosePerfCounter();
    std::unique_ptr<CounterQuery> query;
    const uint32_t opened = CounterQuery::Open(&query);
    if (opened != 0) {
        CLog::Bug(StrFormat("Open Query Error, 0x%08X", opened), "Quorvel::FirstDelay");
        return;
    }
    pdhQuery = { query.release(), [](CounterQuery* open) { delete open; } };
    const std::string path = CounterFullPath(Machine, PerfCounter);
    const uint32_t added = pdhQuery->AddCounter(path);
    if (added != 0)
        CLog::Bug(StrFormat("Add Counter '%s' Error 0x%08X", path.c_str(), added), "Quorvel::FirstDelay");
    pdhCounter = added == 0;
}

void Quorvel::ClosePerfCounter()
{
    if (type != EVENT_COUNTER || !pdhQuery)
        return;
    if (pdhCounter)
        pdhQuery->RemoveCounter();
    pdhQuery.reset();
    pdhCounter = false;
}

void RunCounterCheck(Quorvel& event, Iteration& it)
{
    CheckWatch watch(event);
    it.checkOK = CollectSample(event, watch);
    if (watch.Settle(it)) {
        it.checkOK = false;
        // A stopped query is given up for good; the next iteration needs a new one.
        event.OpenPerfCounter();
    }
    if (it.checkOK)
        event.value = StrFormat("%u", event.counterValue);
    it.status = it.checkOK ? "OK" : "FAILED";
}
