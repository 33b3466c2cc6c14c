// Events that share connections, against the PostgreSQL server of the test services: how many
// server connections they hold, that a check and its action meet on one connection, and that a
// stop or a timeout reaches a shared connection while an event holds it.
#include "engine/EngineFixture.h"
#include "engine/RunControl.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int kEvents = 24;
constexpr int kExecs = 4;

class SharedConnections : public EngineTest {
protected:
    // The connections of this test, named so that the server can count them.
    std::string Target() const
    {
        const char* server = std::getenv("QUORVEL_TEST_PG");
        return std::string(server != nullptr ? server : "") + " application_name=" + appName;
    }

    Quorvel Event(const std::string& note, const std::string& sql)
    {
        Quorvel event = PgEvent(note, sql);
        event.checkConn.target = Target();
        event.actionConn = event.checkConn;
        return event;
    }

    // The most connections of this test that the server held while `run` ran.
    int PeakConnections(const std::function<void()>& run)
    {
        std::unique_ptr<CDB> counter = CDB::newDB(DS_POSTGRES);
        CONN_INFO info;
        info.type = DS_POSTGRES;
        info.target = std::getenv("QUORVEL_TEST_PG") != nullptr ? std::getenv("QUORVEL_TEST_PG") : "";
        EXPECT_EQ(counter->connect(&info), CDB::kOK) << counter->errorText;
        std::atomic<bool> done { false };
        int peak = 0;
        std::thread sampler([&] {
            while (!done) {
                std::string count;
                counter->closeCursor(0);
                if (CDB::isOK(counter->execute(
                        "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + appName + "'"))
                    && CDB::isOK(counter->fetch()) && CDB::isOK(counter->getData(1, &count)))
                    peak = std::max(peak, std::atoi(count.c_str()));
                std::this_thread::sleep_for(10ms);
            }
        });
        run();
        done = true;
        sampler.join();
        return peak;
    }

    const std::string appName = "quorvel_shared_" + std::to_string(getpid());
};

// Each check leaves its event's number in a setting of its session, which the action reads back:
// an action on any other connection than its check's fails.
TEST_F(SharedConnections, TwentyFourEventsHoldAFewConnectionsAndEachActionMeetsItsCheck)
{
    struct Row {
        int share;
        int leastPeak;
        int mostPeak;
    };
    for (const Row row : { Row { 0, kEvents, kEvents }, Row { 1, 1, 4 } }) {
        SCOPED_TRACE("ShareConnections " + std::to_string(row.share));
        project.Clear();
        project.shareConnections = row.share;
        for (int i = 0; i < kEvents; ++i) {
            const std::string n = std::to_string(i);
            Quorvel event = EverySeconds(Times(Event("e" + n, "SELECT set_config('quorvel.event', '" + n + "', false)"), kExecs), 1);
            event.action = ACTION_SQL;
            event.ActionSQL = "DO $$ BEGIN IF current_setting('quorvel.event') <> '$VALUE$' THEN "
                              "RAISE EXCEPTION 'another connection'; END IF; END $$";
            project.AddEvent(event);
        }
        const int peak = PeakConnections([this] { project.Run(&page, nullptr); });
        std::printf("ShareConnections %d: at most %d server connections\n", row.share, peak);
        EXPECT_GE(peak, row.leastPeak);
        EXPECT_LE(peak, row.mostPeak);
        for (int i = 0; i < kEvents; ++i) {
            const Quorvel& event = *project.GetEvent(i);
            EXPECT_EQ(event.results.passed, kExecs) << event.EventNote;
            EXPECT_EQ(event.value, std::to_string(i));
            EXPECT_EQ(page.Count(event.EventNote, "Do action"), kExecs);
            EXPECT_EQ(page.Count(event.EventNote, "Action Error"), 0) << event.EventNote;
        }
    }
}

// A statement on a shared connection is cut short by Break all as by its timeout, while another
// event keeps using the pool.
TEST_F(SharedConnections, StopAndTimeoutReachTheSharedConnection)
{
    struct Row {
        const char* name;
        bool breakAll;
        const char* last; // the sleeper's last status
    };
    for (const Row row : { Row { "Break all", true, "Cancelled" }, Row { "timeout", false, "Completed" } }) {
        SCOPED_TRACE(row.name);
        project.Clear();
        project.shareConnections = 1;
        Quorvel sleeper = Times(Event("sleeper", "SELECT pg_sleep(600)"), 1);
        sleeper.iTimeout = row.breakAll ? 0 : 1;
        project.AddEvent(sleeper);
        project.AddEvent(Times(Event("busy", "SELECT 1"), 200));
        page.onStatus = [&row](const std::string& note, const std::string& status) {
            if (row.breakAll && note == "sleeper" && status == "Executing")
                std::thread([] {
                    std::this_thread::sleep_for(300ms);
                    BreakAll();
                }).detach();
        };
        const auto started = std::chrono::steady_clock::now();
        project.Run(&page, nullptr);
        page.onStatus = nullptr;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
        EXPECT_EQ(page.Last("sleeper"), row.last);
        EXPECT_EQ(project.GetEvent(0)->results.Failed(), row.breakAll ? 0 : 1);
        EXPECT_EQ(project.GetEvent(0)->db, nullptr) << "the connection went back to the pool or was closed";
    }
}

} // namespace
