#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "external/counters/CounterSource.h"

// Status codes of the counter source. They keep the values of the platform's performance-counter
// interface so that log lines read the same everywhere.
constexpr uint32_t PDH_CSTATUS_NO_MACHINE = 0x800007D0; // machine cannot be reached
constexpr uint32_t PDH_CSTATUS_NO_INSTANCE = 0x800007D1; // instance (processor, mount point, interface) not found
constexpr uint32_t PDH_CSTATUS_NO_OBJECT = 0xC0000BB8; // object not found
constexpr uint32_t PDH_CSTATUS_NO_COUNTER = 0xC0000BB9; // counter not found
constexpr uint32_t PDH_INVALID_DATA = 0xC0000BBA; // data not valid (first sample of a rate counter)
constexpr uint32_t PDH_INVALID_HANDLE = 0xC0000BBC;
constexpr uint32_t PDH_INVALID_ARGUMENT = 0xC0000BBD;

// The full path of an event's counter: when machine is longer than two characters and does not
// begin with two backslashes, "\\" + machine; otherwise machine as written; then perfCounter.
std::string CounterFullPath(const std::string& machine, const std::string& perfCounter);

// One counter of the local machine (a path without machine) or of a remote machine's
// node_exporter ("\\host" or "\\host:port"). docs/counters.md lists the counters.
// One per counter event, used by that event's thread only; Cancel may come from any thread.
class CounterQuery {
public:
    static uint32_t Open(std::unique_ptr<CounterQuery>* query);

    // A query holds one counter: a second AddCounter without RemoveCounter is PDH_INVALID_ARGUMENT.
    // A malformed path is PDH_INVALID_ARGUMENT; an unknown object, counter or (local) instance is
    // PDH_CSTATUS_NO_OBJECT, PDH_CSTATUS_NO_COUNTER or PDH_CSTATUS_NO_INSTANCE.
    uint32_t AddCounter(const std::string& fullPath);

    // Takes one sample. PDH_INVALID_HANDLE without a counter; for a remote machine
    // PDH_CSTATUS_NO_MACHINE when it cannot be read (unreachable, HTTP error, malformed body,
    // cancelled) and PDH_CSTATUS_NO_COUNTER / PDH_CSTATUS_NO_INSTANCE when its exporter does not
    // publish what the counter needs.
    uint32_t Collect();

    // The value of the last collection, rounded to a 32-bit integer. cstatus is 0 for a valid value
    // and PDH_INVALID_DATA otherwise: before the second good sample of a rate counter, after a
    // failed collection, or when the counter went backwards (a restarted exporter).
    uint32_t GetFormattedValue(int32_t* value, uint32_t* cstatus);

    void RemoveCounter();

    // Makes a Collect that waits on the network return within a fraction of a second. Final: the
    // query is being given up, so every later remote Collect fails at once as well.
    void Cancel();

private:
    CounterQuery() = default;

    std::optional<double> Value() const;

    std::atomic<bool> cancelled_ { false };
    std::unique_ptr<CounterSource> source_;
    ResolvedCounter counter_;
    // The last good sample, and the good one before it, which a rate counter's value needs.
    // A failed collection keeps them, so the next good one gives the rate over the whole gap.
    std::optional<RawSample> latest_;
    std::optional<RawSample> before_;
    bool lastFailed_ = false;
};
