#include "engine/EngineFixture.h"
#include "external/support/StrFormat.h"

#include <algorithm>
#include <gmock/gmock.h>

namespace {

class ActOnChange : public EngineTest { };

// The table changes before every check (over 2, over, over, under, over, over), and the program
// records the state it was given. Each check waits for the program of the last action, so that
// the lines come in the order of the actions. A second run starts afresh.
TEST_F(ActOnChange, ARunActsOnStartRepeatAndRecoveryAndHoldsTheRestBack)
{
    const std::string db = MakeSqliteFile(dir.File("q.db"), "CREATE TABLE q (n INTEGER); INSERT INTO q VALUES (0);");
    const std::string args = dir.File("args");
    Quorvel event = Times(SqlEvent("queue", db, "SELECT n FROM q"), 6);
    event.cond = COND_RESULT_VALUE, event.resCheck = OP_GREATER, event.resCheckValue = 2;
    event.iActWhen = ACT_ON_START, event.iRepeatEvery = 2, event.bActOnRecovery = 1;
    event.action = ACTION_PROGRAM;
    event.sProgram = "sh -c 'printf \"%s\\n\" \"$1\" >> \"$0\"' '" + args + "' '$STATE$ it'\\''s'";
    project.AddEvent(event);
    project.reportFile = dir.File("report.txt");
    const auto written = [&] { return static_cast<int>(std::ranges::count(ReadFile(args), '\n')); };
    std::unique_ptr<CDB> writer = CDB::newDB(DS_SQLITE);
    CONN_INFO target { DS_SQLITE, db, "", "", 0 };
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
    std::vector<std::string> actionColumn;
    for (const std::string& line : ReportLines(project.currentReportFile))
        actionColumn.push_back(SplitTabs(line).back());
    const std::string held = "Condition holds, no change";
    EXPECT_THAT(actionColumn, testing::ElementsAre("Action SQL", "", held, "", "", "", held));
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
