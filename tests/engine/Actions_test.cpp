#include "engine/Actions.h"
#include "engine/EngineFixture.h"
#include "external/support/CLog.h"
#include "external/support/Utf16.h"

#include <chrono>
#include <thread>

namespace {

class Actions : public EngineTest {
protected:
    std::string db = MakeDatabase("actions.db", "CREATE TABLE names (name TEXT);"
                                                "INSERT INTO names VALUES ('O''Brien');"
                                                "CREATE TABLE seen (v TEXT);");
};

TEST(SubstituteValue, QuotesAreDoubledOnlyInsideLiterals)
{
    EXPECT_EQ(SubstituteValue("UPDATE t SET n = $VALUE$", "42"), "UPDATE t SET n = 42");
    EXPECT_EQ(SubstituteValue("INSERT INTO t VALUES ('$VALUE$')", "O'Brien"), "INSERT INTO t VALUES ('O''Brien')");
    EXPECT_EQ(SubstituteValue("SELECT 'it''s $VALUE$', $VALUE$", "a'b"), "SELECT 'it''s a''b', a'b");
    EXPECT_EQ(SubstituteValue("SELECT '$VALUE$' -- don't\n, $VALUE$", "x'"), "SELECT 'x''' -- don't\n, x'");
    EXPECT_EQ(SubstituteValue("/* '$VALUE$ */ '$VALUE$'", "q'"), "/* 'q' */ 'q'''");
    EXPECT_EQ(SubstituteValue("$value$ $VALUE", "1"), "$value$ $VALUE") << "the macro is case-sensitive";
    EXPECT_EQ(SubstituteValue("'$VALUE$", "'); DROP TABLE t; --"), "'''); DROP TABLE t; --");
}

TEST_F(Actions, SqlActionRunsOnTheCheckConnection)
{
    // Only the check's own connection can see its TEMP table: the first iteration's check fails
    // (no table yet), "Always" makes the action create it; the second check finds it.
    Quorvel event = SqlEvent("reuse", db, "SELECT v FROM temp_seen");
    event.iterType = ITER_COUNT;
    event.iExecs = 2;
    event.action = ACTION_SQL;
    event.ActionSQL = "CREATE TEMP TABLE temp_seen AS SELECT 7 AS v  \r\n";
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_EQ(project.GetEvent(0)->results.passed, 1);
    EXPECT_EQ(page.Count("reuse", "Action Error"), 1) << "the second CREATE finds the table already there";
}

TEST_F(Actions, ValueGoesIntoTheActionStatementSafely)
{
    Quorvel event = SqlEvent("quote", db, "SELECT name FROM names");
    event.action = ACTION_SQL;
    event.ActionSQL = "INSERT INTO seen VALUES ('$VALUE$')";
    event.actionConn.user = "another"; // a different description: a connection of its own
    project.reportFile = dir.File("report.txt");
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_EQ(QueryValue(db, "SELECT v FROM seen"), "O'Brien");
    const auto lines = ReportLines(dir.File("report.txt"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(SplitTabs(lines[1]).at(9), "INSERT INTO seen VALUES ('O''Brien')");
}

TEST_F(Actions, NumberAndNotAvailableValues)
{
    Quorvel number = SqlEvent("number", db, "SELECT 42");
    number.action = ACTION_SQL;
    number.ActionSQL = "INSERT INTO seen VALUES ($VALUE$)";
    Quorvel none = SqlEvent("none", db, "SELECT 1 WHERE 0");
    none.action = ACTION_SQL;
    none.ActionSQL = "INSERT INTO seen VALUES ('$VALUE$')";
    project.AddEvent(number);
    project.AddEvent(none);
    project.Run(&page, nullptr);
    EXPECT_EQ(QueryValue(db, "SELECT group_concat(v, ',') FROM (SELECT v FROM seen ORDER BY v)"), "42,N/A");
}

TEST_F(Actions, FailedCheckConnectionMakesTheActionConnectOnItsOwn)
{
    Quorvel event = SqlEvent("no db", dir.File("missing.db"), "SELECT 1");
    event.action = ACTION_SQL;
    event.ActionSQL = "SELECT 2";
    event.bTermEvent = 1;
    event.iterType = ITER_COUNT;
    event.iExecs = 2;
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("no db", "Action Error"), 2) << "a failed action does not end the event";
    const std::string log = CLog::GetLastRows();
    EXPECT_NE(log.find("Connection for Action error"), std::string::npos);
}

TEST_F(Actions, FailingStatementOnItsOwnConnectionIsLogged)
{
    Quorvel event = SqlEvent("bad action", db, "SELECT 1");
    event.action = ACTION_SQL;
    event.ActionSQL = "INSERT INTO nowhere VALUES (1)";
    event.actionConn.user = "other";
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("bad action", "Action Error"), 1);
    EXPECT_NE(CLog::GetLastRows().find("Action Execution error\tno such table: nowhere"), std::string::npos);
}

TEST_F(Actions, ProgramActionStartsProgramsAndReportsFailures)
{
    Quorvel starts = FileEvent("starts", dir.path());
    starts.action = ACTION_PROGRAM;
    starts.sProgram = "touch '" + dir.File("made by action") + "'";
    Quorvel fails = FileEvent("fails", dir.path());
    fails.action = ACTION_PROGRAM;
    fails.sProgram = "no-such-program-quorvel --flag";
    project.AddEvent(starts);
    project.AddEvent(fails);
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("starts", "Action Error"), 0);
    EXPECT_EQ(page.Count("fails", "Action Error"), 1);
    const auto shown = box.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("no-such-program-quorvel --flag: ", 0), 0u) << shown[0];
    EXPECT_NE(CLog::GetLastRows().find("Execution error: "), std::string::npos);
    for (int i = 0; i < 100 && !PathExists(dir.File("made by action")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(PathExists(dir.File("made by action")));
}

TEST_F(Actions, LogActionWritesTheCustomLogOrTheProgramLog)
{
    WriteFile(dir.File("f"), "abc");
    Quorvel event = FileEvent("log", dir.File("f"));
    event.action = ACTION_LOG;
    event.sLogItem = "size $VALUE$ on $DATE$";
    event.iterType = ITER_COUNT;
    event.iExecs = 2;
    project.logFile = dir.File("custom_$DATE$.log");
    project.AddEvent(event);
    project.Run(&page, nullptr);
    ASSERT_TRUE(PathExists(project.currentLogFile));
    EXPECT_EQ(project.currentLogFile.find("$DATE$"), std::string::npos);
    const std::string date = project.currentLogFile.substr(dir.File("custom_").size(), 8);
    const std::string line = "size 3 on " + date + "\r\n";
    EXPECT_EQ(ReadFile(project.currentLogFile), "\xFF\xFE" + Utf8ToUtf16Le(line + line));

    project.logFile.clear();
    project.Run(&page, nullptr);
    EXPECT_NE(CLog::GetLastRows().find("User mesage: \tsize 3 on " + date), std::string::npos);
}

} // namespace
