#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The counters both sources know; docs/counters.md says what each one measures.
enum class CounterId {
    ProcessorTime,
    IdleTime,
    UserTime,
    PrivilegedTime,
    InterruptTime,
    InterruptsPerSec,
    AvailableKBytes,
    AvailableMBytes,
    CommittedBytesInUse,
    Processes,
    Threads,
    ContextSwitchesPerSec,
    SystemUpTime,
    FreeMegabytes,
    FreeSpacePercent,
    BytesTotalPerSec,
    BytesReceivedPerSec,
    BytesSentPerSec,
    Load1,
    Load5,
    Load15,
};

// What AddCounter resolved a path to.
struct ResolvedCounter {
    CounterId id = CounterId::ProcessorTime;
    std::string instance; // "_Total" or a processor number, a mount point, an interface; empty when none
    bool isRate = false; // needs two samples: the value comes from the differences
    double scale = 1; // value = scale * numerator / denominator (of the differences for a rate)

    bool IsTotal() const { return instance == "_Total"; }
};

// One raw reading. Rate counters read monotonic totals, with the elapsed time (or, for processor
// percentages, the total processor time) as denominator, so that two readings give the rate.
struct RawSample {
    double numerator = 0;
    double denominator = 1;
};

// The time base of counts per second; steady, so clock changes do not disturb a rate.
inline double MonotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Where a query's samples come from: the local machine or a remote one.
class CounterSource {
public:
    virtual ~CounterSource() = default;

    // 0 when the source can serve the counter; a PDH status otherwise. Called once, at add.
    virtual uint32_t Check(const ResolvedCounter& counter) = 0;

    // One reading; 0 or a PDH status.
    virtual uint32_t Read(const ResolvedCounter& counter, RawSample* sample) = 0;
};
