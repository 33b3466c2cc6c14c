#include "app/CEventApp.h"
#include "support/TestEnv.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(ParseParam, OnlyTheSecondCharacterOfASwitchCounts)
{
    CEventApp app;
    app.ParseParam("-console");
    EXPECT_EQ(app.consoleFlag, 1);
    EXPECT_EQ(app.runFlag, 1);
    EXPECT_EQ(app.quitFlag, 0);

    CEventApp other;
    other.ParseParam("/r");
    other.ParseParam("-quit");
    other.ParseParam("-C"); // case-sensitive: ignored
    other.ParseParam("-x");
    EXPECT_EQ(other.consoleFlag, 0);
    EXPECT_EQ(other.runFlag, 1);
    EXPECT_EQ(other.quitFlag, 1);
    EXPECT_TRUE(other.missingFiles.empty());
}

TEST(ParseParam, LaterExistingFilesReplaceEarlierOnes)
{
    TempDir dir;
    WriteFile(dir.File("a.qvl"), "");
    WriteFile(dir.File("b.qvl"), "");
    CEventApp app;
    app.ParseParam(dir.File("a.qvl")); // an absolute path that exists is a file, not a switch
    app.ParseParam(dir.File("b.qvl"));
    app.ParseParam(dir.File("missing.qvl"));
    EXPECT_EQ(app.projectPath, dir.File("b.qvl"));
    EXPECT_EQ(app.consoleFlag, 0);
    ASSERT_EQ(app.missingFiles.size(), 1u);
    EXPECT_EQ(app.missingFiles[0], dir.File("missing.qvl"));
}

// A project that is not there is an error (2); no project at all, or an empty one, leaves nothing
// to run (1). The banner and a whole run are checked with the engine's console runs.
TEST(ConsoleMode, MissingOrNoProject)
{
    TempDir dir;
    const ProcessResult missing = RunQuorvel({ "-c", dir.File("nope.qvl") });
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find(dir.File("nope.qvl")), std::string::npos) << missing.err;
    const ProcessResult none = RunQuorvel({ "-c" });
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no project file"), std::string::npos);
    WriteFile(dir.File("empty.qvl"), "");
    const ProcessResult empty = RunQuorvel({ "-c", dir.File("empty.qvl") });
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("Warning!: Project is empty or all events are disabled."), std::string::npos);
}

const std::vector<std::string> kNoDisplay = { "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=" };

TEST(WindowMode, WithoutADisplaySaysSoInOneLine)
{
    TempDir dir;
    WriteFile(dir.File("p.qvl"), "");
    const ProcessResult result = RunQuorvel({ "-C", dir.File("p.qvl") }, kNoDisplay);
    EXPECT_EQ(result.status, 2);
    EXPECT_THAT(result.err, testing::AllOf(testing::HasSubstr("no display"), testing::HasSubstr("quorvel -c")));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST(CommandLine, HelpAndVersionAreWholeWords)
{
    const ProcessResult help = RunQuorvel({ "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: quorvel"), std::string::npos);
    const ProcessResult version = RunQuorvel({ "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quorvel ", 0), 0u);
    // "--verbose" is an ordinary switch whose second character is '-': ignored, so window mode.
    EXPECT_EQ(RunQuorvel({ "--verbose" }, kNoDisplay).status, 2);
}

} // namespace
