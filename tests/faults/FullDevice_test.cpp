// The custom log on a device that is full: from the start (/dev/full), or once the file reaches
// the largest size the process may write (RLIMIT_FSIZE). The run neither crashes nor stops, the
// program log says once that the lines are dropped, and the file never keeps half a line. The
// summary on a full device is not written at all: the one before it stays whole, and standard
// error, the program log and the exit status say so.

#include "faults/FaultFixture.h"

#include "external/support/FileOps.h"
#include "external/support/Utf16.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A small file system of its own, filled up to the last byte, unmounted at the end.
class FullTmpfs {
public:
    explicit FullTmpfs(const std::string& path) : path_(path)
    {
        ::mkdir(path.c_str(), 0755);
        mounted_ = ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~FullTmpfs()
    {
        if (mounted_)
            ::umount2(path_.c_str(), MNT_DETACH);
    }
    FullTmpfs(const FullTmpfs&) = delete;
    FullTmpfs& operator=(const FullTmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    // Writes a filler file until the file system has no room left.
    void Fill() const
    {
        const UniqueFd fd(::open((path_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        const std::string block(4096, 'f');
        while (::write(fd.Get(), block.data(), block.size()) > 0) {
        }
        ASSERT_EQ(errno, ENOSPC);
    }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST_F(FullDevice, SummaryThatCannotBeWrittenLeavesTheOlderOneAndEndsTheRunWithStatus4)
{
    FullTmpfs small(dir.File("small"));
    if (!small.Mounted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const std::string older = "<html>the summary of an older run</html>\n";
    const std::string onFull = dir.File("small") + "/summary.html";
    WriteFile(onFull, older);
    small.Fill();
    for (const std::string& summary : { onFull, std::string("/dev/full") }) {
        project.summaryFile = summary;
        const std::string path = SaveProject();
        RunningQuorvel quorvel(path, Isolated());
        EXPECT_EQ(quorvel.Wait(), 4) << summary;
        const std::string told = "project: summary report " + summary + " not written: No space left on device";
        EXPECT_NE(quorvel.Errors().find("quorvel: " + told + "\n"), std::string::npos) << quorvel.Errors();
        EXPECT_EQ(LogCount("Summary", told), 1u) << ProgramLog();
    }
    EXPECT_EQ(ReadFile(onFull), older);
    EXPECT_FALSE(PathExists(onFull + ".tmp"));
}

} // namespace
