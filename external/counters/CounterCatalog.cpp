#include "external/counters/CounterCatalog.h"

#include "external/counters/CounterQuery.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

enum class InstanceRule {
    None, // the object has no instances
    Processor, // "_Total" or a processor number
    Named, // any non-empty name: a mount point, an interface
};

struct CatalogEntry {
    std::string_view object;
    std::string_view counter;
    InstanceRule rule;
    CounterId id;
    bool isRate;
    double scale;
};

constexpr double kPercent = 100;
constexpr double kPerKiB = 1.0 / 1024;
constexpr double kPerMiB = 1.0 / (1024 * 1024);

// Names follow the platform's usual counter names where one exists, so that projects carry over.
constexpr CatalogEntry kCatalog[] = {
    { "Processor", "% Processor Time", InstanceRule::Processor, CounterId::ProcessorTime, true, kPercent },
    { "Processor", "% Idle Time", InstanceRule::Processor, CounterId::IdleTime, true, kPercent },
    { "Processor", "% User Time", InstanceRule::Processor, CounterId::UserTime, true, kPercent },
    { "Processor", "% Privileged Time", InstanceRule::Processor, CounterId::PrivilegedTime, true, kPercent },
    { "Processor", "% Interrupt Time", InstanceRule::Processor, CounterId::InterruptTime, true, kPercent },
    { "Processor", "Interrupts/sec", InstanceRule::Processor, CounterId::InterruptsPerSec, true, 1 },
    { "Memory", "Available KBytes", InstanceRule::None, CounterId::AvailableKBytes, false, kPerKiB },
    { "Memory", "Available MBytes", InstanceRule::None, CounterId::AvailableMBytes, false, kPerMiB },
    { "Memory", "% Committed Bytes In Use", InstanceRule::None, CounterId::CommittedBytesInUse, false, kPercent },
    { "System", "Processes", InstanceRule::None, CounterId::Processes, false, 1 },
    { "System", "Threads", InstanceRule::None, CounterId::Threads, false, 1 },
    { "System", "Context Switches/sec", InstanceRule::None, CounterId::ContextSwitchesPerSec, true, 1 },
    { "System", "System Up Time", InstanceRule::None, CounterId::SystemUpTime, false, 1 },
    { "LogicalDisk", "Free Megabytes", InstanceRule::Named, CounterId::FreeMegabytes, false, kPerMiB },
    { "LogicalDisk", "% Free Space", InstanceRule::Named, CounterId::FreeSpacePercent, false, kPercent },
    { "Network Interface", "Bytes Total/sec", InstanceRule::Named, CounterId::BytesTotalPerSec, true, 1 },
    { "Network Interface", "Bytes Received/sec", InstanceRule::Named, CounterId::BytesReceivedPerSec, true, 1 },
    { "Network Interface", "Bytes Sent/sec", InstanceRule::Named, CounterId::BytesSentPerSec, true, 1 },
    // An integer value would lose the fraction of a load average, hence hundredths.
    { "Load Average", "1 Minute x100", InstanceRule::None, CounterId::Load1, false, kPercent },
    { "Load Average", "5 Minutes x100", InstanceRule::None, CounterId::Load5, false, kPercent },
    { "Load Average", "15 Minutes x100", InstanceRule::None, CounterId::Load15, false, kPercent },
};

bool SameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsProcessorInstance(const std::string& instance)
{
    return instance == "_Total"
        || (!instance.empty() && instance.size() <= 6
            && std::all_of(instance.begin(), instance.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

bool InstanceFits(InstanceRule rule, const CounterPath& path)
{
    switch (rule) {
    case InstanceRule::None:
        return !path.hasInstance;
    case InstanceRule::Processor:
        return path.hasInstance && IsProcessorInstance(path.instance);
    case InstanceRule::Named:
        return path.hasInstance && !path.instance.empty();
    }
    return false;
}

} // namespace

uint32_t FindCounter(const CounterPath& path, ResolvedCounter* counter)
{
    bool objectKnown = false;
    for (const CatalogEntry& entry : kCatalog) {
        if (!SameName(entry.object, path.object))
            continue;
        objectKnown = true;
        if (!SameName(entry.counter, path.counter))
            continue;
        if (!InstanceFits(entry.rule, path))
            return PDH_CSTATUS_NO_INSTANCE;
        *counter = ResolvedCounter { entry.id, path.instance, entry.isRate, entry.scale };
        return 0;
    }
    return objectKnown ? PDH_CSTATUS_NO_COUNTER : PDH_CSTATUS_NO_OBJECT;
}

std::span<const std::string_view> CpuModesOf(CounterId id)
{
    static constexpr std::string_view busy[] = { "user", "nice", "system", "irq", "softirq", "steal" };
    static constexpr std::string_view idle[] = { "idle", "iowait" };
    static constexpr std::string_view user[] = { "user", "nice" };
    static constexpr std::string_view privileged[] = { "system", "irq", "softirq" };
    static constexpr std::string_view interrupt[] = { "irq", "softirq" };
    switch (id) {
    case CounterId::ProcessorTime:
        return busy;
    case CounterId::IdleTime:
        return idle;
    case CounterId::UserTime:
        return user;
    case CounterId::PrivilegedTime:
        return privileged;
    case CounterId::InterruptTime:
        return interrupt;
    default:
        return {};
    }
}
