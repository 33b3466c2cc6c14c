#include "engine/ProjectCheck.h"
#include "model/QuorvelRunner.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A sound project of one SQL event; the cases below change one thing in it.
// (once, so that it does not check back to back)
const std::string kSound = "[Common]\nItems = 1\n[Item0]\niterType = 1\nSQL = \"select 1\"\n";

// The report without the file name: "line: message" per problem.
std::vector<std::string> Lines(const ProjectCheck& check, const std::string& path)
{
    std::vector<std::string> lines;
    for (const ProjectProblem& problem : check.Problems())
        lines.push_back(check.Format(problem).substr(path.size() + 1));
    return lines;
}

// One small file per kind of problem, with every line the check prints for it. A line ending in
// "..." needs only to begin so (the parser's own wording).
TEST(ProjectCheck, EachKindOfProblemNamedWithItsLine)
{
    std::string twentyFive = "[Common]\nItems = 25\n";
    for (int i = 0; i < 25; ++i)
        twentyFive += "[Item" + std::to_string(i) + "]\niterType = 1\nSQL = \"select 1\"\n";
    const struct {
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        { kSound, {} },
        { "[Common]\nItems = = 1\n", { "2: does not parse (column 9): ..." } },
        { kSound + "iInterval = \"5\"\n", { "6: [Item0] iInterval is a string (\"5\"), not an integer: it reads as 0" } },
        { kSound + "enabled = true\n", { "6: [Item0] enabled is a boolean (true), not an integer: it reads as 1" } },
        { kSound + "iDelay = 9999999999\n",
            { "6: [Item0] iDelay is 9999999999, which does not fit in 32 bits: it reads as 0" } },
        { "[Common]\nItems = 1\n[Item0]\niterType = 1\nSQL = 5\n",
            { "5: [Item0] SQL is an integer (5), not a string: it reads as \"\"",
                "5: [Item0] is an SQL check without a statement: SQL is empty" } },
        { kSound + "iExec = 5\nfrobnicate = 1\n",
            { "6: warning: [Item0] unknown key \"iExec\": it is not read (did you mean \"iExecs\"?)",
                "7: warning: [Item0] unknown key \"frobnicate\": it is not read" } },
        { kSound + "[item0_action]\n[Sumary]\n",
            { "6: warning: unknown section [item0_action]: it is not read (did you mean [Item0_action]?)",
                "7: warning: unknown section [Sumary]: it is not read" } },
        { "Author = \"me\"\n" + kSound,
            { "1: warning: \"Author\" is outside every section: it is not read (it belongs in [Common])" } },
        { "[Common]\nItems = 3\n[Item0]\niterType = 1\nSQL = \"select 1\"\n[Item1]\niterType = 1\nSQL = \"select 2\"\n",
            { "2: \"Items\" is 3, but the last event section is [Item1]: 2 events load" } },
        { "[Common]\nItems = 0\n[Item0]\niterType = 1\nSQL = \"select 1\"\n",
            { "2: the project has no event: a run refuses it", "3: warning: [Item0] is not read: \"Items\" is 0" } },
        { twentyFive, { "2: 25 events load, but a run takes at most 24" } },
        { "[Common]\nItems = 2\n[Item1]\niterType = 1\nSQL = \"select 1\"\n",
            { "2: [Item0] is missing: event 1 loads with the read defaults (an SQL check without a statement)" } },
        { kSound + "cond = 9\n",
            { "6: [Item0] cond is 9, no known condition (0 always, 1 on error, 2 on success, 3 row count, 4 result "
              "value, 5 check time)" } },
        { kSound + "delayType = 2\ntmStartAt = \"8h30\"\n",
            { "7: [Item0] tmStartAt \"8h30\" is no time of day (HH:MM:SS): the run refuses it and starts the event at "
              "once" } },
        { kSound + "intType = 1\nintTimeType = 2\niInterval = 720\n",
            { "8: warning: [Item0] iInterval is 720 hours, which earlier versions counted in 32 bits and so waited no "
              "time at all; it now waits as long as it says" } },
        { kSound + "delayType = 1\ndelayTimeType = 2\niDelay = 1194\n",
            { "8: warning: [Item0] iDelay is 1194 hours, which earlier versions counted in 32 bits and so waited 57 min "
              "12 s; it now waits as long as it says" } },
        { kSound + "intType = 1\nintTimeType = 2\niInterval = 9000\n",
            { "8: warning: [Item0] iInterval is 9000 hours, which earlier versions counted in 32 bits and so waited no "
              "time at all; it now waits as long as it says",
                "8: warning: [Item0] iInterval is 9000 hours, more than a year" } },
        { kSound + "intType = 1\nintTimeType = 2\niInterval = 596\n", {} },
        { "[Common]\nItems = 1\n[Item0]\niterType = 1\ntype = 1\n", { "3: [Item0] is a file check without a path: FileOrDir is empty" } },
        { "[Common]\nItems = 1\n[Item0]\niterType = 1\ntype = 2\nPerfCounter = \"\"\n",
            { "6: [Item0] is a counter check without a counter path: PerfCounter is empty" } },
        { kSound + "action = 2\n", { "3: [Item0] is a program action without a program: sProgram is empty" } },
        { kSound + "action = 1\n", { "3: [Item0] is an SQL action without a statement: ActionSQL is empty" } },
        { kSound + "[Item0_connect]\ntype = 7\n",
            { "7: [Item0_connect] type is 7, no known connection kind (0 SQLite, 1 PostgreSQL, 2 ODBC)" } },
        { "[Common]\nTextEncoding = \"latin1\"\nMetricsProject = \"db\"\nConsoleLines = \"some\"\n" + kSound.substr(9),
            { "2: warning: [Common] TextEncoding \"latin1\" is no known encoding (UTF-8, UTF-16LE): the preference "
              "decides",
                "4: warning: [Common] ConsoleLines \"some\" is no known choice (all, changes, none): the preference "
                "decides" } },
        { "[Common]\nShareConnections = 2\n" + kSound.substr(9),
            { "2: [Common] ShareConnections is 2, no known choice (0 each event its own connection, 1 shared)" } },
        { kSound + "iActWhen = 2\n",
            { "6: [Item0] iActWhen is 2, no known choice of when to act (0 every time the condition holds, 1 when the "
              "condition starts to hold)" } },
        { kSound + "iRepeatEvery = 4\n",
            { "6: warning: [Item0] iRepeatEvery is 4, but the event acts every time the condition holds: it has no "
              "effect" } },
        { kSound + "iActWhen = 1\niRepeatEvery = 4\nbActOnRecovery = 1\n", {} },
        // What would run badly.
        { "[Common]\nItems = 1\n[Item0]\nSQL = \"select 1\"\n",
            { "3: warning: [Item0] runs without end and without an interval: it checks back to back, thousands of "
              "times a second (set intType = 1 and an iInterval)" } },
        { "[Common]\nItems = 1\n[Item0]\nSQL = \"select 1\"\nintType = 1\niInterval = 0\n",
            { "6: warning: [Item0] runs without end and without an interval: it checks back to back, thousands of "
              "times a second (set intType = 1 and an iInterval)" } },
        { "[Common]\nReport = \"/nonexistent-quorvel/r.txt\"\n" + kSound.substr(9),
            { "2: warning: Report \"/nonexistent-quorvel/r.txt\": its folder /nonexistent-quorvel cannot be used (No "
              "such file or directory): the run cannot write it" } },
        { kSound + "[Item0_connect]\ntarget = \"x.db\"\n",
            { "3: warning: [Item0] is an SQL check with a connection, but bNeedConnect is 0: the editor shows its "
              "connection as not required (set bNeedConnect = 1)" } },
        { kSound + "action = 2\nsProgram = \"touch 'x\"\n", { "7: warning: [Item0] sProgram cannot be started: ..." } },
        { "[Common]\nItems = 1\n[Item0]\niterType = 1\ntype = 2\nPerfCounter = \"\\\\Memory\\\\Nothing\"\n",
            { "6: warning: [Item0] PerfCounter \"\\Memory\\Nothing\" is no counter that Quorvel knows: every check "
              "fails" } },
        { "[Common]\nItems = 1\n[Item0]\niterType = 1\nSQL = \"select 1\\u0000; drop\"\n",
            { "5: warning: [Item0] SQL holds a NUL character: the run cuts the text there" } },
        { kSound + "[Item0_connect]\npassword = \"secret\"\n",
            { "7: warning: [Item0_connect] holds a password, but the file can be read by others (mode 644): chmod 600 "
              "it" } },
        // A disabled event does not run: what would stop it running is a warning only.
        { kSound + "enabled = 0\naction = 2\n",
            { "2: warning: no event is enabled: a run has nothing to do and refuses it",
                "3: warning: [Item0] is a program action without a program: sProgram is empty; the event is disabled" } },
    };
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    for (const auto& c : cases) {
        WriteFile(path, c.content);
        const ProjectCheck check(path);
        const std::vector<std::string> lines = Lines(check, path);
        ASSERT_EQ(lines.size(), c.lines.size()) << c.content << check.Report();
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& want = c.lines[i];
            if (want.size() > 3 && want.compare(want.size() - 3, 3, "...") == 0)
                EXPECT_EQ(lines[i].rfind(want.substr(0, want.size() - 3), 0), 0u) << lines[i];
            else
                EXPECT_EQ(lines[i], want) << c.content;
        }
        QuorvelRunner loaded;
        loaded.Load(path);
        EXPECT_EQ(check.EventCount(), loaded.Count()) << c.content;
    }
}

TEST(ProjectCheck, ShippedExamplesAreSound)
{
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEL_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".qvl")
            continue;
        const ProjectCheck check(entry.path().string());
        EXPECT_EQ(check.Report(), "");
        EXPECT_GT(check.EventCount(), 0);
    }
}

} // namespace
