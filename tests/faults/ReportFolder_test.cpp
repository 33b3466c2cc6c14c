// The execution report's folder taken away in the middle of a run, then blocked, then given back:
// the run goes on, the program log tells when the writes began to fail and when they worked
// again (once each, not once per dropped line), and the lines resume in the same file.

#include "faults/FaultFixture.h"

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr const char* kReportContext = "ReportFile";

class ReportFolder : public FaultTest {
protected:
    // Lets `count` more iterations run.
    void LetIterationsRun(RunningQuorvel& quorvel, size_t count)
    {
        ASSERT_TRUE(quorvel.WaitFor("-> Executing", quorvel.Count("-> Executing") + count, 10s));
        ASSERT_TRUE(quorvel.WaitFor("-> Paused", quorvel.Count("-> Executing"), 10s)); // that one is recorded
    }

    const std::string folder = dir.File("reports");
    const std::string movedAway = dir.File("reports.away");
};

TEST_F(ReportFolder, RunGoesOnWhileTheFolderIsGoneOrBlockedAndItsLinesResumeWhenItIsBack)
{
    ::mkdir(folder.c_str(), 0755);
    project.reportFile = folder + "/report.txt";
    project.AddEvent(EverySeconds(Endless(FileEvent("probe", dir.path())), 1));
    RunningQuorvel quorvel(SaveProject(), Isolated());
    LetIterationsRun(quorvel, 2);

    // Gone: moved away, lines and all.
    ASSERT_EQ(std::rename(folder.c_str(), movedAway.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return LogCount(kReportContext) == 1; }, 5s)) << ProgramLog();
    LetIterationsRun(quorvel, 2);
    // Blocked: a plain file in the folder's place. Permissions would not do, since root (as which
    // the tests may run) passes them; nobody can create a file inside a file.
    WriteFile(folder, "");
    LetIterationsRun(quorvel, 2);

    const size_t linesBefore = ReadUtf16Lines(movedAway + "/report.txt").lines.size();
    ASSERT_EQ(::unlink(folder.c_str()), 0);
    ASSERT_EQ(std::rename(movedAway.c_str(), folder.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return LogCount(kReportContext) == 2; }, 5s)) << ProgramLog();
    LetIterationsRun(quorvel, 2);
    quorvel.Signal(SIGTERM);
    ASSERT_EQ(quorvel.Wait(), 0) << quorvel.Errors();

    EXPECT_EQ(LogCount(kReportContext,
                  "cannot write the execution report file " + project.reportFile + ": No such file or directory"),
        1u);
    EXPECT_EQ(LogCount(kReportContext, "the execution report file " + project.reportFile + " is written again"), 1u);
    EXPECT_EQ(LogCount(kReportContext), 2u);
    const size_t lines = ReportColumn(2).size();
    EXPECT_GT(lines, linesBefore); // which counted the header
    // The iterations of the outage were dropped, no more: at least four of them had no folder.
    EXPECT_LE(lines, quorvel.Count("-> Executing") - 4);
    EXPECT_GE(lines, 4u);
}

} // namespace
