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
        // Long enough that a line cannot slip into the last bytes below the limit whole.
        project.AddEvent(WithAction(Times(Endless(FileEvent("logger", dir.path())), kIterations), ACTION_LOG,
            "folder size $VALUE$, " + std::string(120, '#')));
        project.reportFile = dir.File("report.txt");
    }

    // Runs the project to its end under `limits` (of prlimit); the exit status. An ignored SIGXFSZ
    // stays ignored across exec: a write past the file size limit fails with EFBIG instead of
    // killing the process.
    int Run(const std::string& limits = "")
    {
        const std::string command = "trap '' XFSZ; exec prlimit " + limits + " \"$0\" -c \"$1\"";
        RunningQuorvel quorvel({ "sh", "-c", command, QUORVEL_BINARY, SaveProject() }, Isolated());
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
    EXPECT_EQ(Run(), 0);
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
    EXPECT_EQ(Run("--fsize=" + std::to_string(kLimit)), 0);
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

TEST_F(FullDevice, SummaryThatCannotBeWrittenLeavesTheOlderOneAndEndsTheRunWithStatus4)
{
    // A small file system of its own, unmounted at the end, and filled up to the last byte.
    const std::string small = dir.File("small");
    ::mkdir(small.c_str(), 0755);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &small, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });
    const std::string older = "<html>the summary of an older run</html>\n";
    const std::string onFull = small + "/summary.html";
    WriteFile(onFull, older);
    const UniqueFd filler(::open((small + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const std::string block(4096, 'f');
    while (::write(filler.Get(), block.data(), block.size()) > 0) { }
    ASSERT_EQ(errno, ENOSPC);
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
