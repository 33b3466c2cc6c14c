#pragma once

#include "external/counters/CounterPath.h"
#include "external/counters/CounterSource.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Resolves the object, counter and instance of a path to one of the known counters. 0, or
// PDH_CSTATUS_NO_OBJECT, PDH_CSTATUS_NO_COUNTER, or PDH_CSTATUS_NO_INSTANCE when the instance is
// missing, not allowed, or (for processors) neither "_Total" nor a number. Object and counter names
// compare without regard to case, instances exactly.
uint32_t FindCounter(const CounterPath& path, ResolvedCounter* counter);

// Processor time modes, in the column order of /proc/stat and named as node_exporter names them.
// Idle time includes waiting for I/O, as a processor waiting for I/O is free for other work.
constexpr std::array<std::string_view, 8> kCpuModes
    = { "user", "nice", "system", "idle", "iowait", "irq", "softirq", "steal" };

// The modes whose share of all processor time a processor percentage counter gives; empty for
// other counters.
std::span<const std::string_view> CpuModesOf(CounterId id);
