#include "app/CEventApp.h"
#include "support/TestEnv.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// console, run and quit flags, the project and the files not found.
auto Parsed(const std::vector<std::string>& params)
{
    CEventApp app;
    for (const std::string& param : params)
        app.ParseParam(param);
    return std::tuple(app.consoleFlag, app.runFlag, app.quitFlag, app.projectPath, app.missingFiles);
}

TEST(ParseParam, OnlyTheSecondCharacterOfASwitchCountsAndLaterExistingFilesReplaceEarlierOnes)
{
    using Files = std::vector<std::string>;
    EXPECT_EQ(Parsed({ "-console" }), std::tuple(1, 1, 0, "", Files {}));
    // "-C" is ignored: switches are case-sensitive.
    EXPECT_EQ(Parsed({ "/r", "-quit", "-C", "-x" }), std::tuple(0, 1, 1, "", Files {}));
    TempDir dir;
    WriteFile(dir.File("a.qvl"), "");
    WriteFile(dir.File("b.qvl"), "");
    // An absolute path that exists is a file, not a switch.
    EXPECT_EQ(Parsed({ dir.File("a.qvl"), dir.File("b.qvl"), dir.File("missing.qvl") }),
        std::tuple(0, 0, 0, dir.File("b.qvl"), Files { dir.File("missing.qvl") }));
}

// A project that is not there is an error (2); no project at all, or an empty one, leaves nothing
// to run (1). The banner and a whole run are checked with the engine's console runs.
TEST(ConsoleMode, MissingOrNoProject)
{
    TempDir dir;
    WriteFile(dir.File("empty.qvl"), "");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string error;
    } cases[] = {
        { { "-c", dir.File("nope.qvl") }, 2, dir.File("nope.qvl") },
        { { "-c" }, 1, "no project file" },
        { { "-c", dir.File("empty.qvl") }, 1, "Warning!: Project is empty or all events are disabled." },
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunQuorvel(c.args);
        EXPECT_EQ(result.status, c.status) << c.error;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
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
