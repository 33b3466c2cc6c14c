#include "engine/EngineFixture.h"
#include "external/support/CLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class CounterEvents : public EngineTest { };

// A local reading lands in the report; a rate counter's first sample has a bad status, but passes
// with the last good value; an unknown counter or an unreachable machine fails every check.
TEST_F(CounterEvents, ReadingsLandInTheReportAndBadOnesAreLogged)
{
    struct Case {
        const char *machine, *path, *status, *logged;
    };
    for (const Case& c : { Case { "", "\\Memory\\Available MBytes", "Check passed", "" },
             Case { "", "\\Processor(_Total)\\% Processor Time", "Check passed",
                 "UpdatePerfCounterValue\tValue Has Bad Status 0xC0000BBA" },
             Case { "", "\\SQLServer:Locks(_Total)\\Lock Requests/sec", "Check failed",
                 "Quorvel::FirstDelay\tAdd Counter '\\SQLServer:Locks(_Total)\\Lock Requests/sec' Error 0xC0000BB8" },
             Case { "127.0.0.1:1", "\\Memory\\Available MBytes", "Check failed",
                 "PdhCollectQueryData\tCollect Data Error 0x800007D0" } }) {
        project.Clear();
        project.reportFile = dir.File("report.txt");
        std::remove(project.reportFile.c_str());
        project.AddEvent(Times(CounterEvent(std::string(c.path) + " $VALUE$", c.machine, c.path), 2));
        project.Run(&page, nullptr);
        EXPECT_EQ(page.Count(std::string(c.path) + " $VALUE$", c.status), 2) << c.path;
        EXPECT_NE(CLog::GetLastRows().find(c.logged), std::string::npos) << c.logged;
        EXPECT_FALSE(project.GetEvent(0)->pdhQuery) << "the query is closed when the thread ends";
        if (*c.logged == '\0') {
            const auto lines = ReportLines(project.reportFile);
            ASSERT_EQ(lines.size(), 3u);
            const std::string event = SplitTabs(lines[2]).at(2);
            EXPECT_GT(std::strtol(event.c_str() + std::strlen(c.path) + 1, nullptr, 10), 0) << event;
        }
    }
}

} // namespace
