#include "engine/EngineFixture.h"
#include "external/support/CLog.h"

#include <cstdlib>

namespace {

class CounterEvent : public EngineTest {
protected:
    Quorvel Counter(const std::string& note, const std::string& machine, const std::string& path)
    {
        Quorvel q;
        q.EventNote = note;
        q.type = EVENT_COUNTER;
        q.Machine = machine;
        q.PerfCounter = path;
        q.iterType = ITER_COUNT;
        q.iExecs = 2;
        return q;
    }
};

TEST_F(CounterEvent, LocalReadingLandsInTheReport)
{
    project.reportFile = dir.File("report.txt");
    project.AddEvent(Counter("available $VALUE$ MB", "", "\\Memory\\Available MBytes"));
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    EXPECT_EQ(page.Count("available $VALUE$ MB", "Check passed"), 2);
    const auto lines = ReportLines(dir.File("report.txt"));
    ASSERT_EQ(lines.size(), 3u);
    const std::string event = SplitTabs(lines[2]).at(2);
    const long megabytes = std::strtol(event.c_str() + std::string("available ").size(), nullptr, 10);
    EXPECT_GT(megabytes, 0) << event;
    EXPECT_FALSE(project.GetEvent(0)->pdhQuery) << "the query is closed when the thread ends";
}

TEST_F(CounterEvent, RateCounterFirstSampleHasBadStatus)
{
    project.AddEvent(Counter("cpu", "", "\\Processor(_Total)\\% Processor Time"));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("cpu", "Check passed"), 2) << "a bad reading still passes, with the last good value";
    EXPECT_NE(CLog::GetLastRows().find("UpdatePerfCounterValue\tValue Has Bad Status 0xC0000BBA"), std::string::npos);
}

TEST_F(CounterEvent, UnknownCounterFailsEveryCheck)
{
    project.AddEvent(Counter("locks", "", "\\SQLServer:Locks(_Total)\\Lock Requests/sec"));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("locks", "Check failed"), 2);
    const std::string log = CLog::GetLastRows();
    EXPECT_NE(log.find("Quorvel::FirstDelay\tAdd Counter '\\SQLServer:Locks(_Total)\\Lock Requests/sec' Error 0xC0000BB8"),
              std::string::npos)
        << log;
}

TEST_F(CounterEvent, UnreachableMachineFailsTheCollection)
{
    project.AddEvent(Counter("remote", "127.0.0.1:1", "\\Memory\\Available MBytes"));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("remote", "Check failed"), 2);
    EXPECT_NE(CLog::GetLastRows().find("PdhCollectQueryData\tCollect Data Error 0x800007D0"), std::string::npos);
}

} // namespace
