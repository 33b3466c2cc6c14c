#include "external/counters/CounterPath.h"
#include "external/counters/CounterQuery.h"

#include <gtest/gtest.h>

namespace {

TEST(CounterFullPath, PrefixesMachineNamesOfThreeOrMoreCharacters)
{
    const std::string counter = "\\Memory\\Available MBytes";
    EXPECT_EQ(CounterFullPath("web01", counter), "\\\\web01\\Memory\\Available MBytes");
    EXPECT_EQ(CounterFullPath("\\\\web01", counter), CounterFullPath("web01", counter));
    EXPECT_EQ(CounterFullPath("127.0.0.1:9100", counter), "\\\\127.0.0.1:9100\\Memory\\Available MBytes");
}

TEST(CounterFullPath, UsesShortAndEmptyMachinesAsWritten)
{
    const std::string counter = "\\System\\Processes";
    EXPECT_EQ(CounterFullPath("", counter), counter);
    EXPECT_EQ(CounterFullPath("a", counter), "a\\System\\Processes");
    EXPECT_EQ(CounterFullPath("ab", counter), "ab\\System\\Processes");
    EXPECT_EQ(CounterFullPath("\\\\", counter), "\\\\\\System\\Processes");
}

TEST(ParseCounterPath, SplitsMachinePortObjectInstanceAndCounter)
{
    CounterPath path;
    ASSERT_TRUE(ParseCounterPath("\\Processor(_Total)\\% Processor Time", &path));
    EXPECT_TRUE(path.IsLocal());
    EXPECT_EQ(path.object, "Processor");
    EXPECT_TRUE(path.hasInstance);
    EXPECT_EQ(path.instance, "_Total");
    EXPECT_EQ(path.counter, "% Processor Time");

    ASSERT_TRUE(ParseCounterPath("\\\\web01\\Memory\\Available MBytes", &path));
    EXPECT_EQ(path.host, "web01");
    EXPECT_EQ(path.port, 9100);
    EXPECT_FALSE(path.hasInstance);

    ASSERT_TRUE(ParseCounterPath("\\\\[::1]:9200\\LogicalDisk(/var/lib)\\% Free Space", &path));
    EXPECT_EQ(path.host, "[::1]");
    EXPECT_EQ(path.port, 9200);
    EXPECT_EQ(path.instance, "/var/lib");
}

TEST(ParseCounterPath, RefusesMalformedPaths)
{
    CounterPath path;
    for (const char* bad : { "", "Memory\\Available MBytes", "\\Memory", "\\Memory\\", "\\\\Memory\\Available MBytes",
             "\\\\\\Memory\\Available MBytes", "\\\\web01:0\\Memory\\Available MBytes",
             "\\\\web01:65536\\Memory\\Available MBytes", "\\\\web01:\\Memory\\Available MBytes",
             "\\\\web 01\\Memory\\Available MBytes", "\\\\user@web01\\Memory\\Available MBytes",
             "\\\\[::1\\Memory\\Available MBytes", "\\Processor(_Total\\% Idle Time", "\\(x)\\Counter",
             "\\Memory\\Available\\MBytes", "ab\\System\\Processes" }) {
        EXPECT_FALSE(ParseCounterPath(bad, &path)) << bad;
    }
}

class AddCounter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CounterQuery::Open(&query), 0u); }
    std::unique_ptr<CounterQuery> query;
};

TEST_F(AddCounter, RefusesUnknownObjectsCountersAndInstances)
{
    EXPECT_EQ(query->AddCounter("\\SQLServer:Locks(_Total)\\Lock Requests/sec"), PDH_CSTATUS_NO_OBJECT);
    EXPECT_EQ(query->AddCounter("\\SQLServer:Locks(_Total)\\Average Wait Time (ms)"), PDH_CSTATUS_NO_OBJECT);
    EXPECT_EQ(query->AddCounter("\\No Such Object\\Counter"), PDH_CSTATUS_NO_OBJECT);
    EXPECT_EQ(query->AddCounter("\\Memory\\No Such Counter"), PDH_CSTATUS_NO_COUNTER);
    EXPECT_EQ(query->AddCounter("\\Processor(x)\\% Idle Time"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("\\Processor\\% Idle Time"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("\\Memory(0)\\Available MBytes"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("\\Processor(99999)\\% Idle Time"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("\\LogicalDisk(/no/such/mount)\\Free Megabytes"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("\\Network Interface(nosuch0)\\Bytes Total/sec"), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(query->AddCounter("ab\\System\\Processes"), PDH_INVALID_ARGUMENT);
    // A remote machine's unknown names fail at add too, without any network traffic.
    EXPECT_EQ(query->AddCounter("\\\\web01\\SQLServer:Locks(_Total)\\Lock Requests/sec"), PDH_CSTATUS_NO_OBJECT);
}

TEST_F(AddCounter, MatchesObjectAndCounterNamesWithoutRegardToCase)
{
    EXPECT_EQ(query->AddCounter("\\MEMORY\\available mbytes"), 0u);
}

TEST_F(AddCounter, TakesOneCounterPerQuery)
{
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
