#include "engine/EngineFixture.h"
#include "engine/StatusSnapshot.h"
#include "external/support/XdgPaths.h"

#include <fstream>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

class StatusSnapshot : public EngineTest { };

// Each kind of event shows its latest check, counts, failure and problem after a real run.
TEST_F(StatusSnapshot, ShowsEveryEventOfARun)
{
    struct Row {
        const char* note;
        Quorvel event;
        const char* status;
        int executions, failed, actions, heldBack;
        const char* failure; // what failed, or null
        bool acting; // acts on changes: has a problem record
    };
    Quorvel onChange = WithAction(Times(FileEvent("on change", dir.path()), 3), ACTION_LOG, "$STATE$");
    onChange.iActWhen = ACT_ON_START;
    Quorvel badAction = WithAction(Times(FileEvent("action fails", dir.path()), 2), ACTION_SQL, "SELECT 1");
    badAction.actionConn = MakeConnInfo(DS_SQLITE, "/nonexistent/none.sqlite");
    const Row rows[] = {
        { "passes", Times(FileEvent("passes", dir.path()), 3), "OK", 3, 0, 0, 0, nullptr, false },
        { "fails", Times(FileEvent("fails", "/nonexistent/none"), 2), "FAILED", 2, 2, 0, 0, "check", false },
        { "acts", WithAction(Times(FileEvent("acts", dir.path()), 2), ACTION_LOG, "$STATE$"), "OK", 2, 0, 2, 0, nullptr,
            false },
        { "on change", onChange, "OK", 3, 0, 1, 2, nullptr, true },
        { "action fails", badAction, "OK", 2, 0, 2, 0, "action", false },
    };
    for (const Row& row : rows)
        project.AddEvent(row.event);
    project.logFile = dir.File("custom.log");
    project.Load(SaveProject());
    // Made mid-run on one worker while the others run (a race shows under TSan).
    std::mutex seenLock;
    std::vector<Json> midRun;
    page.onStatus = [&](const std::string& note, const std::string& status) {
        if (note != "passes" || status != "Executing")
            return;
        Json made = Json::parse(StatusSnapshotJson(project));
        std::lock_guard guard(seenLock);
        midRun.push_back(std::move(made));
    };
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    ASSERT_EQ(midRun.size(), 3u);
    EXPECT_TRUE(midRun[0]["running"].get<bool>());
    EXPECT_EQ(midRun[0]["events"][0]["state"], "executing");
    EXPECT_TRUE(midRun[0]["events"][0]["executingSeconds"].is_number());
    EXPECT_EQ(midRun[2]["events"][0]["counts"]["executions"], 2);

    const std::string text = StatusSnapshotJson(project);
    // Laid out as the library lays out the same document.
    EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(2), text);
    const Json snapshot = Json::parse(text);
    EXPECT_EQ(snapshot["project"], "project");
    EXPECT_EQ(snapshot["file"], dir.File("project.qvl"));
    EXPECT_EQ(snapshot["pid"], ::getpid());
    EXPECT_FALSE(snapshot["running"].get<bool>());
    ASSERT_EQ(snapshot["events"].size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const Json& e = snapshot["events"][i];
        SCOPED_TRACE(row.note);
        EXPECT_EQ(e["number"], i + 1);
        EXPECT_EQ(e["note"], row.note);
        EXPECT_EQ(e["state"], "completed");
        EXPECT_EQ(e["status"], row.status);
        EXPECT_EQ(e["value"].is_null(), std::string(row.status) == "FAILED");
        EXPECT_TRUE(e["checked"].is_string());
        EXPECT_EQ(e["counts"], Json({ { "executions", row.executions }, { "failed", row.failed },
                                   { "actions", row.actions }, { "heldBack", row.heldBack } }));
        ASSERT_EQ(e["recent"].size(), static_cast<size_t>(row.executions));
        EXPECT_EQ(e["recent"].back()["ok"], row.failed == 0);
        if (row.failure == nullptr) {
            EXPECT_TRUE(e["failure"].is_null()) << e["failure"];
        } else {
            EXPECT_EQ(e["failure"]["what"], row.failure);
            EXPECT_EQ(e["failure"]["count"], row.executions);
            EXPECT_TRUE(e["failure"]["open"].get<bool>());
            EXPECT_FALSE(e["failure"]["reason"].get<std::string>().empty());
        }
        EXPECT_EQ(e["problem"].is_null(), !row.acting) << e["problem"];
        if (row.acting) {
            EXPECT_TRUE(e["problem"]["open"].get<bool>());
            EXPECT_TRUE(e["problem"]["since"].is_string());
        }
    }
    // The file of the run is gone with it (programs that other tests started may have left theirs).
    EXPECT_FALSE(PathExists(RuntimeDir() + "/project-" + std::to_string(::getpid()) + ".json"));
}

// A report that cannot be written is the event's failure too: the run goes on without its lines.
TEST_F(StatusSnapshot, ShowsAReportThatCannotBeWritten)
{
    const std::string notAFolder = dir.File("not-a-folder");
    std::ofstream(notAFolder) << "a file\n";
    project.AddEvent(Times(FileEvent("passes", dir.path()), 2));
    project.reportFile = notAFolder + "/report.txt";
    project.Load(SaveProject());
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const Json failure = Json::parse(StatusSnapshotJson(project))["events"][0]["failure"];
    EXPECT_EQ(failure["what"], "execution report") << failure;
    EXPECT_TRUE(failure["open"].get<bool>());
    EXPECT_EQ(failure["count"], 2);
    EXPECT_NE(failure["reason"].get<std::string>().find(notAFolder), std::string::npos) << failure;
}

} // namespace
