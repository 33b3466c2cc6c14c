#include "external/support/FileOps.h"
#include "support/Files.h"
#include "support/RunningQuorvel.h"
#include "support/TestEnv.h"

#include <csignal>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

using namespace std::chrono_literals;

// A project of one file check every second, without end; `summary` names its summary report.
std::string ProjectFile(const TempDir& dir, const std::string& name, const std::string& checked,
    const std::string& summary = "")
{
    const std::string path = dir.File(name + ".qvl");
    WriteFile(path,
        "[Common]\nItems = 1\nSummary = \"" + summary + "\"\n\n[Item0]\ntype = 1\nEventNote = \"" + name
            + "\"\nFileOrDir = \"" + checked + "\"\niterType = 0\nintType = 1\niInterval = 1\n");
    return path;
}

class StatusCommand : public ::testing::Test {
protected:
    ProcessResult Status(std::vector<std::string> args = {})
    {
        args.insert(args.begin(), "status");
        return RunQuorvel(args, env);
    }
    // Waits until `quorvel status` shows `text` (a run's first check takes a moment).
    ProcessResult StatusOnceItShows(const std::string& text)
    {
        ProcessResult result;
        WaitUntil([&] { return (result = Status()).out.find(text) != std::string::npos; }, 10s);
        return result;
    }

    TempDir dir;
    const std::vector<std::string> env { "XDG_RUNTIME_DIR=" + dir.File("run") };
};

TEST_F(StatusCommand, ShowsRunningProjectsTheirFailuresAndThoseThatAreGone)
{
    ProcessResult none = Status();
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.err, "quorvel: no project runs on this machine\n");

    const std::string passing = ProjectFile(dir, "passing", dir.path());
    RunningQuorvel first(passing, env);
    const ProcessResult ok = StatusOnceItShows("\n   1  passing          waiting   OK     ");
    EXPECT_EQ(ok.status, 0);
    EXPECT_NE(ok.out.find("passing  " + passing + "\n  pid " + std::to_string(first.Pid()) + ", started "),
        std::string::npos) << ok.out;

    RunningQuorvel second(ProjectFile(dir, "failing", dir.File("none")), env);
    const ProcessResult failed = StatusOnceItShows("\n!  1  failing          waiting   FAILED");
    EXPECT_EQ(failed.status, 1) << failed.out;
    std::istringstream lines(failed.out);
    for (std::string line; std::getline(lines, line);) {
        const bool row = line.rfind("  pid", 0) != 0 && (line[0] == ' ' || line[0] == '!');
        EXPECT_TRUE(!row || line.size() <= 79) << line;
    }
    EXPECT_EQ(Status({ passing }).status, 0) << "a named project shows only itself";
    const ProcessResult json = Status({ "--json" });
    const nlohmann::json snapshots = nlohmann::json::parse(json.out);
    ASSERT_EQ(snapshots.size(), 2u) << json.out;
    EXPECT_EQ(snapshots[0]["project"], "failing");
    EXPECT_EQ(snapshots[1]["events"][0]["status"], "OK");

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
    second.Signal(SIGKILL); // no chance to remove its snapshot
    second.Wait();
    const ProcessResult stale = Status();
    EXPECT_EQ(stale.status, 3) << stale.out;
    EXPECT_NE(stale.out.find("stale: the process is gone"), std::string::npos) << stale.out;
    EXPECT_EQ(stale.out.find("passing"), std::string::npos) << "an ended run removes its snapshot";
}

// SIGUSR1 writes the summary of the run so far, whole, and the run goes on to end normally.
TEST_F(StatusCommand, SigUsr1WritesTheSummarySoFar)
{
    const std::string summary = dir.File("summary.html");
    RunningQuorvel run(ProjectFile(dir, "reported", dir.path(), summary), env);
    ASSERT_TRUE(run.WaitFor("-> Check passed"));
    run.Signal(SIGUSR1);
    EXPECT_TRUE(WaitUntil([&] { return PathExists(summary); }, 10s));
    EXPECT_NE(ReadFile(summary).find("</html>"), std::string::npos);
    const size_t passed = run.Count("-> Check passed");
    EXPECT_TRUE(run.WaitFor("-> Check passed", passed + 1)) << "the run goes on";
    run.Signal(SIGTERM);
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
}

} // namespace
