#include "engine/EngineFixture.h"
#include "engine/RunControl.h"
#include "support/TestEnv.h"

#include <chrono>
#include <thread>

namespace {

class PostgresEvent : public EngineTest { };

// The cancelled statement is no failed check: an "On error" event does not act on a stop, and the
// execution leaves no report line.
TEST_F(PostgresEvent, BreakAllCancelsTheStatementInFlight)
{
    Quorvel sleeper = PgEvent("sleeper", "SELECT pg_sleep(30)");
    sleeper.iterType = ITER_ENDLESS;
    sleeper.cond = COND_ON_ERROR;
    sleeper.action = ACTION_LOG;
    sleeper.sLogItem = "ALERT $STATE$";
    project.reportFile = dir.File("report.txt");
    project.logFile = dir.File("alerts.txt");
    project.AddEvent(sleeper);
    page.onStatus = [](const std::string&, const std::string& status) {
        if (status == "Executing")
            std::thread([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                BreakAll();
            }).detach();
    };
    const auto started = std::chrono::steady_clock::now();
    project.Run(&page, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(page.Statuses("sleeper"), (std::vector<std::string> { "Started", "Executing", "Cancelled" }));
    EXPECT_FALSE(PathExists(dir.File("alerts.txt")));
    EXPECT_FALSE(PathExists(dir.File("report.txt"))) << "no report line";
    EXPECT_EQ(project.GetEvent(0)->results.count, 0);
}

// The server is asked to cancel a statement past its timeout; the connection serves the next one.
TEST_F(PostgresEvent, StatementPastItsTimeoutFailsAndTheConnectionServesTheNext)
{
    Quorvel sleeper = Times(PgEvent("sleeper", "SELECT pg_sleep(600)"), 1);
    sleeper.iTimeout = 1;
    sleeper.action = ACTION_SQL;
    sleeper.cond = COND_ON_ERROR;
    sleeper.ActionSQL = "SELECT 1";
    project.AddEvent(sleeper);
    const size_t toldBefore = LogRowsNaming("check timed out after 1 s").size();
    const auto started = std::chrono::steady_clock::now();
    project.Run(&page, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(project.GetEvent(0)->results.Failed(), 1);
    EXPECT_EQ(page.Statuses("sleeper"),
        (std::vector<std::string> { "Started", "Executing", "Check failed", "Do action", "Completed" }))
        << "the action ran on the check's connection after the cancel";
    EXPECT_EQ(LogRowsNaming("check timed out after 1 s").size(), toldBefore + 1);
}

// A statement that fails while its rows are read fails the check.
TEST_F(PostgresEvent, ActionReusesTheCheckConnectionAndLateErrorsFailTheCheck)
{
    settings->setInt("FetchAll", 1);
    project.AddEvent(PgEvent("late error", "SELECT 10 / (3 - g) FROM generate_series(1, 5) g"));
    Quorvel event = Times(PgEvent("temp table", "SELECT v FROM quorvel_engine_seen"), 2);
    event.action = ACTION_SQL;
    event.cond = COND_ON_ERROR;
    event.ActionSQL = "CREATE TEMP TABLE quorvel_engine_seen AS SELECT 5 AS v";
    project.AddEvent(event);
    project.Run(&page, nullptr);
    // The action's TEMP table lives on the check's connection only: the second check finds it.
    EXPECT_EQ(project.GetEvent(1)->results.passed, 1);
    EXPECT_EQ(project.GetEvent(1)->value, "5");
    EXPECT_EQ(page.Count("temp table", "Action Error"), 0);
    EXPECT_EQ(page.Count("late error", "Check failed"), 1);
}

} // namespace
