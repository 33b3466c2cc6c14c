#include "CounterTestUtil.h"

#include "external/counters/ProcFiles.h"

#include <thread>
#include <unistd.h>

namespace {

// Instant counters give plausible values at once; rate counters from the second sample on.
TEST(LocalCounters, CountersGivePlausibleValues)
{
    const auto totalMb = static_cast<int32_t>(::sysconf(_SC_PHYS_PAGES) / (1024 * 1024 / ::sysconf(_SC_PAGESIZE)));
    ExpectPlausible("",
        {
            { "\\Memory\\Available MBytes", 1, totalMb },
            { "\\Memory\\Available KBytes", 1024, totalMb * 1024 },
            { "\\Memory\\% Committed Bytes In Use", 0, 10000 },
            { "\\System\\Processes", 2, 10000000 },
            { "\\System\\Threads", 2, 10000000 },
            { "\\System\\System Up Time", 1, INT32_MAX },
            { "\\LogicalDisk(/)\\Free Megabytes", 0, INT32_MAX },
            { "\\LogicalDisk(/)\\% Free Space", 0, 100 },
            { "\\Load Average\\1 Minute x100", 0, 100000 },
            { "\\Load Average\\5 Minutes x100", 0, 100000 },
            { "\\Load Average\\15 Minutes x100", 0, 100000 },
            { "\\Processor(_Total)\\% Processor Time", 0, 100, true },
            { "\\Processor(_Total)\\% Idle Time", 0, 100, true },
            { "\\Processor(_Total)\\% User Time", 0, 100, true },
            { "\\Processor(_Total)\\% Privileged Time", 0, 100, true },
            { "\\Processor(_Total)\\% Interrupt Time", 0, 100, true },
            { "\\Processor(0)\\% Processor Time", 0, 100, true },
            { "\\Processor(_Total)\\Interrupts/sec", 0, INT32_MAX, true },
            { "\\Processor(0)\\Interrupts/sec", 0, INT32_MAX, true },
            { "\\System\\Context Switches/sec", 1, INT32_MAX, true },
            { "\\Network Interface(lo)\\Bytes Total/sec", 0, INT32_MAX, true },
            { "\\Network Interface(lo)\\Bytes Received/sec", 0, INT32_MAX, true },
            { "\\Network Interface(lo)\\Bytes Sent/sec", 0, INT32_MAX, true },
        });
}

TEST(LocalCounters, BusyAndIdleTimeMakeTheWhole)
{
    const std::unique_ptr<CounterQuery> busy = OpenWith("\\Processor(_Total)\\% Processor Time");
    const std::unique_ptr<CounterQuery> idle = OpenWith("\\Processor(_Total)\\% Idle Time");
    busy->Collect();
    idle->Collect();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Reading busyReading = CollectAndRead(*busy);
    const Reading idleReading = CollectAndRead(*idle);
    ASSERT_EQ(busyReading.cstatus, 0u);
    ASSERT_EQ(idleReading.cstatus, 0u);
    EXPECT_NEAR(busyReading.value + idleReading.value, 100, 15); // read a moment apart
}

TEST(ProcFiles, ReadsTheLinesThatOtherParsersTripOver)
{
    // A large receive count runs into the colon; ERR and MIS rows have no per-processor columns.
    const std::string netDev = "Inter-|   Receive |  Transmit\n face |bytes packets|bytes packets\n"
                               "  eth0:4294967296 10 0 0 0 0 0 0 77 5 0 0 0 0 0 0\n";
    const std::optional<InterfaceBytes> eth0 = ParseNetDev(netDev, "eth0");
    ASSERT_TRUE(eth0);
    EXPECT_EQ(eth0->received, 4294967296.0);
    EXPECT_EQ(eth0->sent, 77);
    EXPECT_FALSE(ParseNetDev(netDev, "eth"));

    const std::string interrupts = "           CPU0       CPU2\n  0:  5  7  IO-APIC 2-edge timer\n"
                                   "NMI:  1  2  Non-maskable interrupts\nERR:  9\nMIS:  0\n";
    EXPECT_EQ(ParseInterruptsOfCpu(interrupts, 0), 6);
    EXPECT_EQ(ParseInterruptsOfCpu(interrupts, 2), 9);
    EXPECT_FALSE(ParseInterruptsOfCpu(interrupts, 1)) << "an offline processor has no column";

    EXPECT_FALSE(ParseCpuTimes("cpu0 1 2 3\n", "cpu0")) << "too few columns";
    EXPECT_FALSE(ParseCpuTimes("cpu10 1 2 3 4 5 6 7 8\n", "cpu1"));
    EXPECT_EQ(ParseMeminfoBytes("MemAvailable:   2 kB\n", "MemAvailable"), 2048);
    EXPECT_FALSE(ParseLoadavg("0.1 0.2 0.3\n"));
}

} // namespace
