// A database server that goes away in the middle of a run and comes back: the run goes on,
// every iteration meanwhile is a failed check that the program log explains, the execution report
// keeps one line per iteration, and the checks pass again as soon as the server is back.

#include "faults/FaultFixture.h"
#include "external/support/FileOps.h"
#include "support/PrivateDbServer.h"
#include "support/TestServices.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Long enough for many iterations at one per second to meet the missing server.
constexpr auto kOutage = 10s;
constexpr int kIntervalSeconds = 1;
// A generous bound on how long the first check after the server's return may take to come.
constexpr auto kRecoveryBound = std::chrono::seconds(kIntervalSeconds) + 3s;

struct Server {
    const char* name;
    const char* script;
    DS_TYPE type;
    // The target of the test user from what the script prints.
    std::string (*target)(const std::string& conninfo);
    // What the driver says of a server that does not answer.
    const char* refused;
};

void PrintTo(const Server& server, std::ostream* out)
{
    *out << server.name;
}

const Server kServers[] = {
    { "PostgreSQL", "pg-test-server", DS_POSTGRES, [](const std::string& conninfo) { return conninfo; }, "refused" },
    { "MariaDB", "mariadb-test-server", DS_ODBC,
        [](const std::string& attributes) { return DriverTarget("QUORVEL_TEST_MARIADB_DRIVER", attributes); },
        "Can't connect to server" },
};

class DatabaseOutage : public FaultTest, public ::testing::WithParamInterface<Server> {
protected:
    PrivateDbServer server { GetParam().script };
};

// One event on a connection of its own, and three that share connections: each keeps its course
// of iterations, and after the server's return no connection from before it is handed out again
// (the first check after it would fail on one).
TEST_P(DatabaseOutage, EveryIterationWhileTheServerIsAwayFailsAndTheFirstAfterItsReturnPasses)
{
    for (const int events : { 1, 3 }) {
        SCOPED_TRACE(events);
        project.Clear();
        project.reportFile = dir.File("report.txt");
        std::remove(project.reportFile.c_str());
        project.shareConnections = events > 1;
        const size_t n = static_cast<size_t>(events);
        const std::string target = GetParam().target(server.ConnInfo());
        for (int i = 0; i < events; ++i)
            project.AddEvent(EverySeconds(
                Endless(SqlEvent("probe" + std::to_string(i), target, "SELECT 1", GetParam().type)), kIntervalSeconds));
        RunningQuorvel quorvel(SaveProject(), Isolated());
        ASSERT_TRUE(quorvel.WaitFor("-> Check passed", 2 * n, 20s)) << quorvel.Output() << quorvel.Errors();

        server.Stop();
        const size_t passedBefore = quorvel.Count("-> Check passed");
        std::this_thread::sleep_for(kOutage);
        // The server is back when its start has returned; on a busy machine that takes a while.
        server.Start();
        const size_t failedInOutage = quorvel.Count("-> Check failed");
        ASSERT_TRUE(quorvel.WaitFor("-> Check passed", passedBefore + n, kRecoveryBound)) << quorvel.Output();
        // At most the iterations that were connecting while the server came up may still have failed.
        EXPECT_LE(quorvel.Count("-> Check failed"), failedInOutage + n);
        ASSERT_TRUE(quorvel.WaitFor("-> Check passed", passedBefore + 3 * n, 10s));

        quorvel.Signal(SIGTERM);
        ASSERT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
        const size_t failed = quorvel.Count("-> Check failed");
        EXPECT_GE(failed, n * (static_cast<size_t>(kOutage / 1s / kIntervalSeconds) - 2));
        if (events == 1) {
            // One entry per failed check: the broken connection's statement, then each refused connect.
            EXPECT_EQ(LogCount("Exec error") + LogCount("Connection error"), failed) << ProgramLog();
            EXPECT_GE(LogCount("Connection error", GetParam().refused), failed - 1) << ProgramLog();
        }
        const std::vector<std::string> names = ReportColumn(2);
        const std::vector<std::string> statuses = ReportColumn(8);
        EXPECT_EQ(statuses.size(), quorvel.Count("-> Executing")) << "every iteration has its report line";
        EXPECT_EQ(static_cast<size_t>(std::count(statuses.begin(), statuses.end(), "FAILED")), failed);
        // Each event on its own: passing, failing during the outage, passing again.
        std::map<std::string, std::vector<std::string>> courses;
        for (size_t line = 0; line < names.size(); ++line) {
            std::vector<std::string>& course = courses[names[line]];
            if (course.empty() || course.back() != statuses[line])
                course.push_back(statuses[line]);
        }
        EXPECT_EQ(courses.size(), n);
        for (const auto& [name, course] : courses)
            EXPECT_EQ(course, (std::vector<std::string> { "OK", "FAILED", "OK" })) << name;
    }
}

// A server that stops answering without going away (its processes stopped: the system still
// accepts connections and acknowledges data for it) must not hold up a stop: SIGTERM ends the run
// promptly, with its summary, while a check waits for that server. Through libpq the statement's
// connection is given up; the ODBC driver's cancel itself waits for the server, and the run ends
// without that worker.
struct Client {
    const char* name;
    DS_TYPE type;
    std::string (*target)(PrivateDbServer& server);
};

void PrintTo(const Client& client, std::ostream* out)
{
    *out << client.name;
}

const Client kClients[] = { { "libpq", DS_POSTGRES, [](PrivateDbServer& server) { return server.ConnInfo(); } },
    { "ODBC", DS_ODBC, [](PrivateDbServer& server) {
         return DriverTarget("QUORVEL_TEST_ODBC_PG_DRIVER",
             "Servername=127.0.0.1;Port=" + server.Port() + ";Database=quorvel_test;UID=quorvel");
     } } };

class UnansweringServer : public FaultTest, public ::testing::WithParamInterface<Client> {
protected:
    PrivateDbServer server { "pg-test-server" };
};

// The stop cuts the hung check short, which is no failed check: the "On error" alert is not sent.
TEST_P(UnansweringServer, SigtermEndsTheRunWithItsSummaryAndNoAlert)
{
    project.summaryFile = dir.File("summary.html");
    Quorvel probe = EverySeconds(Endless(SqlEvent("probe", GetParam().target(server), "SELECT 1", GetParam().type)), 1);
    probe.cond = COND_ON_ERROR;
    project.AddEvent(WithAction(probe, ACTION_PROGRAM, "touch " + dir.File("ALERT-SENT-$STATE$")));
    RunningQuorvel quorvel(SaveProject(), Isolated());
    ASSERT_TRUE(quorvel.WaitFor("-> Check passed", 2, 20s)) << quorvel.Output() << quorvel.Errors();

    server.SignalProcesses(SIGSTOP);
    struct Wake {
        PrivateDbServer& server;
        ~Wake() { server.SignalProcesses(SIGCONT); }
    } wake { server };
    // The next check now waits for an answer that does not come.
    ASSERT_TRUE(quorvel.WaitFor("-> Executing", quorvel.Count("-> Check passed") + 1, 5s)) << quorvel.Output();
    std::this_thread::sleep_for(500ms);
    const auto signalled = std::chrono::steady_clock::now();
    quorvel.Signal(SIGTERM);
    EXPECT_EQ(quorvel.Wait(), 0) << quorvel.Errors();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 5s);
    EXPECT_TRUE(PathExists(project.summaryFile)) << quorvel.Errors();
    EXPECT_EQ(quorvel.Count("-> Do action"), 0u) << quorvel.Output();
    EXPECT_FALSE(PathExists(dir.File("ALERT-SENT-PROBLEM")));
}

INSTANTIATE_TEST_SUITE_P(Clients, UnansweringServer, ::testing::ValuesIn(kClients),
    [](const ::testing::TestParamInfo<Client>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Servers, DatabaseOutage, ::testing::ValuesIn(kServers),
    [](const ::testing::TestParamInfo<Server>& info) { return std::string(info.param.name); });

} // namespace
