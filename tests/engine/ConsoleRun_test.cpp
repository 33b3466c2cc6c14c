#include "engine/EngineFixture.h"
#include "engine/RunTexts.h"
#include "support/RunningQuorvel.h"

#include <csignal>
#include <regex>
#include <thread>
#include <unistd.h>

namespace {

class ConsoleRun : public EngineTest { };

TEST_F(ConsoleRun, OneLinePerStatusChange)
{
    Quorvel event = Times(FileEvent("nightly check", dir.path()), 2);
    project.AddEvent(event);
    project.AddEvent(FileEvent("", dir.File("absent")));
    const ProcessResult result = RunQuorvel({ "-c", SaveProject() });
    EXPECT_EQ(result.status, 0) << result.err;
    const std::regex line(R"([ 12]\d:\d\d:\d\d\.\d{3}: File or Folder Access->Always->No action \((.*)\) -> (.+))");
    std::map<std::string, std::vector<std::string>> statuses;
    const std::string banner = " Olvex Quorvel (console mode)...\n\n";
    ASSERT_EQ(result.out.rfind(banner, 0), 0u) << result.out;
    std::istringstream lines(result.out.substr(banner.size()));
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        statuses[match[1]].push_back(match[2]);
    }
    EXPECT_EQ(statuses["nightly check"],
        (std::vector<std::string> { "Started", "Executing", "Check passed", "Do action", "Executing", "Check passed",
            "Do action", "Completed" }));
    EXPECT_EQ(
        statuses[""], (std::vector<std::string> { "Started", "Executing", "Check failed", "Do action", "Completed" }));
}

// What a started program prints never gets into the console lines. One that fails is told on
// standard error once it has ended, naming the event, how it ended and the first line of its
// errors; the value goes into its words whole.
TEST_F(ConsoleRun, ProgramThatFailsIsToldAndItsOutputStaysOut)
{
    WriteFile(dir.File("f"), "12345");
    Quorvel failing = FileEvent("nightly copy", dir.File("f"));
    failing.action = ACTION_PROGRAM;
    failing.sProgram = "sh -c 'echo out-text; echo \"$1\" > \"$0\"; echo boom >&2; echo more >&2; exit 7' '"
        + dir.File("args") + "' '$VALUE$ bytes'";
    project.AddEvent(EverySeconds(Endless(FileEvent("keeper", dir.path())), 3600));
    project.AddEvent(failing);
    const std::string path = SaveProject();
    RunningQuorvel quorvel(path);
    const std::string told = "quorvel: " + path + ": event 2 \"nightly copy\": action failed: sh exited with status 7: boom\n";
    EXPECT_TRUE(WaitUntil([&] { return quorvel.Errors().find(told) != std::string::npos; }, std::chrono::seconds(10)))
        << quorvel.Errors();
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0);
    EXPECT_EQ(quorvel.Errors().find("more"), std::string::npos) << quorvel.Errors();
    for (const char* own : { "boom", "out-text" })
        EXPECT_EQ(quorvel.Output().find(own), std::string::npos) << quorvel.Output();
    EXPECT_EQ(ReadFile(dir.File("args")), "5 bytes\n");
}

// An interrupt or a terminate signal breaks the run at once, however long its events wait
// (between iterations, or before the first one), and the run then ends normally.
TEST_F(ConsoleRun, SignalsBreakTheRunAndItEndsNormally)
{
    for (const char* note : { "first", "second" })
        project.AddEvent(EverySeconds(Endless(FileEvent(note, dir.path())), 3600));
    project.AddEvent(DelayedFor(FileEvent("delayed", dir.path()), 3600));
    project.reportFile = dir.File("report.txt");
    project.summaryFile = dir.File("summary.html");
    const std::string path = SaveProject();
    for (int sig : { SIGINT, SIGTERM }) {
        RunningQuorvel quorvel(path);
        for (const char* note : { "(first)", "(second)", "(delayed)" })
            ASSERT_TRUE(quorvel.WaitFor(std::string(note) + " -> Paused"));
        quorvel.Signal(sig);
        for (const char* note : { "(first)", "(second)", "(delayed)" })
            ASSERT_TRUE(quorvel.WaitFor(std::string(note) + " -> Cancelled")) << quorvel.Output();
        EXPECT_EQ(quorvel.Wait(), 0);
        EXPECT_EQ(quorvel.Count("(delayed) -> Executing"), 0u);
        EXPECT_TRUE(PathExists(dir.File("summary.html")));
        std::remove(dir.File("summary.html").c_str());
    }
    EXPECT_EQ(ReportLines(dir.File("report.txt")).size(), 5u);
}

// 24 workers writing their lines at once into a pipe: every line whole (some longer than a pipe
// takes in one piece) and each event's lines in the order it wrote them.
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
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    std::vector<int> next(kEvents, 0);
    std::istringstream lines(out);
    int count = 0;
    for (std::string text; std::getline(lines, text); ++count) {
        const size_t open = text.find('(');
        ASSERT_TRUE(text.size() > 12 && open != std::string::npos) << text.substr(0, 100);
        const int i = std::atoi(text.c_str() + open + 1);
        ASSERT_TRUE(i >= 0 && i < kEvents);
        EXPECT_EQ(text.substr(12), middle(i) + std::to_string(next[i]++)) << text.substr(0, 100);
    }
    EXPECT_EQ(count, kEvents * kLines);
}

} // namespace
