#include "engine/EngineFixture.h"

#include <regex>

namespace {

const char* const kHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\tAction Time (ms)\t"
                            "Fetched Rows\tStatus\tAction SQL";

class ExecutionReport : public EngineTest { };

TEST_F(ExecutionReport, NewFileGetsMarkHeaderAndOneLinePerExecution)
{
    Quorvel event = Times(FileEvent("", dir.path()), 3);
    project.reportFile = dir.File("report.txt");
    project.AddEvent(event);
    project.Run(&page, nullptr);
    const auto lines = ReportLines(dir.File("report.txt"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], kHeader);
    const std::regex line(R"(\d\d-[A-Z][a-z][a-z]-\d{4}\t[ 12]\d:\d\d:\d\d\.\d{3}\t)"
                          R"(File or Folder Access->Always->No action\t\d+\t\d+\t0\t\d+\t0\tOK\t)");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], line)) << lines[i];
    EXPECT_EQ(project.currentReportFile, dir.File("report.txt"));
    const std::string bytes = ReadFile(dir.File("report.txt"));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
}

TEST_F(ExecutionReport, DateInTheNameAndValueInTheNote)
{
    WriteFile(dir.File("f"), "1234");
    Quorvel event = FileEvent("size\t$VALUE$\nbytes", dir.File("f"));
    project.reportFile = dir.File("r_$DATE$.txt");
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_NE(project.currentReportFile, project.reportFile);
    const auto lines = ReportLines(project.currentReportFile);
    ASSERT_EQ(lines.size(), 2u);
    const auto fields = SplitTabs(lines[1]);
    ASSERT_EQ(fields.size(), 10u) << "tabs and line breaks inside a field become blanks";
    EXPECT_EQ(fields[2], "size 4 bytes");
}

TEST_F(ExecutionReport, NoReportFileNamedWritesNothing)
{
    project.AddEvent(FileEvent("quiet", dir.path()));
    project.Run(&page, nullptr);
    EXPECT_EQ(project.currentReportFile, "");
    EXPECT_EQ(project.GetEvent(0)->results.count, 1) << "the statistics are kept all the same";
}

TEST_F(ExecutionReport, TwentyFourEventsWritingAtOnceGiveWholeLines)
{
    const int perEvent = 40;
    for (int i = 0; i < kMaxEvents; ++i) {
        Quorvel event = Times(FileEvent("event " + std::to_string(i), dir.path()), perEvent);
        event.action = ACTION_LOG;
        event.sLogItem = "line of " + std::to_string(i);
        project.AddEvent(event);
    }
    project.reportFile = dir.File("report.txt");
    project.logFile = dir.File("custom.log");
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const auto lines = ReportLines(dir.File("report.txt"));
    ASSERT_EQ(lines.size(), static_cast<size_t>(1 + kMaxEvents * perEvent));
    std::map<std::string, int> perName;
    for (size_t i = 1; i < lines.size(); ++i) {
        const auto fields = SplitTabs(lines[i]);
        ASSERT_EQ(fields.size(), 10u) << lines[i];
        ++perName[fields[2]];
    }
    for (const auto& [name, count] : perName)
        EXPECT_EQ(count, perEvent) << name;
    EXPECT_EQ(perName.size(), static_cast<size_t>(kMaxEvents));
    const auto logLines = ReportLines(dir.File("custom.log"));
    EXPECT_EQ(logLines.size(), static_cast<size_t>(kMaxEvents * perEvent));
    for (int i = 0; i < kMaxEvents; ++i)
        EXPECT_EQ(project.GetEvent(i)->results.count, perEvent);
}

} // namespace
