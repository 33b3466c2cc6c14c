#include "engine/EngineFixture.h"
#include "engine/RunTexts.h"
#include "external/support/Console.h"
#include "support/RunningQuorvel.h"

#include <algorithm>
#include <csignal>
#include <regex>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Lines of a text file (UTF-8, or UTF-16LE of ASCII text).
size_t LineCount(const std::string& path)
{
    const std::string text = ReadFile(path);
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// quorvel -c `project` with its standard output into `reader`, a shell command that reads it
// (its own output is the test's); the process is quorvel itself.
std::vector<std::string> ReadBy(const std::string& reader, const std::string& project)
{
    return { "bash", "-c", "exec > >(" + reader + "); exec \"$0\" -c \"$1\"", QUORVEL_BINARY, project };
}

class ConsoleRun : public EngineTest {
protected:
    // `event` with a report and a summary; the saved project's path.
    std::string Reporting(const Quorvel& event)
    {
        project.AddEvent(event);
        project.reportFile = dir.File("report.txt");
        project.summaryFile = dir.File("summary.html");
        return SaveProject();
    }
};

// Every status change a line, or (ConsoleLines "changes") the start, each execution whose outcome
// differs from the one before, and the end; or no line at all.
TEST_F(ConsoleRun, OneLinePerStatusChangeOrPerChangedOutcome)
{
    using Lines = std::vector<std::string>;
    const struct {
        const char* choice;
        Lines steady, failing;
    } cases[] = {
        { "all",
            { "Started", "Executing", "Check passed", "Do action", "Executing", "Check passed", "Condition holds, no change",
                "Executing", "Check passed", "Condition holds, no change", "Completed" },
            { "Started", "Executing", "Check failed", "Do action", "Completed" } },
        { "changes",
            { "Started", "Check passed, Do action", "Check passed, Condition holds, no change", "Completed" },
            { "Started", "Check failed, Do action", "Completed" } },
        { "none", {}, {} },
    };
    Quorvel steady = Times(FileEvent("steady", dir.path()), 3);
    steady.iActWhen = ACT_ON_START;
    project.AddEvent(steady);
    project.AddEvent(FileEvent("", dir.File("absent")));
    const std::regex line(R"([ 12]\d:\d\d:\d\d\.\d{3}: File or Folder Access->Always[^>]*->No action \((.*)\) -> (.+))");
    const std::string banner = " Olvex Quorvel (console mode)...\n\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        project.consoleLines = c.choice;
        const ProcessResult result = RunQuorvel({ "-c", SaveProject() });
        EXPECT_EQ(result.status, 0) << result.err;
        std::map<std::string, Lines> statuses;
        ASSERT_EQ(result.out.rfind(banner, 0), 0u) << result.out;
        std::istringstream lines(result.out.substr(banner.size()));
        for (std::string text; std::getline(lines, text);) {
            std::smatch match;
            ASSERT_TRUE(std::regex_match(text, match, line)) << text;
            statuses[match[1]].push_back(match[2]);
        }
        EXPECT_EQ(statuses["steady"], c.steady);
        EXPECT_EQ(statuses[""], c.failing);
        // Whatever the console shows, a failure is told on standard error, naming the event and why.
        EXPECT_EQ(result.err, "quorvel: project: event 2 \"File or Folder Access->Always->No action\": check failed: "
                + dir.File("absent") + ": No such file or directory\n");
    }
}

// What a started program prints never gets into the console lines. One that fails is told on
// standard error once it has ended, naming the event, how it ended and the first line of its
// errors; the value goes into its words whole.
TEST_F(ConsoleRun, ProgramThatFailsIsToldAndItsOutputStaysOut)
{
    WriteFile(dir.File("f"), "12345");
    project.AddEvent(EverySeconds(Endless(FileEvent("keeper", dir.path())), 3600));
    project.AddEvent(WithAction(FileEvent("nightly copy", dir.File("f")), ACTION_PROGRAM,
        "sh -c 'echo out-text; echo \"$1\" > \"$0\"; echo boom >&2; echo more >&2; exit 7' '" + dir.File("args")
            + "' '$VALUE$ bytes'"));
    const std::string path = SaveProject();
    RunningQuorvel quorvel(path);
    const std::string told = "quorvel: project: event 2 \"nightly copy\": action failed: sh exited with status 7: boom\n";
    EXPECT_TRUE(WaitUntil([&] { return quorvel.Errors().find(told) != std::string::npos; }, std::chrono::seconds(10)))
        << quorvel.Errors();
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    EXPECT_EQ(quorvel.Errors().find("more"), std::string::npos) << quorvel.Errors();
    for (const char* own : { "boom", "out-text" })
        EXPECT_EQ(quorvel.Output().find(own), std::string::npos) << quorvel.Output();
    EXPECT_EQ(ReadFile(dir.File("args")), "5 bytes\n");
}

// A program log that cannot be written (its folder cannot be made) loses nothing: its entries, and
// the log lines of a project without a custom log, come on standard error.
TEST_F(ConsoleRun, EntriesOfAProgramLogThatCannotBeWrittenComeOnStandardError)
{
    project.AddEvent(WithAction(FileEvent("noted", dir.path()), ACTION_LOG, "the folder is there"));
    const ProcessResult result = RunQuorvel({ "-c", SaveProject() }, { "XDG_STATE_HOME=/proc/quorvel-none" });
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("quorvel: the program log /proc/quorvel-none/quorvel/quorvel.log cannot be written ("),
        std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("\tUser mesage: \tthe folder is there"), std::string::npos) << result.err;
}

// 24 workers writing their lines at once into a pipe: every line whole (some longer than a pipe
// takes in one piece) and each event's lines in the order it wrote them. What the reader does not
// take in time is dropped, and the lines that say so count exactly the missing ones.
TEST(ConsoleLines, TwentyFourWorkersKeepEveryLineWholeAndInOrder)
{
    constexpr int kEvents = 24, kLines = 200;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string out;
    std::thread reader([&] {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<size_t>(n));
    });
    const int saved = ::dup(STDOUT_FILENO);
    ASSERT_EQ(ConsoleFlush(60s), 0); // lets go of the output that earlier tests wrote to
    ::dup2(fds[1], STDOUT_FILENO);
    std::vector<Quorvel> events(kEvents);
    const auto middle = [](int i) {
        return ": File or Folder Access->Always->No action (" + std::to_string(i) + std::string(i * 200, 'x') + ") -> ";
    };
    std::vector<std::thread> workers;
    for (int i = 0; i < kEvents; ++i) {
        events[i].type = EVENT_FILE;
        events[i].EventNote = std::to_string(i) + std::string(i * 200, 'x');
        workers.emplace_back([&event = events[i]] {
            const RunTexts texts(event);
            for (int n = 0; n < kLines; ++n)
                event.PostStatus(-1, std::to_string(n));
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    ASSERT_EQ(ConsoleFlush(60s), 0);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    std::vector<int> next(kEvents, 0);
    std::istringstream lines(out);
    const std::regex dropped(R"(quorvel: (\d+) console lines? dropped while the output was not read)");
    int count = 0;
    for (std::string text; std::getline(lines, text);) {
        if (std::smatch match; std::regex_match(text, match, dropped)) {
            count += std::stoi(match[1]);
            continue;
        }
        ++count;
        const size_t open = text.find('(');
        ASSERT_TRUE(text.size() > 12 && open != std::string::npos) << text.substr(0, 100);
        const int i = std::atoi(text.c_str() + open + 1);
        ASSERT_TRUE(i >= 0 && i < kEvents);
        const std::string prefix = middle(i);
        ASSERT_EQ(text.substr(12, prefix.size()), prefix) << text.substr(0, 100);
        const int n = std::stoi(text.substr(12 + prefix.size()));
        EXPECT_GE(n, next[i]) << text.substr(0, 100);
        next[i] = n + 1;
    }
    EXPECT_EQ(count, kEvents * kLines);
}

// A reader that takes one line and goes away costs the run its console lines, nothing more.
TEST_F(ConsoleRun, AReaderThatGoesAwayCostsOnlyTheConsoleLines)
{
    RunningQuorvel quorvel(ReadBy("exec head -1", Reporting(Times(Endless(FileEvent("busy", dir.path())), 3000))), {});
    EXPECT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    EXPECT_EQ(quorvel.Output(), " Olvex Quorvel (console mode)...\n");
    EXPECT_EQ(ReportLines(project.reportFile).size(), 3001u);
    EXPECT_TRUE(PathExists(project.summaryFile));
}

// A reader that does not read holds up no event: the report grows far beyond what the pipe and
// the queue of console lines hold (a few thousand executions), and once the reader reads, it is
// told how many lines it missed.
TEST_F(ConsoleRun, AReaderThatDoesNotReadHoldsUpNoEvent)
{
    const std::string gate = dir.File("read now");
    const std::string reader = "until [ -e '" + gate + "' ]; do sleep 0.05; done; exec cat";
    RunningQuorvel quorvel(ReadBy(reader, Reporting(Endless(FileEvent("busy", dir.path())))), {});
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (LineCount(project.reportFile) < 30000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_GE(LineCount(project.reportFile), 30000u) << quorvel.Errors();
    EXPECT_EQ(quorvel.Output(), "");
    WriteFile(gate, "");
    EXPECT_TRUE(quorvel.WaitFor(" console lines dropped while the output was not read\n")) << quorvel.Errors();
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    EXPECT_EQ(quorvel.Count("(busy) -> Cancelled\n"), 1u);
    EXPECT_TRUE(PathExists(project.summaryFile));
}

// Log rotation: the report is moved aside, SIGHUP follows; the next line begins a new report with
// its header, and the run goes on until it is stopped.
TEST_F(ConsoleRun, HangupBeginsANewReportAndTheRunGoesOn)
{
    RunningQuorvel quorvel(
        Reporting(Endless(FileEvent("busy", dir.path()))), { "XDG_STATE_HOME=" + dir.File("state") });
    ASSERT_TRUE(quorvel.WaitFor("-> Do action", 100));
    ASSERT_EQ(std::rename(project.reportFile.c_str(), dir.File("report.txt.1").c_str()), 0);
    quorvel.Signal(SIGHUP);
    const size_t before = quorvel.Count("-> Do action");
    ASSERT_TRUE(quorvel.WaitFor("-> Do action", before + 100));
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    // The lines up to the reopening are in the renamed file, the rest in a new one that begins with
    // its header; none is lost (console lines may be, so the report has at least as many).
    const size_t renamed = ReportLines(dir.File("report.txt.1")).size();
    const TextLines report = ReadUtf16Lines(project.reportFile);
    EXPECT_EQ(ReportDefect(report), ""); // the header first, every line whole
    EXPECT_GT(report.lines.size(), 1u);
    EXPECT_GE(renamed + report.lines.size() - 2, quorvel.Count("-> Do action")); // two headers
    EXPECT_TRUE(PathExists(project.summaryFile));
    EXPECT_NE(ReadFile(dir.File("state/quorvel/quorvel.log")).find("SIGHUP"), std::string::npos);
}

// An interrupt or a terminate signal breaks the run at once, however long its events wait (between
// iterations, or before the first one), and the run then ends normally. `timeout` signals the
// process and then its group: two signals at once are one stop, each event cancelled, the delayed
// one never checked, the report whole and the summary written.
TEST_F(ConsoleRun, SignalsBreakTheRunAndOneSignalledTwiceAtOnceIsOneStop)
{
    project.AddEvent(EverySeconds(Endless(FileEvent("waiting", dir.path())), 3600));
    project.AddEvent(DelayedFor(FileEvent("delayed", dir.path()), 3600));
    const std::string path = Reporting(Endless(FileEvent("busy", dir.path())));
    // Changes only: a busy event's every status would fill the console queue on a loaded machine,
    // and lines past it are dropped by design, "Cancelled" as well.
    for (int i = 0; i < 20; ++i) {
        const char* signal = i % 2 == 0 ? "TERM" : "INT";
        RunningQuorvel quorvel(
            { "timeout", "--preserve-status", "-s", signal, "0.5", QUORVEL_BINARY, "-c", "--console-lines=changes", path },
            {});
        EXPECT_EQ(quorvel.Wait(), 0) << signal << " " << i << quorvel.Errors();
        EXPECT_EQ(quorvel.Count("-> Cancelled\n"), 3u) << signal << " " << i;
        EXPECT_EQ(quorvel.Count("(delayed) -> Check"), 0u) << signal << " " << i;
        EXPECT_TRUE(PathExists(project.summaryFile)) << signal << " " << i;
        std::remove(project.summaryFile.c_str());
    }
    EXPECT_EQ(ReportDefect(ReadUtf16Lines(project.reportFile)), "");
}

} // namespace
