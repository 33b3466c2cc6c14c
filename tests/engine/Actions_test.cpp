#include "engine/Actions.h"
#include "engine/EngineFixture.h"
#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"

#include <algorithm>
#include <gmock/gmock.h>

namespace {

class Actions : public EngineTest {
protected:
    std::string db = MakeSqliteFile(dir.File("actions.db"),
        "CREATE TABLE names (name TEXT);"
        "INSERT INTO names VALUES ('O''Brien');"
        "CREATE TABLE seen (v TEXT);");
};

TEST(SubstituteValue, QuotesAreDoubledOnlyInsideLiterals)
{
    const char* const cases[][3] = {
        { "UPDATE t SET n = $VALUE$", "42", "UPDATE t SET n = 42" },
        { "INSERT INTO t VALUES ('$VALUE$')", "O'Brien", "INSERT INTO t VALUES ('O''Brien')" },
        { "SELECT 'it''s $VALUE$', $VALUE$", "a'b", "SELECT 'it''s a''b', a'b" },
        { "SELECT '$VALUE$' -- don't\n, $VALUE$", "x'", "SELECT 'x''' -- don't\n, x'" },
        { "/* '$VALUE$ */ '$VALUE$'", "q'", "/* 'q' */ 'q'''" },
        { "$value$ $VALUE", "1", "$value$ $VALUE" }, // the macro is case-sensitive
        { "'$VALUE$", "'); DROP TABLE t; --", "'''); DROP TABLE t; --" },
    };
    for (const auto& [sql, value, expected] : cases)
        EXPECT_EQ(SubstituteValue(sql, value), expected);
    EXPECT_EQ(SubstituteMacro("'$STATE$' $VALUE$", "$STATE$", "a'b"), "'a''b' $VALUE$");
}

// Text, number and "N/A" values go into the action statement safely, on a connection of its own.
TEST_F(Actions, ValuesGoIntoTheActionStatementSafely)
{
    const char* const cases[][3] = { { "quote", "SELECT name FROM names", "INSERT INTO seen VALUES ('$VALUE$')" },
        { "number", "SELECT 42", "INSERT INTO seen VALUES ($VALUE$)" },
        { "none", "SELECT 1 WHERE 0", "INSERT INTO seen VALUES ('$VALUE$')" } };
    for (const auto& [note, sql, action] : cases) {
        Quorvel event = WithAction(SqlEvent(note, db, sql), ACTION_SQL, action);
        event.actionConn.user = "another"; // a different description: a connection of its own
        project.AddEvent(event);
    }
    project.reportFile = dir.File("report.txt");
    project.Run(&page, nullptr);
    bool reported = false;
    for (const std::string& line : ReportLines(dir.File("report.txt")))
        reported |= SplitTabs(line).back() == "INSERT INTO seen VALUES ('O''Brien')";
    EXPECT_TRUE(reported);
    project.Clear();
    project.AddEvent(SqlEvent("seen", db, "SELECT group_concat(v, ',') FROM (SELECT v FROM seen ORDER BY v)"));
    project.Run(&page, nullptr);
    EXPECT_EQ(project.GetEvent(0)->value, "42,N/A,O'Brien");
}

// Only the check's own connection can see its TEMP table: the first iteration's check fails (no
// table yet), "Always" makes the action create it; the second check finds it. A failed check
// connection makes the action connect on its own; failed actions do not end the event, and their
// errors are logged.
TEST_F(Actions, SqlActionsUseTheCheckConnectionAndLogTheirFailures)
{
    Quorvel reuse = Times(SqlEvent("reuse", db, "SELECT v FROM temp_seen"), 2);
    reuse.ActionSQL = "CREATE TEMP TABLE temp_seen AS SELECT 7 AS v  \r\n";
    Quorvel noDb = Times(SqlEvent("no db", dir.File("missing.db"), "SELECT 1"), 2);
    noDb.ActionSQL = "SELECT 2";
    noDb.bTermEvent = 1;
    Quorvel bad = SqlEvent("bad action", db, "SELECT 1");
    bad.ActionSQL = "INSERT INTO nowhere VALUES (1)";
    bad.actionConn.user = "other";
    for (Quorvel* event : { &reuse, &noDb, &bad }) {
        event->action = ACTION_SQL;
        project.AddEvent(*event);
    }
    project.Run(&page, nullptr);
    EXPECT_EQ(project.GetEvent(0)->results.passed, 1);
    EXPECT_EQ(page.Count("reuse", "Action Error"), 1) << "the second CREATE finds the table already there";
    EXPECT_EQ(page.Count("no db", "Action Error"), 2);
    EXPECT_EQ(page.Count("bad action", "Action Error"), 1);
    EXPECT_THAT(CLog::GetLastRows(),
        testing::AllOf(testing::HasSubstr("Connection for Action error"),
            testing::HasSubstr("Action Execution error\tno such table: nowhere")));
}

TEST_F(Actions, ProgramActionStartsProgramsAndReportsFailures)
{
    const std::pair<const char*, std::string> programs[]
        = { { "starts", "touch '" + dir.File("made by action") + "'" }, { "fails", "no-such-program-quorvel --flag" } };
    for (const auto& [note, program] : programs)
        project.AddEvent(WithAction(FileEvent(note, dir.path()), ACTION_PROGRAM, program));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("starts", "Action Error"), 0);
    EXPECT_EQ(page.Count("fails", "Action Error"), 1);
    const auto shown = box.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("no-such-program-quorvel --flag: ", 0), 0u) << shown[0];
    EXPECT_NE(CLog::GetLastRows().find(
                  "event 2 \"fails\": action failed: no-such-program-quorvel not started: No such file or directory"),
        std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return PathExists(dir.File("made by action")); }));
}

TEST_F(Actions, LogActionWritesTheCustomLogOrTheProgramLog)
{
    WriteFile(dir.File("f"), "abc");
    project.logFile = dir.File("custom_$DATE$.log");
    project.AddEvent(WithAction(Times(FileEvent("log", dir.File("f")), 2), ACTION_LOG, "size $VALUE$ on $DATE$"));
    project.Run(&page, nullptr);
    ASSERT_TRUE(PathExists(project.currentLogFile));
    const std::string date = project.currentLogFile.substr(dir.File("custom_").size(), 8);
    const std::string line = "size 3 on " + date + "\r\n";
    EXPECT_EQ(ReadFile(project.currentLogFile), "\xFF\xFE" + Utf8ToUtf16Le(line + line));

    project.logFile.clear();
    project.Run(&page, nullptr);
    EXPECT_NE(CLog::GetLastRows().find("User mesage: \tsize 3 on " + date), std::string::npos);
}

// The table changes before every check (over 2, over, over, under, over, over), and the program
// records the state it was given. Each check waits for the program of the last action, so that
// the lines come in the order of the actions. A second run starts afresh.
TEST_F(Actions, OnChangesARunActsOnStartRepeatAndRecoveryAndHoldsTheRestBack)
{
    const std::string queue = MakeSqliteFile(dir.File("q.db"), "CREATE TABLE q (n INTEGER); INSERT INTO q VALUES (0);");
    const std::string args = dir.File("args");
    Quorvel event = WithAction(Times(SqlEvent("queue", queue, "SELECT n FROM q"), 6), ACTION_PROGRAM,
        "sh -c 'printf \"%s\\n\" \"$1\" >> \"$0\"' '" + args + "' '$STATE$ it'\\''s'");
    event.cond = COND_RESULT_VALUE, event.resCheck = OP_GREATER, event.resCheckValue = 2;
    event.iActWhen = ACT_ON_START, event.iRepeatEvery = 2, event.bActOnRecovery = 1;
    project.AddEvent(event);
    project.reportFile = dir.File("report.txt");
    const auto written = [&] { return static_cast<int>(std::ranges::count(ReadFile(args), '\n')); };
    std::unique_ptr<CDB> writer = CDB::newDB(DS_SQLITE);
    CONN_INFO target { DS_SQLITE, queue, "", "", 0 };
    ASSERT_TRUE(CDB::isOK(writer->connect(&target)));
    const int values[] = { 5, 3, 9, 1, 4, 7 };
    int executions = 0, acted = 0;
    page.onStatus = [&](const std::string&, const std::string& status) {
        acted += status == "Do action";
        if (status == "Executing" && WaitUntil([&] { return written() == acted; }))
            writer->execute(StrFormat("UPDATE q SET n = %d", values[executions++]), 0);
    };
    project.Run(&page, nullptr);
    EXPECT_EQ(ReadFile(args), "PROBLEM it's\nREPEAT it's\nRECOVERED it's\nPROBLEM it's\n");
    const std::string held = "Condition holds, no change";
    const auto report = ReportLines(project.currentReportFile);
    EXPECT_EQ(std::ranges::count_if(report, [&](const std::string& l) { return l.ends_with("\t" + held); }), 2);
    EXPECT_EQ(page.Count("queue", held), 2);
    const ExecStats& stats = project.GetEvent(0)->results;
    EXPECT_EQ(std::tuple(stats.count, stats.actions, stats.heldBack), std::tuple(6, 4, 2));

    page.onStatus = nullptr;
    project.GetEvent(0)->iExecs = 1;
    project.Run(&page, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return written() == 5; }));
    EXPECT_THAT(ReadFile(args), testing::EndsWith("RECOVERED it's\nPROBLEM it's\nPROBLEM it's\n"));
}

} // namespace
