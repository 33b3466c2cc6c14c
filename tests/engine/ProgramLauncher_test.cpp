#include "engine/ProgramLauncher.h"

#include "support/TestEnv.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void Started(const std::string& commandLine)
{
    std::string error;
    EXPECT_EQ(ProgramLauncher::Start(commandLine, &error), 0) << commandLine << ": " << error;
}

// The program waits for a file that the test makes only after Start has returned, then writes
// its arguments, whether it inherited the test's descriptor and what its input is to OUT.part,
// and renames it, so a file that exists is complete.
TEST(ProgramLauncher, StartsWithoutWaitingWithEachArgumentNullInputAndNoOtherDescriptor)
{
    TempDir dir;
    const std::string out = dir.File("out");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0); // deliberately without close-on-exec
    const int inheritable = ::fcntl(pipeFds[1], F_DUPFD, 50);
    ASSERT_GE(inheritable, 50);
    Started("sh -c 'go=$0; out=$1; shift; while [ ! -e \"$go\" ]; do sleep 0.01; done; { printf \"%s\\n\" \"$@\"; "
            "if [ -e /proc/$$/fd/"
        + std::to_string(inheritable)
        + " ]; then echo inherited; else echo closed; fi; readlink /proc/$$/fd/0; } > \"$out.part\"; "
          "mv \"$out.part\" \"$out\"' "
        + dir.File("go") + " " + out + " \"a b\" c '' \"d'e\" 'f\\g' \"$HOME\"");
    WriteFile(dir.File("go"), "");
    EXPECT_TRUE(WaitUntil([&] { return ::access(out.c_str(), F_OK) == 0; })) << out << " never appeared";
    EXPECT_EQ(ReadFile(out), "a b\nc\n\nd'e\nf\\g\n$HOME\nclosed\n/dev/null\n");
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
    };
    for (const auto& [line, expected] : cases) {
        std::string error;
        EXPECT_EQ(ProgramLauncher::Start(line, &error), -1) << line;
        EXPECT_EQ(error, expected) << line;
    }
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
    WaitUntil([] { return ChildrenOf(::getpid()).size() == 1; });
    int status = 0;
    ASSERT_EQ(::waitpid(own, &status, 0), own);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

} // namespace
