// SIGTERM in the middle of a run of 24 events that never wait (file and SQLite checks, each
// writing a log line): the run breaks and ends normally, and nothing it has written is lost or
// cut short: every line of the execution report and of the custom log is whole, and the summary
// counts exactly the executions that the report holds.

#include "faults/FaultFixture.h"

#include "external/support/StrFormat.h"

#include <csignal>
#include <map>
#include <regex>

namespace {

using namespace std::chrono_literals;

// Executions to let happen before the signal: enough that all events are in full swing.
constexpr size_t kExecutionsBeforeSignal = 20000;

// "Check Executed" of each event's section of the summary, in the order of the sections.
std::vector<size_t> SummaryExecutions(const std::string& html)
{
    const std::regex row(R"(Check Executed</th><td[^>]*>(\d+) times)");
    std::vector<size_t> counts;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator(); ++it)
        counts.push_back(std::stoul((*it)[1]));
    return counts;
}

class TerminateBusyRun : public FaultTest { };

TEST_F(TerminateBusyRun, EndsNormallyWithEveryLineWholeAndTheSummaryCountingThem)
{
    const std::string database
        = MakeSqliteFile(dir.File("busy.db"), "CREATE TABLE t (x); INSERT INTO t VALUES (1), (2), (3);");
    for (int i = 0; i < kMaxEvents; ++i) {
        const std::string note = StrFormat("event %02d", i);
        const Quorvel event = i % 2 == 0 ? FileEvent(note, i % 4 == 0 ? dir.path() : dir.File("missing"))
                                         : SqlEvent(note, database, "SELECT count(*) FROM t");
        project.AddEvent(WithAction(Endless(event), ACTION_LOG, note + " saw $VALUE$"));
    }
    project.reportFile = dir.File("report.txt");
    project.logFile = dir.File("custom.log");
    project.summaryFile = dir.File("summary.html");
    RunningQuorvel quorvel(SaveProject(), Isolated());
    ASSERT_TRUE(quorvel.WaitFor("-> Do action", kExecutionsBeforeSignal, 60s)) << quorvel.Errors();
    quorvel.Signal(SIGTERM);
    ASSERT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    EXPECT_EQ(quorvel.Count("-> Cancelled"), static_cast<size_t>(kMaxEvents));
    // Nothing failed on the way (no dropped report or log line, no busy database) but the
    // statements in flight, which the break cuts short.
    // (The missing files' failures are told once per event, as "Failure" entries.)
    const size_t others = LogCount("") - LogCount("Failure", "missing: No such file or directory");
    EXPECT_LE(others, static_cast<size_t>(kMaxEvents / 2)) << ProgramLog();
    EXPECT_EQ(LogCount("Exec error", "interrupted"), others) << ProgramLog();

    const std::vector<std::string> notes = ReportColumn(2);
    const TextLines log = ReadUtf16Lines(project.logFile);
    ASSERT_EQ(log.defect, "");
    // An execution that the stop cut short leaves no line: at most one per event.
    EXPECT_LE(notes.size(), quorvel.Count("-> Executing"));
    EXPECT_GE(notes.size() + kMaxEvents, quorvel.Count("-> Executing"));
    EXPECT_EQ(log.lines.size(), notes.size()) << "every execution wrote one log line";

    std::map<std::string, size_t> perEvent;
    for (const std::string& note : notes)
        ++perEvent[note];
    const std::vector<size_t> summarised = SummaryExecutions(ReadFile(project.summaryFile));
    ASSERT_EQ(summarised.size(), static_cast<size_t>(kMaxEvents));
    for (int i = 0; i < kMaxEvents; ++i) {
        const std::string note = project.events[static_cast<size_t>(i)].EventNote;
        EXPECT_GT(perEvent.count(note), 0u) << note << " never ran";
        EXPECT_EQ(summarised[static_cast<size_t>(i)], perEvent.count(note) ? perEvent.at(note) : 0) << note;
    }
}

} // namespace
