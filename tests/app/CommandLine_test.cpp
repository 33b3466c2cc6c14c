#include "app/CEventApp.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>
#include <unistd.h>

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
// to run (1). Without a display, window mode says so in one line; "--verbose" is an ordinary switch
// whose second character is '-': ignored, so window mode. The banner and a whole run are checked
// with the engine's console runs.
TEST(CommandLine, StatusesAndMessages)
{
    TempDir dir;
    WriteFile(dir.File("empty.qvl"), "");
    const std::string noDisplay = "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); run a "
                                  "project without a window with: quorvel -c project.qvl\n";
    // A build without the window (or the package quorvel alone) names the package that has it first.
    const bool hasWindow = ::access((std::filesystem::path(QUORVEL_BINARY).parent_path() / "quorvel-window").c_str(),
                               X_OK) == 0;
    const std::string noWindow = hasWindow ? noDisplay : "not installed (it is in the package quorvel-gui)";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err; // how standard output starts; a piece of standard error
    } cases[] = {
        { { "-c", dir.File("nope.qvl") }, 2, "", dir.File("nope.qvl") },
        { { "-c" }, 1, "", "no project file" },
        { { "-c", dir.File("empty.qvl") }, 1, "", "Warning!: Project is empty or all events are disabled." },
        { { "-C", dir.File("empty.qvl") }, 2, "", "quorvel: " + noWindow },
        { { "--verbose" }, 2, "", noWindow },
        { { "--help" }, 0, "Usage: quorvel", "" },
        { { "--version" }, 0, "quorvel ", "" },
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunQuorvel(c.args, { "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=" });
        EXPECT_EQ(result.status, c.status) << c.args[0];
        EXPECT_EQ(result.out.rfind(c.out, 0), 0u) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
}

} // namespace
