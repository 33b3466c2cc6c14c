#include "engine/EngineFixture.h"
#include "external/support/CLog.h"

#include <cstdlib>

namespace {

class CounterEvents : public EngineTest { };

TEST_F(CounterEvents, LocalReadingLandsInTheReport)
{
    project.reportFile = dir.File("report.txt");
    project.AddEvent(Times(CounterEvent("available $VALUE$ MB", "", "\\Memory\\Available MBytes"), 2));
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    EXPECT_EQ(page.Count("available $VALUE$ MB", "Check passed"), 2);
    const auto lines = ReportLines(dir.File("report.txt"));
    ASSERT_EQ(lines.size(), 3u);
    const std::string event = SplitTabs(lines[2]).at(2);
    const long megabytes = std::strtol(event.c_str() + std::string("available ").size(), nullptr, 10);
    EXPECT_GT(megabytes, 0) << event;
    EXPECT_FALSE(project.GetEvent(0)->pdhQuery) << "the query is closed when the thread ends";
}

// A rate counter's first sample has a bad status, but passes with the last good value; an unknown
// counter or an unreachable machine fails every check.
TEST_F(CounterEvents, BadReadingsAreLogged)
{
    struct Case {
        const char *machine, *path, *status, *logged;
    };
    for (const Case& c : { Case { "", "\\Processor(_Total)\\% Processor Time", "Check passed",
                               "UpdatePerfCounterValue\tValue Has Bad Status 0xC0000BBA" },
             Case { "", "\\SQLServer:Locks(_Total)\\Lock Requests/sec", "Check failed",
                 "Quorvel::FirstDelay\tAdd Counter '\\SQLServer:Locks(_Total)\\Lock Requests/sec' Error 0xC0000BB8" },
             Case { "127.0.0.1:1", "\\Memory\\Available MBytes", "Check failed",
                 "PdhCollectQueryData\tCollect Data Error 0x800007D0" } }) {
        project.Clear();
        project.AddEvent(Times(CounterEvent(c.path, c.machine, c.path), 2));
        project.Run(&page, nullptr);
        EXPECT_EQ(page.Count(c.path, c.status), 2) << c.path;
        EXPECT_NE(CLog::GetLastRows().find(c.logged), std::string::npos) << c.logged;
    }
}

} // namespace
