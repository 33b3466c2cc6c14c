#pragma once

#include "external/counters/CounterCatalog.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Readers of the kernel's text files under /proc. Each takes a file's whole text; nullopt means
// the item is not in it (a processor that is offline, an interface that does not exist).

// Reads a whole /proc file; they report a size of 0, so this reads to the end. False on failure.
bool ReadProcFile(const char* path, std::string* text);

// The first columns of a "cpu" line of /proc/stat, in kernel units (ticks), in kCpuModes order.
using CpuTimes = std::array<double, kCpuModes.size()>;

// `cpu` is "cpu" for the sum of all processors or "cpu<N>".
std::optional<CpuTimes> ParseCpuTimes(std::string_view stat, std::string_view cpu);

// The first number after a key of /proc/stat ("intr", "ctxt").
std::optional<double> ParseStatValue(std::string_view stat, std::string_view key);

// A "Key:   123 kB" line of /proc/meminfo, in bytes.
std::optional<double> ParseMeminfoBytes(std::string_view meminfo, std::string_view key);

// The interrupts processor `cpu` has serviced: the sum of its column in /proc/interrupts.
std::optional<double> ParseInterruptsOfCpu(std::string_view interrupts, unsigned cpu);

struct InterfaceBytes {
    double received = 0;
    double sent = 0;
};
// The byte totals of one interface in /proc/net/dev.
std::optional<InterfaceBytes> ParseNetDev(std::string_view netDev, std::string_view interface);

// The first field of /proc/uptime: seconds since boot.
std::optional<double> ParseUptimeSeconds(std::string_view uptime);

// The fields of /proc/loadavg ("0.63 0.31 0.13 3/107 5455"); threads is the number after the slash.
struct LoadAverage {
    double load1 = 0;
    double load5 = 0;
    double load15 = 0;
    double threads = 0;
};
std::optional<LoadAverage> ParseLoadavg(std::string_view loadavg);
