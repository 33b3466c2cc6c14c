#include "CounterTestUtil.h"
#include "MetricsServer.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "support/TestEnv.h"
#include "support/TestServices.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kNodeLines = {
    "node_memory_MemAvailable_bytes 2.147483648e+09",
    "node_memory_Committed_AS_bytes 5e+08",
    "node_memory_CommitLimit_bytes 2e+09",
    "node_filesystem_avail_bytes{device=\"/dev/vda\",fstype=\"ext4\",mountpoint=\"/\"} 1.048576e+09",
    "node_filesystem_size_bytes{device=\"/dev/vda\",fstype=\"ext4\",mountpoint=\"/\"} 4.194304e+09",
    "node_filesystem_avail_bytes{device=\"tmpfs\",fstype=\"tmpfs\",mountpoint=\"/run\"} 0",
    "node_load1 0.34",
    "node_load5 1.26",
    "node_time_seconds 1.7e+09",
    "node_boot_time_seconds 1.6999e+09",
    "node_processes_pids 312",
};

// Processor seconds of cpu 0 and 1 in the modes idle and user, as node_exporter lists them.
std::string CpuPage(const std::array<double, 4>& idleUserIdleUser, double interrupts)
{
    std::vector<std::string> lines { StrFormat("node_intr_total %g", interrupts) };
    for (int i = 0; i < 4; ++i)
        lines.push_back(StrFormat(
            "node_cpu_seconds_total{cpu=\"%d\",mode=\"%s\"} %g", i / 2, i % 2 ? "user" : "idle", idleUserIdleUser[i]));
    return MetricsBody(lines);
}

TEST(RemoteCounters, ReadsExactValuesFromTheExporterPageAndTellsWhatItLacks)
{
    MetricsServer server({ { MetricsBody(kNodeLines) } });
    // Missing metrics are told from missing instances. Threads need the exporter's processes
    // collector, which this page (like a default exporter) lacks; it has no size of /run.
    const std::pair<const char*, Reading> expected[] = {
        { "\\Memory\\Available MBytes", { 0, 0, 2048 } },
        { "\\Memory\\Available KBytes", { 0, 0, 2097152 } },
        { "\\Memory\\% Committed Bytes In Use", { 0, 0, 25 } },
        { "\\LogicalDisk(/)\\Free Megabytes", { 0, 0, 1000 } },
        { "\\LogicalDisk(/)\\% Free Space", { 0, 0, 25 } },
        { "\\Load Average\\1 Minute x100", { 0, 0, 34 } },
        { "\\Load Average\\5 Minutes x100", { 0, 0, 126 } },
        { "\\System\\System Up Time", { 0, 0, 100000 } },
        { "\\System\\Processes", { 0, 0, 312 } },
        { "\\System\\Threads", { PDH_CSTATUS_NO_COUNTER, PDH_INVALID_DATA, 0 } },
        { "\\Network Interface(eth0)\\Bytes Total/sec", { PDH_CSTATUS_NO_COUNTER, PDH_INVALID_DATA, 0 } },
        { "\\LogicalDisk(/data)\\Free Megabytes", { PDH_CSTATUS_NO_INSTANCE, PDH_INVALID_DATA, 0 } },
        { "\\LogicalDisk(/run)\\% Free Space", { PDH_CSTATUS_NO_INSTANCE, PDH_INVALID_DATA, 0 } },
    };
    for (const auto& [counter, reading] : expected)
        EXPECT_EQ(CollectAndRead(*OpenWith(CounterFullPath(server.Machine(), counter))), reading) << counter;
}

// The first and the second reading of a counter from a server that changes its page in between.
Reading SecondReading(const std::string& counter, const std::string& firstPage, const std::string& secondPage)
{
    MetricsServer server({ { firstPage }, { secondPage } });
    const std::unique_ptr<CounterQuery> query = OpenWith(CounterFullPath(server.Machine(), counter));
    EXPECT_EQ(CollectAndRead(*query).cstatus, PDH_INVALID_DATA) << counter;
    return CollectAndRead(*query);
}

TEST(RemoteCounters, ComputesRatesBetweenTwoPages)
{
    // Between the pages cpu 0 was busy 100 of 150 seconds, cpu 1 idle throughout.
    const std::string first = CpuPage({ 100, 100, 100, 100 }, 1000);
    const std::string second = CpuPage({ 150, 200, 200, 100 }, 1000000);
    EXPECT_EQ(SecondReading("\\Processor(0)\\% Processor Time", first, second), (Reading { 0, 0, 67 }));
    EXPECT_EQ(SecondReading("\\Processor(_Total)\\% Idle Time", first, second).value, 60)
        << "150 of 250 seconds of both processors";
    const Reading interrupts = SecondReading("\\Processor(_Total)\\Interrupts/sec", first, second);
    EXPECT_EQ(interrupts.cstatus, 0u);
    EXPECT_GT(interrupts.value, 0);
    EXPECT_EQ(SecondReading("\\Processor(_Total)\\Interrupts/sec", second, first).cstatus, PDH_INVALID_DATA)
        << "a total that went back (a restarted exporter) gives no rate";
}

TEST(RemoteCounters, FailsOnErrorsAndLogsOncePerStreak)
{
    const std::string good = MetricsBody(kNodeLines);
    MetricsServer server({ { good }, { "node_load1 0.5\nnot metrics\n" }, { "", 500 }, { good }, { "", 404 } });
    const std::unique_ptr<CounterQuery> query
        = OpenWith(CounterFullPath(server.Machine(), "\\Load Average\\1 Minute x100"));
    const auto logged = [&server] { return LogRowsNaming("http://" + server.Machine() + "/metrics").size(); };
    const size_t before = logged();
    EXPECT_EQ(CollectAndRead(*query).value, 34);
    EXPECT_EQ(CollectAndRead(*query), (Reading { PDH_CSTATUS_NO_MACHINE, PDH_INVALID_DATA, 0 })) << "malformed";
    EXPECT_EQ(query->Collect(), PDH_CSTATUS_NO_MACHINE) << "HTTP 500";
    EXPECT_EQ(logged(), before + 1);
    EXPECT_EQ(CollectAndRead(*query).cstatus, 0u);
    EXPECT_EQ(query->Collect(), PDH_CSTATUS_NO_MACHINE) << "HTTP 404";
    EXPECT_EQ(logged(), before + 2);
    EXPECT_NE(CLog::GetLastRows().find("line 2: invalid value"), std::string::npos);
}

// A silent server is given up on within the time-out (5 s), and Cancel ends a waiting collection
// promptly; a cancelled query stays cancelled.
TEST(RemoteCounters, SilentServersAreGivenUpOnOrCancelled)
{
    MetricsServer server({ { "", 200, true } });
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(
        OpenWith(CounterFullPath(server.Machine(), "\\Memory\\Available MBytes"))->Collect(), PDH_CSTATUS_NO_MACHINE);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(server.Requests(), 1);

    MetricsServer cancelled({ { "", 200, true } });
    const std::unique_ptr<CounterQuery> query
        = OpenWith(CounterFullPath(cancelled.Machine(), "\\Memory\\Available MBytes"));
    std::thread canceller([&] {
        WaitUntil([&] { return cancelled.Requests() > 0; });
        query->Cancel();
    });
    const Clock::time_point again = Clock::now();
    EXPECT_EQ(query->Collect(), PDH_CSTATUS_NO_MACHINE);
    canceller.join();
    EXPECT_EQ(query->Collect(), PDH_CSTATUS_NO_MACHINE);
    EXPECT_LT(Clock::now() - again, std::chrono::seconds(3));
    EXPECT_EQ(cancelled.Requests(), 1);
}

// The node_exporter that scripts/test-services.d/node-exporter.sh starts, with its default
// collectors: plausible values, processor time from the second sample.
TEST(RealExporter, GivesPlausibleValues)
{
    const std::string machine = ServiceEnv("QUORVEL_TEST_NODE_EXPORTER");
    ExpectPlausible(machine,
        { { "\\Memory\\Available MBytes", 1, INT32_MAX }, { "\\LogicalDisk(/)\\% Free Space", 0, 100 },
            { "\\Load Average\\15 Minutes x100", 0, 100000 }, { "\\System\\System Up Time", 1, INT32_MAX },
            { "\\Processor(_Total)\\% Processor Time", 0, 100, true } });
    EXPECT_EQ(OpenWith(CounterFullPath(machine, "\\System\\Processes"))->Collect(), PDH_CSTATUS_NO_COUNTER)
        << "a default exporter has no processes collector";
}

} // namespace
