#include "engine/EngineFixture.h"
#include "external/support/StrFormat.h"

#include <regex>

namespace {

class ExecutionReport : public EngineTest { };

// An event without a note is named by its description; tabs and line breaks of a note become
// blanks, so that every line keeps its ten fields.
TEST_F(ExecutionReport, NewFileGetsMarkHeaderAndOneLinePerExecution)
{
    WriteFile(dir.File("f"), "1234");
    project.AddEvent(Times(FileEvent("", dir.path()), 3));
    project.AddEvent(FileEvent("size\t$VALUE$\nbytes", dir.File("f")));
    project.reportFile = dir.File("r_$DATE$.txt");
    project.Run(&page, nullptr);
    EXPECT_EQ(project.currentReportFile.find('$'), std::string::npos);
    const TextLines report = ReadUtf16Lines(project.currentReportFile);
    EXPECT_EQ(ReportDefect(report), "");
    const std::vector<std::string>& lines = report.lines;
    ASSERT_EQ(lines.size(), 5u);
    const std::regex line(R"(\d\d-[A-Z][a-z][a-z]-\d{4}\t[ 12]\d:\d\d:\d\d\.\d{3}\t)"
                          R"((File or Folder Access->Always->No action|size 4 bytes)\t\d+\t\d+\t0\t\d+\t0\tOK\t)");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], line)) << lines[i];
}

// The preference "TextEncoding" 1 writes both files in UTF-8 with LF; a project's key wins over it.
TEST_F(ExecutionReport, EncodingFromThePreferenceOrTheProject)
{
    const struct {
        int preference;
        std::string key;
        bool utf8;
    } cases[] = { { 0, "", false }, { 1, "", true }, { 1, "utf-16le", false }, { 0, "UTF-8", true } };
    int n = 0;
    for (const auto& c : cases) {
        settings->setInt("TextEncoding", c.preference);
        project.events.clear();
        Quorvel event = FileEvent("e", dir.path());
        event.action = ACTION_LOG;
        event.sLogItem = "seen";
        project.AddEvent(event);
        project.textEncoding = c.key;
        project.reportFile = dir.File(StrFormat("r%d.txt", n));
        project.logFile = dir.File(StrFormat("l%d.log", n++));
        project.Run(&page, nullptr);
        const std::string log = ReadFile(project.logFile);
        EXPECT_EQ(log, c.utf8 ? std::string("seen\n") : std::string("\xFF\xFEs\0e\0e\0n\0\r\0\n\0", 14)) << n;
        EXPECT_EQ(ReadFile(project.reportFile).rfind("Date\tTime\t", 0) == 0, c.utf8) << n;
    }
}

TEST_F(ExecutionReport, TwentyFourEventsWritingAtOnceGiveWholeLines)
{
    const int perEvent = 40;
    std::map<std::string, int> expected; // report lines per event
    for (int i = 0; i < kMaxEvents; ++i) {
        Quorvel event = Times(FileEvent(StrFormat("event %d", i), dir.path()), perEvent);
        event.action = ACTION_LOG;
        event.sLogItem = StrFormat("line of %d", i);
        project.AddEvent(event);
        expected[event.EventNote] = perEvent;
    }
    project.reportFile = dir.File("report.txt");
    project.logFile = dir.File("custom.log");
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const TextLines report = ReadUtf16Lines(dir.File("report.txt"));
    ASSERT_EQ(ReportDefect(report), "");
    std::map<std::string, int> perName;
    for (size_t i = 1; i < report.lines.size(); ++i)
        ++perName[SplitTabs(report.lines[i])[2]];
    EXPECT_EQ(perName, expected);
    EXPECT_EQ(ReportLines(dir.File("custom.log")).size(), static_cast<size_t>(kMaxEvents * perEvent));
    for (int i = 0; i < kMaxEvents; ++i)
        EXPECT_EQ(project.GetEvent(i)->results.count, perEvent);
}

} // namespace
