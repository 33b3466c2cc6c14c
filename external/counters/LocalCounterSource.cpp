#include "external/counters/LocalCounterSource.h"

#include "external/counters/CounterCatalog.h"
#include "external/counters/CounterQuery.h"
#include "external/counters/ParseNumber.h"
#include "external/counters/ProcFiles.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <memory>
#include <sys/statvfs.h>

namespace {

// A /proc file that cannot be read means the kernel does not offer the counter here.
constexpr uint32_t kUnreadable = PDH_CSTATUS_NO_COUNTER;

uint32_t Found(std::optional<double> value, RawSample* sample, uint32_t missing = PDH_CSTATUS_NO_INSTANCE)
{
    if (!value)
        return missing;
    sample->numerator = *value;
    return 0;
}

// A count per second: the total with the time it was read.
uint32_t FoundPerSecond(std::optional<double> total, RawSample* sample, uint32_t missing = PDH_CSTATUS_NO_INSTANCE)
{
    sample->denominator = MonotonicSeconds();
    return Found(total, sample, missing);
}

uint32_t ReadProcessorTime(const ResolvedCounter& counter, RawSample* sample)
{
    std::string stat;
    if (!ReadProcFile("/proc/stat", &stat))
        return kUnreadable;
    const std::optional<CpuTimes> times = ParseCpuTimes(stat, counter.IsTotal() ? "cpu" : "cpu" + counter.instance);
    if (!times)
        return PDH_CSTATUS_NO_INSTANCE;
    const std::span<const std::string_view> modes = CpuModesOf(counter.id);
    sample->numerator = 0;
    sample->denominator = 0;
    for (size_t i = 0; i < times->size(); ++i) {
        sample->denominator += (*times)[i];
        if (std::find(modes.begin(), modes.end(), kCpuModes[i]) != modes.end())
            sample->numerator += (*times)[i];
    }
    return 0;
}

uint32_t ReadStatPerSecond(std::string_view key, RawSample* sample)
{
    std::string stat;
    if (!ReadProcFile("/proc/stat", &stat))
        return kUnreadable;
    return FoundPerSecond(ParseStatValue(stat, key), sample, kUnreadable);
}

uint32_t ReadInterrupts(const ResolvedCounter& counter, RawSample* sample)
{
    if (counter.IsTotal())
        return ReadStatPerSecond("intr", sample);
    std::string text;
    if (!ReadProcFile("/proc/interrupts", &text))
        return kUnreadable;
    const std::optional<unsigned> cpu = ParseNumber<unsigned>(counter.instance);
    return FoundPerSecond(cpu ? ParseInterruptsOfCpu(text, *cpu) : std::nullopt, sample);
}

uint32_t ReadMemory(const ResolvedCounter& counter, RawSample* sample)
{
    std::string meminfo;
    if (!ReadProcFile("/proc/meminfo", &meminfo))
        return kUnreadable;
    if (counter.id != CounterId::CommittedBytesInUse)
        return Found(ParseMeminfoBytes(meminfo, "MemAvailable"), sample, kUnreadable);
    const std::optional<double> limit = ParseMeminfoBytes(meminfo, "CommitLimit");
    if (!limit)
        return kUnreadable;
    sample->denominator = *limit;
    return Found(ParseMeminfoBytes(meminfo, "Committed_AS"), sample, kUnreadable);
}

// Processes of this process's pid namespace: the numeric entries of /proc.
uint32_t ReadProcesses(RawSample* sample)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("/proc"), ::closedir);
    if (!dir)
        return kUnreadable;
    double count = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::isdigit(static_cast<unsigned char>(entry->d_name[0])) != 0)
            ++count;
    }
    sample->numerator = count;
    return 0;
}

uint32_t ReadLoad(const ResolvedCounter& counter, RawSample* sample)
{
    std::string text;
    if (!ReadProcFile("/proc/loadavg", &text))
        return kUnreadable;
    const std::optional<LoadAverage> load = ParseLoadavg(text);
    if (!load)
        return kUnreadable;
    switch (counter.id) {
    case CounterId::Load1:
        sample->numerator = load->load1;
        break;
    case CounterId::Load5:
        sample->numerator = load->load5;
        break;
    case CounterId::Load15:
        sample->numerator = load->load15;
        break;
    default: // Threads: the number of scheduling entities, after the slash
        sample->numerator = load->threads;
        break;
    }
    return 0;
}

uint32_t ReadUpTime(RawSample* sample)
{
    std::string text;
    if (!ReadProcFile("/proc/uptime", &text))
        return kUnreadable;
    return Found(ParseUptimeSeconds(text), sample, kUnreadable);
}

// Free space as an unprivileged user sees it, as the exporter's node_filesystem_avail_bytes.
uint32_t ReadFileSystem(const ResolvedCounter& counter, RawSample* sample)
{
    struct statvfs fs { };
    if (::statvfs(counter.instance.c_str(), &fs) != 0)
        return PDH_CSTATUS_NO_INSTANCE;
    const double blockSize = static_cast<double>(fs.f_frsize);
    sample->numerator = static_cast<double>(fs.f_bavail) * blockSize;
    if (counter.id == CounterId::FreeSpacePercent)
        sample->denominator = static_cast<double>(fs.f_blocks) * blockSize;
    return 0;
}

uint32_t ReadNetwork(const ResolvedCounter& counter, RawSample* sample)
{
    std::string text;
    if (!ReadProcFile("/proc/net/dev", &text))
        return kUnreadable;
    const std::optional<InterfaceBytes> bytes = ParseNetDev(text, counter.instance);
    if (!bytes)
        return PDH_CSTATUS_NO_INSTANCE;
    double total = bytes->received + bytes->sent;
    if (counter.id == CounterId::BytesReceivedPerSec)
        total = bytes->received;
    else if (counter.id == CounterId::BytesSentPerSec)
        total = bytes->sent;
    return FoundPerSecond(total, sample);
}

} // namespace

uint32_t LocalCounterSource::Check(const ResolvedCounter& counter)
{
    RawSample ignored;
    return Read(counter, &ignored);
}

uint32_t LocalCounterSource::Read(const ResolvedCounter& counter, RawSample* sample)
{
    *sample = RawSample {};
    switch (counter.id) {
    case CounterId::ProcessorTime:
    case CounterId::IdleTime:
    case CounterId::UserTime:
    case CounterId::PrivilegedTime:
    case CounterId::InterruptTime:
        return ReadProcessorTime(counter, sample);
    case CounterId::InterruptsPerSec:
        return ReadInterrupts(counter, sample);
    case CounterId::AvailableKBytes:
    case CounterId::AvailableMBytes:
    case CounterId::CommittedBytesInUse:
        return ReadMemory(counter, sample);
    case CounterId::Processes:
        return ReadProcesses(sample);
    case CounterId::Threads:
    case CounterId::Load1:
    case CounterId::Load5:
    case CounterId::Load15:
        return ReadLoad(counter, sample);
    case CounterId::ContextSwitchesPerSec:
        return ReadStatPerSecond("ctxt", sample);
    case CounterId::SystemUpTime:
        return ReadUpTime(sample);
    case CounterId::FreeMegabytes:
    case CounterId::FreeSpacePercent:
        return ReadFileSystem(counter, sample);
    case CounterId::BytesTotalPerSec:
    case CounterId::BytesReceivedPerSec:
    case CounterId::BytesSentPerSec:
        return ReadNetwork(counter, sample);
    }
    return PDH_CSTATUS_NO_COUNTER;
}
