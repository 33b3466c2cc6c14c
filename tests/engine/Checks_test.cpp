#include "engine/EngineFixture.h"
#include "external/support/CLog.h"

#include <chrono>

namespace {

class Checks : public EngineTest {
protected:
    std::string db = MakeSqliteFile(dir.File("checks.db"),
        "CREATE TABLE t (n INTEGER, name TEXT);"
        "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c "
        "WHERE i < 1000) INSERT INTO t SELECT i, 'row ' || i FROM c;");

    // Runs one event once; returns its statistics.
    ExecStats RunOnce(Quorvel event)
    {
        project.reportFile = dir.File("report.txt");
        project.AddEvent(event);
        project.Run(&page, nullptr);
        return project.GetEvent(project.Count() - 1)->results;
    }

    std::vector<std::string> LastReportLine()
    {
        const auto lines = ReportLines(dir.File("report.txt"));
        return lines.empty() ? std::vector<std::string> {} : SplitTabs(lines.back());
    }
};

// One row is read unless FetchAll is set; no rows pass, with the value "N/A", which compares as 0.
TEST_F(Checks, SqlCheckReadsOneRowUnlessFetchAllIsSetAndNoRowsPass)
{
    const std::tuple<const char*, int, int, const char*> cases[] = {
        { "SELECT name FROM t ORDER BY n", 0, 1, "row 1" },
        { "SELECT name FROM t ORDER BY n", 1, 1000, "row 1" },
        { "SELECT n FROM t WHERE n < 0", 0, 0, "N/A" },
    };
    for (const auto& [sql, fetchAll, rows, value] : cases) {
        SCOPED_TRACE(rows);
        settings->setInt("FetchAll", fetchAll);
        project.Clear();
        Quorvel event = SqlEvent(std::to_string(rows), db, sql);
        event.cond = rows == 0 ? COND_RESULT_VALUE : COND_ALWAYS;
        event.resCheck = OP_EQUAL;
        const ExecStats stats = RunOnce(event);
        EXPECT_EQ(stats.passed, 1);
        EXPECT_EQ(stats.rowSum, rows);
        EXPECT_EQ(project.GetEvent(0)->value, value);
        EXPECT_EQ(LastReportLine().at(7), std::to_string(rows));
        EXPECT_EQ(LastReportLine().at(8), "OK");
        EXPECT_EQ(page.Count(event.EventNote, "Do action"), 1);
    }
}

TEST_F(Checks, FailuresAreFailedChecksWithTheirLogEntries)
{
    const ExecStats stats = RunOnce(SqlEvent("bad sql", db, "SELECT * FROM missing_table"));
    EXPECT_EQ(stats.passed, 0);
    EXPECT_EQ(stats.count, 1);
    EXPECT_EQ(page.Statuses("bad sql"),
        (std::vector<std::string> { "Started", "Executing", "Check failed", "Do action", "Completed" }))
        << "\"Always\" acts after a failed check";
    EXPECT_EQ(LastReportLine().at(8), "FAILED");
    const std::string log = CLog::GetLastRows();
    EXPECT_NE(log.find("Exec error\tno such table: missing_table"), std::string::npos) << log;

    project.Clear();
    RunOnce(SqlEvent("bad path", dir.File("no-such.db"), "SELECT 1"));
    EXPECT_EQ(page.Last("bad path"), "Completed");
    EXPECT_EQ(page.Count("bad path", "Check failed"), 1);
    EXPECT_NE(CLog::GetLastRows().find("Connection error"), std::string::npos);
    EXPECT_FALSE(PathExists(dir.File("no-such.db"))) << "a mistyped path never creates a database";
}

// A statement that runs past its timeout (the event's own, else the project's) is stopped near it
// and fails with the reason; the connection serves the next statement.
TEST_F(Checks, ChecksPastTheirTimeoutFailWithTheReason)
{
    const std::string forever = "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c) SELECT count(*) FROM c";
    const struct {
        int eventTimeout, projectTimeout;
        const char* sql;
        int failed;
    } cases[] = {
        { 1, 0, forever.c_str(), 1 },
        { 0, 1, forever.c_str(), 1 },
        { 0, 1, "SELECT 1", 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eventTimeout);
        project.Clear();
        project.checkTimeout = c.projectTimeout;
        Quorvel event = Times(SqlEvent("slow", db, c.sql), 2);
        event.iTimeout = c.eventTimeout;
        const size_t toldBefore = LogRowsNaming("check timed out after 1 s").size();
        const auto started = std::chrono::steady_clock::now();
        const ExecStats stats = RunOnce(event);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(6)) << "two checks of about 1 s";
        EXPECT_EQ(stats.Failed(), 2 * c.failed);
        EXPECT_EQ(LogRowsNaming("check timed out after 1 s").size(), toldBefore + 2u * c.failed);
        EXPECT_EQ(LastReportLine().at(8), c.failed ? "FAILED" : "OK");
        EXPECT_EQ(page.Count("slow", "Check failed"), 2 * c.failed);
    }
}

// A folder passes too; a missing file fails with no value; an event of an unknown type posts no
// check and has no status.
TEST_F(Checks, FileCheckValueIsTheSize)
{
    WriteFile(dir.File("five"), "12345");
    const std::tuple<int, std::string, int, const char*, const char*> cases[] = {
        { EVENT_FILE, dir.File("five"), 1, "5", "OK" },
        { EVENT_FILE, dir.path(), 1, nullptr, "OK" },
        { EVENT_FILE, dir.File("nope"), 0, "", "FAILED" },
        { 9, dir.path(), 0, nullptr, "" },
    };
    for (const auto& [type, path, passed, value, status] : cases) {
        SCOPED_TRACE(path);
        project.Clear();
        Quorvel event = FileEvent("file", path);
        event.type = type;
        EXPECT_EQ(RunOnce(event).passed, passed);
        EXPECT_EQ(LastReportLine().at(8), status);
        if (value != nullptr) {
            EXPECT_EQ(project.GetEvent(0)->value, value);
        }
    }
    EXPECT_EQ(page.Statuses("file"), (std::vector<std::string> { "Started", "Executing", "Do action", "Completed" }));
}

TEST_F(Checks, EveryCondition)
{
    struct ConditionCase {
        int cond, op, limit;
        bool checkPasses, acts;
    };
    WriteFile(dir.File("size7"), "1234567"); // value "7", one row for the row count
    const ConditionCase cases[] = {
        { COND_ALWAYS, 0, 0, false, true },
        { COND_ON_ERROR, 0, 0, false, true },
        { COND_ON_ERROR, 0, 0, true, false },
        { COND_ON_SUCCESS, 0, 0, true, true },
        { COND_ON_SUCCESS, 0, 0, false, false },
        { COND_ROW_COUNT, OP_EQUAL, 0, true, true }, // a file check fetches no rows
        { COND_ROW_COUNT, OP_EQUAL, 0, false, false },
        { COND_RESULT_VALUE, OP_GREATER, 6, true, true },
        { COND_RESULT_VALUE, OP_GREATER, 7, true, false },
        { COND_RESULT_VALUE, OP_NOT_EQUAL, 7, true, false },
        { COND_CHECK_TIME, OP_LESS, 60000, true, true },
        { COND_CHECK_TIME, OP_GREATER, 60000, true, false },
        { COND_RESULT_VALUE, 9, 7, true, false },
        { 6, 0, 0, true, false },
        { -1, 0, 0, true, false },
    };
    // Skipped actions are posted only at the full log level.
    Quorvel quiet = FileEvent("quiet", dir.File("absent"));
    quiet.cond = COND_ON_SUCCESS;
    RunOnce(quiet);
    EXPECT_EQ(page.Count("quiet", "Action skipped"), 0);
    settings->setInt("LogLevel", 1);
    for (const ConditionCase& c : cases) {
        Quorvel event = FileEvent("cond", c.checkPasses ? dir.File("size7") : dir.File("absent"));
        event.cond = c.cond;
        event.resCheck = c.op;
        event.rowCheck = c.op;
        event.resCheckValue = c.limit;
        event.rowCheckValue = c.limit;
        project.Clear();
        RunOnce(event);
        EXPECT_EQ(page.Count("cond", "Do action"), c.acts ? 1 : 0) << event.Description(1);
        EXPECT_EQ(page.Count("cond", "Action skipped"), c.acts ? 0 : 1) << event.Description(1);
    }
}

} // namespace
