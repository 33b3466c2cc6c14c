#include "engine/ProgramLauncher.h"

#include "support/TestEnv.h"

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A script writes its result to FILE.part and renames it, so a file that exists is complete.
std::string ResultOf(const std::string& path)
{
    EXPECT_TRUE(WaitUntil([&] { return ::access(path.c_str(), F_OK) == 0; })) << path << " never appeared";
    return ReadFile(path);
}

void Started(const std::string& commandLine)
{
    std::string error;
    EXPECT_EQ(ProgramLauncher::Start(commandLine, &error), 0) << commandLine << ": " << error;
}

TEST(ProgramLauncher, StartsAProgramWithoutWaitingForIt)
{
    TempDir dir;
    const std::string go = dir.File("go");
    const std::string out = dir.File("out");
    // The program waits for a file that the test makes only after Start has returned.
    Started("sh -c 'while [ ! -e \"$1\" ]; do sleep 0.01; done; echo ran > \"$2.part\"; mv \"$2.part\" \"$2\"' sh " + go
        + " " + out);
    WriteFile(go, "");
    EXPECT_EQ(ResultOf(out), "ran\n");
}

TEST(ProgramLauncher, PassesEachArgumentUnchanged)
{
    TempDir dir;
    const std::string out = dir.File("argv");
    Started("sh -c 'printf \"%s\\n\" \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0\"' " + out
        + " \"a b\" c '' \"d'e\" 'f\\g' \"$HOME\"");
    EXPECT_EQ(ResultOf(out), "a b\nc\n\nd'e\nf\\g\n$HOME\n");
}

TEST(ProgramLauncher, GivesTheProgramNullInputAndNoOtherDescriptor)
{
    TempDir dir;
    const std::string out = dir.File("fds");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0); // deliberately without close-on-exec
    const int inheritable = ::fcntl(pipeFds[1], F_DUPFD, 50);
    ASSERT_GE(inheritable, 50);
    Started("sh -c '{ if [ -e /proc/$$/fd/" + std::to_string(inheritable)
        + " ]; then echo inherited; else echo closed; fi; readlink /proc/$$/fd/0; } > \"$0.part\"; "
          "mv \"$0.part\" \"$0\"' "
        + out);
    EXPECT_EQ(ResultOf(out), "closed\n/dev/null\n");
    for (int fd : { pipeFds[0], pipeFds[1], inheritable })
        ::close(fd);
}

TEST(ProgramLauncher, TellsWhyAProgramCannotStart)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases {
        { "quorvel-no-such-program --flag", "No such file or directory" },
        { dir.path(), "Permission denied" },
        { "echo 'open", "the single quote at character 6 is never closed" },
        { "   ", "empty command line" },
    };
    for (const auto& [line, expected] : cases) {
        std::string error;
        EXPECT_EQ(ProgramLauncher::Start(line, &error), -1) << line;
        EXPECT_EQ(error, expected) << line;
    }
}

TEST(ProgramLauncher, ManyStartsFromSeveralThreadsLeaveNoZombiesAndNoDescriptors)
{
    Started("true"); // the reaper's own descriptor comes with the first start
    ASSERT_TRUE(WaitUntil([] { return ChildrenOf(::getpid()) == 0; })); // no pidfd is open now
    const size_t before = OpenDescriptors(::getpid());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i)
                Started("true");
        });
    for (std::thread& thread : threads)
        thread.join();
    WaitUntil([&] { return ChildrenOf(::getpid()) == 0 && OpenDescriptors(::getpid()) == before; });
    EXPECT_EQ(ChildrenOf(::getpid(), 'Z'), 0u);
    EXPECT_EQ(ChildrenOf(::getpid()), 0u);
    EXPECT_EQ(OpenDescriptors(::getpid()), before);
}

TEST(ProgramLauncher, LeavesOtherChildrenToWhoeverWaitsForThem)
{
    const pid_t own = ::fork();
    ASSERT_GE(own, 0);
    if (own == 0)
        ::_exit(7);
    for (int i = 0; i < 20; ++i)
        Started("true");
    // Once the started programs are gone, the forked child must still be there to be waited for.
    WaitUntil([] { return ChildrenOf(::getpid()) == 1; });
    int status = 0;
    ASSERT_EQ(::waitpid(own, &status, 0), own);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

} // namespace
