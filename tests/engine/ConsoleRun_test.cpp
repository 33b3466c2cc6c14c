#include "engine/EngineFixture.h"
#include "support/RunningQuorvel.h"

#include <csignal>
#include <regex>

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

} // namespace
