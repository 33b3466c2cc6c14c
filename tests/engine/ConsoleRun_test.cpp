#include "engine/EngineFixture.h"

#include <csignal>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ConsoleRun : public EngineTest {
protected:
    std::string SaveProject()
    {
        const std::string path = dir.File("project.qvl");
        EXPECT_EQ(project.Save(path), 0);
        return path;
    }
};

TEST_F(ConsoleRun, OneLinePerStatusChange)
{
    Quorvel event = FileEvent("nightly check", dir.path());
    event.iterType = ITER_COUNT;
    event.iExecs = 2;
    project.AddEvent(event);
    project.AddEvent(FileEvent("", dir.File("absent")));
    const ProcessResult result = RunQuorvel({"-c", SaveProject()});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::regex line(R"([ 12]\d:\d\d:\d\d\.\d{3}: File or Folder Access->Always->No action \((.*)\) -> (.+))");
    std::map<std::string, std::vector<std::string>> statuses;
    std::istringstream lines(result.out);
    std::string text;
    std::getline(lines, text);
    EXPECT_EQ(text, " Olvex Quorvel (console mode)...");
    std::getline(lines, text);
    EXPECT_EQ(text, "");
    while (std::getline(lines, text)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        statuses[match[1]].push_back(match[2]);
    }
    EXPECT_EQ(statuses["nightly check"],
              (std::vector<std::string>{"Started", "Executing", "Check passed", "Do action", "Executing",
                                        "Check passed", "Do action", "Completed"}));
    EXPECT_EQ(statuses[""],
              (std::vector<std::string>{"Started", "Executing", "Check failed", "Do action", "Completed"}));
}

TEST_F(ConsoleRun, EmptyProjectHasNothingToRun)
{
    const ProcessResult result = RunQuorvel({"-c", SaveProject()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Warning!: Project is empty or all events are disabled."), std::string::npos);
}

// A running quorvel whose standard output is read line by line.
class RunningQuorvel {
public:
    explicit RunningQuorvel(const std::string& project)
    {
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::execl(QUORVEL_BINARY, QUORVEL_BINARY, "-c", project.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        fd_ = out[0];
    }
    ~RunningQuorvel()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(fd_);
    }

    // Reads until `text` has appeared in the output or 10 s have passed.
    bool WaitFor(const std::string& text)
    {
        for (int i = 0; i < 200 && output.find(text) == std::string::npos; ++i) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && !ReadSome())
                break;
        }
        return output.find(text) != std::string::npos;
    }
    void Signal(int sig) { ::kill(pid_, sig); }
    int Wait()
    {
        while (ReadSome()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string output;

private:
    bool ReadSome()
    {
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0)
            output.append(buffer, static_cast<size_t>(n));
        return n > 0;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
};

TEST_F(ConsoleRun, InterruptBreaksTheRunAndEndsNormally)
{
    for (const char* note : {"first", "second"}) {
        Quorvel event = FileEvent(note, dir.path());
        event.iterType = ITER_ENDLESS;
        event.intType = INTERVAL_WAIT;
        event.iInterval = 1;
        event.intTimeType = UNIT_HOURS;
        project.AddEvent(event);
    }
    project.reportFile = dir.File("report.txt");
    project.summaryFile = dir.File("summary.html");
    RunningQuorvel quorvel(SaveProject());
    ASSERT_TRUE(quorvel.WaitFor("(second) -> Paused"));
    ASSERT_TRUE(quorvel.WaitFor("(first) -> Paused"));
    quorvel.Signal(SIGINT);
    EXPECT_EQ(quorvel.Wait(), 0);
    EXPECT_NE(quorvel.output.find("(first) -> Cancelled"), std::string::npos) << quorvel.output;
    EXPECT_NE(quorvel.output.find("(second) -> Cancelled"), std::string::npos);
    EXPECT_EQ(ReportLines(dir.File("report.txt")).size(), 3u);
    EXPECT_TRUE(PathExists(dir.File("summary.html")));
}

TEST_F(ConsoleRun, TerminateSignalBreaksToo)
{
    Quorvel event = FileEvent("waiting", dir.path());
    event.delayType = DELAY_FOR;
    event.iDelay = 1;
    event.delayTimeType = UNIT_HOURS;
    project.AddEvent(event);
    RunningQuorvel quorvel(SaveProject());
    ASSERT_TRUE(quorvel.WaitFor("-> Paused"));
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0);
    EXPECT_NE(quorvel.output.find("(waiting) -> Cancelled"), std::string::npos);
}

} // namespace
