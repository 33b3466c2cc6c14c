// The custom log on a device that is full: from the start (/dev/full), or once the file reaches
// the largest size the process may write (RLIMIT_FSIZE). The run neither crashes nor stops, the
// program log says once that the lines are dropped, and the file never keeps half a line.

#include "faults/FaultFixture.h"

#include "external/support/Utf16.h"

namespace {

constexpr int kIterations = 40;
constexpr const char* kContext = "ReportFile";

class FullDevice : public FaultTest {
protected:
    FullDevice()
    {
        Quorvel logger = Times(Endless(FileEvent("logger", dir.path())), kIterations);
        logger.action = ACTION_LOG;
        // Long enough that a line cannot slip into the last bytes below the limit whole.
        logger.sLogItem = "folder size $VALUE$, " + std::string(120, '#');
        project.AddEvent(logger);
        project.reportFile = dir.File("report.txt");
    }

    // Runs the project to its end; the exit status.
    int Run(const QuorvelStart& start)
    {
        RunningQuorvel quorvel(SaveProject(), start);
        const int status = quorvel.Wait();
        EXPECT_EQ(quorvel.Count("(logger) -> Do action"), static_cast<size_t>(kIterations));
        // The execution report is not on the full device: every iteration has its line.
        EXPECT_EQ(ReportColumn(2).size(), static_cast<size_t>(kIterations));
        return status;
    }
};

TEST_F(FullDevice, CustomLogOnDevFullIsToldOnceAndTheRunEnds)
{
    project.logFile = "/dev/full";
    EXPECT_EQ(Run(Isolated()), 0);
    EXPECT_EQ(LogCount(kContext, "cannot write the custom log file /dev/full: No space left on device"), 1u);
    EXPECT_EQ(LogCount(kContext), 1u) << ProgramLog();
}

TEST_F(FullDevice, CustomLogThatReachesTheFileSizeLimitKeepsOnlyWholeLines)
{
    // A log that already fills the limit but for a few lines; the report and program log stay
    // far below it.
    constexpr long long kLimit = 64 * 1024;
    project.logFile = dir.File("custom.log");
    std::string filler = "\xFF\xFE";
    while (filler.size() < kLimit - 1000)
        filler += Utf8ToUtf16Le("an earlier line of the log\r\n");
    WriteFile(project.logFile, filler);
    QuorvelStart start = Isolated();
    start.fileSizeLimit = kLimit;

    EXPECT_EQ(Run(start), 0);
    EXPECT_EQ(LogCount(kContext, "cannot write the custom log file " + project.logFile + ": File too large"), 1u);
    EXPECT_EQ(LogCount(kContext), 1u) << ProgramLog();
    const TextLines log = ReadUtf16Lines(project.logFile);
    EXPECT_EQ(log.defect, "");
    ASSERT_EQ(log.lines.back().rfind("folder size ", 0), 0u);
    // The lines that fitted are there; the one that reached the limit was cut off again.
    const size_t lineBytes = Utf8ToUtf16Le(log.lines.back() + "\r\n").size();
    const size_t room = static_cast<size_t>(kLimit) - filler.size();
    ASSERT_NE(room % lineBytes, 0u) << "no line would have been written in part";
    EXPECT_EQ(ReadFile(project.logFile).size(), filler.size() + room / lineBytes * lineBytes);
}

} // namespace
