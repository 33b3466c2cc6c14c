#include "engine/EngineFixture.h"
#include "engine/RunTexts.h"
#include "external/support/StrFormat.h"

#include <regex>
#include <set>

namespace {

class ExecutionReport : public EngineTest { };

// Line breaks, NUL and the other control characters of a note or description would split a console
// line or make the report a binary file to grep: in both they are blanks, as tabs are; other
// bytes, UTF-8 included, stay as they are. An event without a note is named by its description,
// and a note's macros are expanded. A new report gets its mark, its header and a line per execution.
TEST_F(ExecutionReport, NotesAreFlatInConsoleLinesAndReportLinesOnePerExecution)
{
    using namespace std::string_literals;
    const struct {
        std::string note, flat;
    } cases[] = {
        { "a\nb\r\nc", "a b  c" },
        { "a\0b"s, "a b" },
        { "a\x1b[31mb\x7f\x01", "a [31mb  " },
        { "tab\there", "tab here" },
        { "caf\xC3\xA9 \xE2\x9C\x93", "caf\xC3\xA9 \xE2\x9C\x93" },
    };
    WriteFile(dir.File("f"), "1234");
    std::multiset<std::string> names;
    for (const auto& c : cases) {
        const Quorvel event = FileEvent(c.note, dir.File("f"));
        std::string middle;
        RunTexts::AppendStatusMiddle(middle, event);
        EXPECT_EQ(middle, ": File or Folder Access->Always->No action (" + c.flat + ") -> ");
        std::string name;
        RunTexts::AppendReportName(name, event);
        EXPECT_EQ(name, c.flat);
        project.AddEvent(event);
        names.insert(c.flat);
    }
    project.AddEvent(Times(FileEvent("", dir.path()), 3));
    project.AddEvent(FileEvent("size\t$VALUE$\nbytes", dir.File("f")));
    names.insert({ "File or Folder Access->Always->No action", "File or Folder Access->Always->No action",
        "File or Folder Access->Always->No action", "size 4 bytes" });
    project.reportFile = dir.File("r_$DATE$.txt");
    project.Run(&page, nullptr);
    EXPECT_EQ(project.currentReportFile.find('$'), std::string::npos);
    const TextLines report = ReadUtf16Lines(project.currentReportFile);
    EXPECT_EQ(ReportDefect(report), "");
    const std::regex line(R"(\d\d-[A-Z][a-z][a-z]-\d{4}\t[ 12]\d:\d\d:\d\d\.\d{3}\t([^\t]*)\t\d+\t\d+\t0\t\d+\t0\tOK\t)");
    std::multiset<std::string> reported;
    for (size_t i = 1; i < report.lines.size(); ++i) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(report.lines[i], match, line)) << report.lines[i];
        reported.insert(match[1]);
        for (const char ch : report.lines[i])
            EXPECT_TRUE(static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') << report.lines[i];
    }
    EXPECT_EQ(reported, names);
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
        project.AddEvent(WithAction(FileEvent("e", dir.path()), ACTION_LOG, "seen"));
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
        const std::string note = StrFormat("event %d", i);
        project.AddEvent(WithAction(Times(FileEvent(note, dir.path()), perEvent), ACTION_LOG, "line of " + note));
        expected[note] = perEvent;
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
