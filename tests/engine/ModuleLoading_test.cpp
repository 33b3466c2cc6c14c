// PostgreSQL, ODBC and remote counters live in modules that load the first time a project uses
// them: a project without them never maps their libraries, and one that cannot load them runs
// the rest of its events.

#include "engine/EngineFixture.h"
#include "support/RunningQuorvel.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gmock/gmock.h>
#include <latch>
#include <set>
#include <thread>

namespace {

// The distinct files mapped into process `pid` ("self" for this one) whose path holds `part`.
std::set<std::string> MappedFiles(const std::string& pid, const std::string& part)
{
    std::ifstream maps("/proc/" + pid + "/maps");
    std::set<std::string> files;
    std::string line;
    while (std::getline(maps, line)) {
        const size_t path = line.find('/');
        if (path != std::string::npos && line.find(part, path) != std::string::npos)
            files.insert(line.substr(path));
    }
    return files;
}

class ModuleLoading : public EngineTest {
protected:
    // A SQLite event and a file event beside whatever the test adds.
    void AddSqliteAndFileEvents()
    {
        project.AddEvent(SqlEvent("sqlite",
            MakeSqliteFile(dir.File("a.db"), "CREATE TABLE t(v); INSERT INTO t VALUES(7)"), "SELECT v FROM t"));
        project.AddEvent(FileEvent("file", dir.path()));
    }
};

// The module loads once, however many connections need it first at the same moment. The engine
// label runs under ThreadSanitizer: this is where a racy first load would show.
TEST_F(ModuleLoading, TwentyFourFirstConnectionsAtOnceLoadTheModuleOnce)
{
    constexpr int kThreads = 24;
    const CONN_INFO server = PgEvent("").checkConn;
    std::latch ready(kThreads);
    std::vector<std::string> results(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            ready.arrive_and_wait();
            std::unique_ptr<CDB> db = CDB::newDB(DS_POSTGRES);
            results[i] = CDB::isOK(db->connect(&server)) ? "connected" : db->errorText;
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const std::string& result : results)
        EXPECT_EQ(result, "connected");
    EXPECT_EQ(MappedFiles("self", "quorvel_pg.so").size(), 1u);
    EXPECT_EQ(MappedFiles("self", "libpq.so").size(), 1u);
}

TEST_F(ModuleLoading, ConsoleRunOfSqliteAndFilesMapsNoDriverNorQt)
{
    AddSqliteAndFileEvents();
    // Both wait an hour after their first check, so the program is there to be looked at.
    for (Quorvel* event : { project.GetEvent(0), project.GetEvent(1) })
        *event = EverySeconds(Endless(*event), 3600);
    RunningQuorvel quorvel(SaveProject());
    ASSERT_TRUE(quorvel.WaitFor("(sqlite) -> Paused"));
    ASSERT_TRUE(quorvel.WaitFor("(file) -> Paused"));
    const std::string pid = std::to_string(quorvel.Pid());
    ASSERT_FALSE(MappedFiles(pid, "libsqlite3").empty()) << "the maps of the running program can be read";
    for (const char* library : { "libpq", "libodbc", "libcurl", "libmicrohttpd", "libQt", "quorvel_" })
        EXPECT_TRUE(MappedFiles(pid, library).empty()) << library;
}

// A module that is there but cannot be loaded (another version, a broken file, a library of its own
// missing) fails the connections that need it, with the reason, and the status page is not
// served; the other events run. A missing library is named with the package that holds it, as the
// package quorvel only recommends those.
TEST_F(ModuleLoading, ModuleThatCannotLoadIsAConnectionError)
{
    const std::string built = std::getenv("QUORVEL_MODULE_DIR");
    const struct {
        bool brokenFile; // else the built module, its library renamed to one that no system has
        std::string pgReason, remoteReason, httpReason;
    } cases[] = {
        { true, "quorvel_pg.so", "quorvel_remote.so", "quorvel_http.so" },
        { false, "libpq.so.X: cannot open shared object file: No such file or directory (install the package libpq5)",
            "libcurl.so.X: cannot open shared object file: No such file or directory (install the package libcurl4)",
            "libmicrohttpd.so.1X: cannot open shared object file: No such file or directory (install the package "
            "libmicrohttpd12)" },
    };
    AddSqliteAndFileEvents();
    project.AddEvent(PgEvent("pg"));
    project.AddEvent(CounterEvent("remote", "127.0.0.1:9", "\\Memory\\Available MBytes"));
    const std::string projectFile = SaveProject();
    for (const auto& c : cases) {
        TempDir modules;
        for (const auto& [file, library] :
            { std::pair { "quorvel_pg.so", "libpq.so.5" }, std::pair { "quorvel_remote.so", "libcurl.so.4" },
                std::pair { "quorvel_http.so", "libmicrohttpd.so.12" } }) {
            std::string content = c.brokenFile ? "not a shared library\n" : ReadFile(built + "/" + file);
            if (!c.brokenFile) {
                const size_t at = content.find(library);
                ASSERT_NE(at, std::string::npos) << file;
                content[at + std::strlen(library) - 1] = 'X';
            }
            WriteFile(modules.File(file), content);
        }
        const std::string state = modules.File("state");
        const ProcessResult result = RunQuorvel({ "-c", projectFile, "--listen=127.0.0.1:58321" },
            { "QUORVEL_MODULE_DIR=" + modules.path(), "XDG_STATE_HOME=" + state });
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_THAT(result.out,
            testing::AllOf(testing::HasSubstr("(sqlite) -> Check passed"), testing::HasSubstr("(file) -> Check passed"),
                testing::HasSubstr("(pg) -> Check failed"), testing::HasSubstr("(remote) -> Check failed")));
        // dlopen names a broken file by its path.
        const auto reason = [&](const std::string& text) { return c.brokenFile ? modules.File(text) : text; };
        EXPECT_THAT(result.err, testing::HasSubstr("status page not served: " + reason(c.httpReason)));
        EXPECT_THAT(ReadFile(state + "/quorvel/quorvel.log"),
            testing::AllOf(
                testing::HasSubstr("Connection error\tPostgreSQL support is not installed: " + reason(c.pgReason)),
                testing::HasSubstr("Remote counter support is not installed: " + reason(c.remoteReason))));
    }
}

} // namespace
