// Events on the PostgreSQL server of the test services, on connections of their own or shared.
#include "engine/EngineFixture.h"
#include "engine/RunControl.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class SharedConnections : public EngineTest {
protected:
    // An event on a connection that the server can tell by its application name.
    Quorvel Event(const std::string& note, const std::string& sql)
    {
        Quorvel event = PgEvent(note, sql);
        event.checkConn.target += " application_name=" + appName;
        event.actionConn = event.checkConn;
        return event;
    }

    // The most connections of these events that the server held during a run.
    int RunCountingConnections()
    {
        std::unique_ptr<CDB> counter = CDB::newDB(DS_POSTGRES);
        const CONN_INFO info = PgEvent("counter").checkConn;
        EXPECT_EQ(counter->connect(&info), CDB::kOK) << counter->errorText;
        std::atomic<bool> done { false };
        int peak = 0;
        std::thread sampler([&] {
            for (std::string count; !done; std::this_thread::sleep_for(10ms)) {
                counter->closeCursor(0);
                if (CDB::isOK(counter->execute(
                        "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + appName + "'"))
                    && CDB::isOK(counter->fetch()) && CDB::isOK(counter->getData(1, &count)))
                    peak = std::max(peak, std::atoi(count.c_str()));
            }
        });
        project.Run(&page, nullptr);
        done = true;
        sampler.join();
        return peak;
    }

    const std::string appName = "quorvel_shared_" + std::to_string(getpid());
};

// Each check leaves its event's number in a setting of its session, which the action reads back:
// an action on another connection than its check's fails.
TEST_F(SharedConnections, TwentyFourEventsHoldAFewConnectionsAndEachActionMeetsItsCheck)
{
    constexpr int kExecs = 4;
    for (const auto& [share, fewest, most] : { std::tuple(0, kMaxEvents, kMaxEvents), std::tuple(1, 1, 4) }) {
        SCOPED_TRACE(share);
        project.Clear();
        project.shareConnections = share;
        for (int i = 0; i < kMaxEvents; ++i) {
            const std::string n = std::to_string(i);
            Quorvel event = EverySeconds(Times(Event(n, "SELECT set_config('quorvel.event', '" + n + "', false)"), kExecs), 1);
            event.action = ACTION_SQL;
            event.ActionSQL = "DO $$ BEGIN IF current_setting('quorvel.event') <> '$VALUE$' THEN "
                              "RAISE EXCEPTION 'another connection'; END IF; END $$";
            project.AddEvent(event);
        }
        const int peak = RunCountingConnections();
        std::printf("ShareConnections %d: at most %d server connections\n", share, peak);
        EXPECT_GE(peak, fewest);
        EXPECT_LE(peak, most);
        for (const Quorvel& event : project.events) {
            EXPECT_EQ(std::tuple(event.results.passed, event.value, page.Count(event.EventNote, "Do action"),
                          page.Count(event.EventNote, "Action Error")),
                std::tuple(kExecs, event.EventNote, kExecs, 0));
        }
    }
}

// Break all and the timeout cut a statement short on a connection of its own and on a shared one,
// while another event goes on using the pool. The cancelled statement is no failed check: an
// "On error" event does not act on a stop, and the execution leaves no report line; past the
// timeout the check fails and the action runs on the check's connection after the cancel.
TEST_F(SharedConnections, StopAndTimeoutReachTheStatementOnOwnAndSharedConnections)
{
    for (const auto& [share, breakAll] : { std::pair(0, true), std::pair(0, false), std::pair(1, true), std::pair(1, false) }) {
        SCOPED_TRACE(std::to_string(share) + (breakAll ? " Break all" : " timeout"));
        project.Clear();
        project.shareConnections = share;
        project.reportFile = dir.File("report.txt");
        std::remove(project.reportFile.c_str());
        Quorvel sleeper = WithAction(Times(Event("sleeper", "SELECT pg_sleep(600)"), 1), ACTION_SQL, "SELECT 1");
        sleeper.iTimeout = breakAll ? 0 : 1;
        sleeper.cond = COND_ON_ERROR;
        project.AddEvent(sleeper);
        project.AddEvent(Times(Event("busy", "SELECT 1"), 200));
        page.onStatus = [breakAll](const std::string& note, const std::string& status) {
            if (breakAll && note == "sleeper" && status == "Executing")
                std::thread([] { std::this_thread::sleep_for(300ms), BreakAll(); }).detach();
        };
        const size_t toldBefore = LogRowsNaming("check timed out after 1 s").size();
        const auto started = std::chrono::steady_clock::now();
        project.Run(&page, nullptr);
        page.onStatus = nullptr;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
        using Statuses = std::vector<std::string>;
        EXPECT_EQ(page.Statuses("sleeper"),
            (breakAll ? Statuses { "Started", "Executing", "Cancelled" }
                      : Statuses { "Started", "Executing", "Check failed", "Do action", "Completed" }));
        EXPECT_EQ(std::tuple(project.events[0].results.count, project.events[0].results.Failed()),
            (breakAll ? std::tuple(0, 0) : std::tuple(1, 1)));
        EXPECT_EQ(LogRowsNaming("check timed out after 1 s").size(), toldBefore + (breakAll ? 0 : 1));
        if (breakAll) {
            const auto lines = ReportLines(project.reportFile);
            EXPECT_EQ(std::ranges::count_if(lines, [](const std::string& l) { return SplitTabs(l).at(2) == "sleeper"; }), 0);
        }
    }
}

// A statement that fails while its rows are read fails the check.
TEST_F(SharedConnections, ErrorWhileTheRowsAreReadFailsTheCheck)
{
    settings->setInt("FetchAll", 1);
    project.AddEvent(PgEvent("late error", "SELECT 10 / (3 - g) FROM generate_series(1, 5) g"));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Count("late error", "Check failed"), 1);
}

} // namespace
