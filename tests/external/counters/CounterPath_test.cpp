#include "external/counters/CounterPath.h"
#include "external/counters/CounterQuery.h"

#include <gtest/gtest.h>

namespace {

// Machine names of three or more characters are prefixed; shorter and empty ones are used as
// written.
TEST(CounterFullPath, PrefixesMachineNamesOfThreeOrMoreCharacters)
{
    const std::pair<const char*, const char*> cases[] = { { "web01", "\\\\web01\\System\\Processes" },
        { "\\\\web01", "\\\\web01\\System\\Processes" }, { "127.0.0.1:9100", "\\\\127.0.0.1:9100\\System\\Processes" },
        { "", "\\System\\Processes" }, { "a", "a\\System\\Processes" }, { "ab", "ab\\System\\Processes" },
        { "\\\\", "\\\\\\System\\Processes" } };
    for (const auto& [machine, expected] : cases)
        EXPECT_EQ(CounterFullPath(machine, "\\System\\Processes"), expected) << machine;
}

// The parts as "host|port|object|(instance)|counter"; "refused" for a malformed path.
std::string Parts(const char* text)
{
    CounterPath p;
    if (!ParseCounterPath(text, &p))
        return "refused";
    return p.host + "|" + std::to_string(p.port) + "|" + p.object + "|" + (p.hasInstance ? "(" + p.instance + ")" : "")
        + "|" + p.counter;
}

TEST(ParseCounterPath, SplitsMachinePortObjectInstanceAndCounter)
{
    EXPECT_EQ(Parts("\\Processor(_Total)\\% Processor Time"), "|9100|Processor|(_Total)|% Processor Time");
    EXPECT_EQ(Parts("\\\\web01\\Memory\\Available MBytes"), "web01|9100|Memory||Available MBytes");
    EXPECT_EQ(
        Parts("\\\\[::1]:9200\\LogicalDisk(/var/lib)\\% Free Space"), "[::1]|9200|LogicalDisk|(/var/lib)|% Free Space");
    for (const char* bad : { "", "Memory\\Available MBytes", "\\Memory", "\\Memory\\", "\\\\Memory\\Available MBytes",
             "\\\\\\Memory\\Available MBytes", "\\\\web01:0\\Memory\\Available MBytes",
             "\\\\web01:65536\\Memory\\Available MBytes", "\\\\web01:\\Memory\\Available MBytes",
             "\\\\web 01\\Memory\\Available MBytes", "\\\\user@web01\\Memory\\Available MBytes",
             "\\\\[::1\\Memory\\Available MBytes", "\\Processor(_Total\\% Idle Time", "\\(x)\\Counter",
             "\\Memory\\Available\\MBytes", "ab\\System\\Processes" })
        EXPECT_EQ(Parts(bad), "refused") << bad;
}

// Unknown objects, counters and instances are refused at add, also for a remote machine, without
// any network traffic; names match without regard to case.
TEST(AddCounter, RefusesUnknownNames)
{
    const std::pair<const char*, uint32_t> cases[] = {
        { "\\SQLServer:Locks(_Total)\\Lock Requests/sec", PDH_CSTATUS_NO_OBJECT },
        { "\\No Such Object\\Counter", PDH_CSTATUS_NO_OBJECT },
        { "\\Memory\\No Such Counter", PDH_CSTATUS_NO_COUNTER },
        { "\\Processor(x)\\% Idle Time", PDH_CSTATUS_NO_INSTANCE },
        { "\\Processor\\% Idle Time", PDH_CSTATUS_NO_INSTANCE },
        { "\\Memory(0)\\Available MBytes", PDH_CSTATUS_NO_INSTANCE },
        { "\\Processor(99999)\\% Idle Time", PDH_CSTATUS_NO_INSTANCE },
        { "\\LogicalDisk(/no/such/mount)\\Free Megabytes", PDH_CSTATUS_NO_INSTANCE },
        { "\\Network Interface(nosuch0)\\Bytes Total/sec", PDH_CSTATUS_NO_INSTANCE },
        { "ab\\System\\Processes", PDH_INVALID_ARGUMENT },
        { "\\\\web01\\SQLServer:Locks(_Total)\\Lock Requests/sec", PDH_CSTATUS_NO_OBJECT },
        { "\\MEMORY\\available mbytes", 0 },
    };
    for (const auto& [path, expected] : cases) {
        std::unique_ptr<CounterQuery> query;
        ASSERT_EQ(CounterQuery::Open(&query), 0u);
        EXPECT_EQ(query->AddCounter(path), expected) << path;
    }
}

TEST(AddCounter, TakesOneCounterPerQuery)
{
    std::unique_ptr<CounterQuery> query;
    ASSERT_EQ(CounterQuery::Open(&query), 0u);
    int32_t value = 0;
    uint32_t cstatus = 0;
    EXPECT_EQ(query->Collect(), PDH_INVALID_HANDLE);
    EXPECT_EQ(query->GetFormattedValue(&value, &cstatus), PDH_INVALID_HANDLE);
    ASSERT_EQ(query->AddCounter("\\System\\Processes"), 0u);
    EXPECT_EQ(query->AddCounter("\\System\\Threads"), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(query->GetFormattedValue(nullptr, &cstatus), PDH_INVALID_ARGUMENT);
    query->RemoveCounter();
    EXPECT_EQ(query->Collect(), PDH_INVALID_HANDLE);
    EXPECT_EQ(query->AddCounter("\\System\\Threads"), 0u);
}

} // namespace
