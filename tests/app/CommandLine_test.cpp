#include "app/CEventApp.h"
#include "external/support/FileOps.h"
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
// whose second character is '-': ignored, so window mode. The long options written with one dash
// are the long options, not the switch of their second character ("-check" is not "-c": the
// project it names is checked, never run). The banner and a whole run are checked with the
// engine's console runs.
TEST(CommandLine, StatusesAndMessages)
{
    TempDir dir;
    WriteFile(dir.File("empty.qvl"), "");
    // Run, it would write its report.
    WriteFile(dir.File("p.qvl"),
        "[Common]\nItems = 1\nReport = \"" + dir.File("report.txt") + "\"\n[Item0]\ntype = 1\niterType = 1\nFileOrDir = \"/\"\n");
    const std::string noDisplay = "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); run a "
                                  "project without a window with: quorvel -c project.qvl\n";
    // A build without the window (or the package quorvel alone) names the package that has it first.
    const bool hasWindow = ::access((std::filesystem::path(QUORVEL_BINARY).parent_path() / "quorvel-window").c_str(),
                               X_OK) == 0;
    const std::string noWindow
        = hasWindow ? noDisplay : "the main window is not installed (it is in the package quorvel-gui)";
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
        { { "-help" }, 0, "Usage: quorvel", "" },
        { { "-h" }, 0, "Usage: quorvel", "" },
        { { "-version" }, 0, "quorvel ", "" },
        { { "-v" }, 0, "quorvel ", "" },
        { { "-check", dir.File("p.qvl") }, 0, "quorvel: checked 1 file: no problems\n", "" },
        { { "-check", "-c", dir.File("p.qvl") }, 2, "", "--check takes no -c" },
        { { "-status" }, 3, "", "quorvel: no project runs on this machine\n" },
        { { "status", "-c" }, 2, "", "status takes no -c" },
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunQuorvel(c.args, { "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=" });
        EXPECT_EQ(result.status, c.status) << c.args[0];
        EXPECT_EQ(result.out.rfind(c.out, 0), 0u) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir.File("report.txt")));
}

// --check prints each problem, then one verdict line; warnings count only with --strict. A file
// that cannot be read (a folder: tests run as root, who reads any file) is status 2, also for a
// console run, which also refuses a file that does not parse instead of running nothing.
TEST(CommandLine, CheckAndConsoleRunOfBrokenFiles)
{
    TempDir dir;
    WriteFile(dir.File("sound.qvl"), "[Common]\nItems = 1\n[Item0]\niterType = 1\nSQL = \"select 1\"\n");
    WriteFile(dir.File("warn.qvl"), "[Common]\nItems = 1\nAuthr = \"me\"\n[Item0]\niterType = 1\nSQL = \"select 1\"\n");
    WriteFile(dir.File("bad.qvl"), "[Common]\nItems = \"1\"\n");
    WriteFile(dir.File("broken.qvl"), "Items = = 1\n");
    // Deeper than the parser could descend on its stack: refused with the line, never a crash.
    std::string parts = "k";
    for (int i = 1; i < 45000; ++i)
        parts += ".k";
    WriteFile(dir.File("deep-key.qvl"), "[Common]\nItems = 0\n" + parts + " = 1\n");
    WriteFile(dir.File("deep-header.qvl"), "Items = 0\n[" + parts.substr(0, 80000) + "]\n");
    const std::string sound = dir.File("sound.qvl");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err; // a piece of standard output, of standard error
    } cases[] = {
        { { "--check", sound }, 0, "quorvel: checked 1 file: no problems\n", "" },
        { { "--check", dir.File("warn.qvl"), sound }, 0,
            dir.File("warn.qvl") + ":3: warning: [Common] unknown key \"Authr\": it is not read (did you mean "
                                   "\"Author\"?)\nquorvel: checked 2 files: 1 warning\n", "" },
        { { "--strict", "--check", dir.File("warn.qvl") }, 1, "1 warning (--strict: they count)", "" },
        { { "--check", dir.File("bad.qvl") }, 1, dir.File("bad.qvl") + ":2: [Common] Items is a string", "" },
        { { "--check", dir.File("broken.qvl") }, 1, dir.File("broken.qvl") + ":1: does not parse (column 9)", "" },
        { { "--check", dir.path(), sound }, 2, dir.path() + ": cannot be read: Is a directory\n", "" },
        { { "--check" }, 2, "", "needs a project file" },
        { { "-c", dir.path() }, 2, "", dir.path() + ": cannot be read: Is a directory\n" },
        { { "-c", dir.File("broken.qvl") }, 2, "", dir.File("broken.qvl") + ":1: does not parse (column 9)" },
        { { "--check", dir.File("deep-key.qvl") }, 1,
            dir.File("deep-key.qvl") + ":3: does not parse (column 252): nested more than 128 levels deep", "" },
        { { "-c", dir.File("deep-key.qvl") }, 2, "",
            dir.File("deep-key.qvl") + ":3: does not parse (column 252): nested more than 128 levels deep" },
        { { "--check", dir.File("deep-header.qvl") }, 1, dir.File("deep-header.qvl") + ":2: does not parse", "" },
        { { "-c", dir.File("deep-header.qvl") }, 2, "", dir.File("deep-header.qvl") + ":2: does not parse" },
        { { "-c", dir.File("bad.qvl") }, 1, " Olvex Quorvel (console mode)", dir.File("bad.qvl") + ":2: [Common] Items" },
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunQuorvel(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[1];
        EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        if (c.status == 2) {
            EXPECT_EQ(result.err.find("Project is empty"), std::string::npos) << result.err;
        }
    }
}

} // namespace
