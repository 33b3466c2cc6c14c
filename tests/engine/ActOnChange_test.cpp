#include "engine/EngineFixture.h"
#include "external/db/CDB.h"
#include "external/support/StrFormat.h"

#include <gmock/gmock.h>

namespace {

class ActOnChange : public EngineTest { };

// The whole lines of a file that a program appends to.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The table changes between the checks (over 2, over, over, under, over, over), and the program
// records the state it was given. Each check waits until the program of the last action has
// written, so that the lines come in the order of the actions.
TEST_F(ActOnChange, ARunActsOnStartRepeatAndRecoveryAndHoldsTheRestBack)
{
    const std::string db
        = MakeSqliteFile(dir.File("queue.db"), "CREATE TABLE queue (n INTEGER); INSERT INTO queue VALUES (0);");
    const std::string args = dir.File("args");
    Quorvel event = Times(SqlEvent("queue", db, "SELECT n FROM queue"), 6);
    event.cond = COND_RESULT_VALUE, event.resCheck = OP_GREATER, event.resCheckValue = 2;
    event.iActWhen = ACT_ON_START, event.iRepeatEvery = 2, event.bActOnRecovery = 1;
    event.action = ACTION_PROGRAM;
    event.sProgram = "sh -c 'printf \"%s\\n\" \"$1\" >> \"$0\"' '" + args + "' 'state=$STATE$ it'\\''s'";
    project.AddEvent(event);
    project.reportFile = dir.File("report.txt");

    std::unique_ptr<CDB> writer = CDB::newDB(DS_SQLITE);
    CONN_INFO target { DS_SQLITE, db, "", "", 0 };
    ASSERT_TRUE(CDB::isOK(writer->connect(&target)));
    const int values[] = { 5, 3, 9, 1, 4, 7 };
    int executions = 0;
    int acted = 0;
    page.onStatus = [&](const std::string&, const std::string& status) {
        acted += status == "Do action";
        if (status != "Executing")
            return;
        WaitUntil([&] { return static_cast<int>(Lines(ReadFile(args)).size()) == acted; });
        writer->execute(StrFormat("UPDATE queue SET n = %d", values[executions++]), 0);
    };
    project.Run(&page, nullptr);

    EXPECT_THAT(Lines(ReadFile(args)),
        testing::ElementsAre("state=PROBLEM it's", "state=REPEAT it's", "state=RECOVERED it's", "state=PROBLEM it's"));
    std::vector<std::string> actionColumn;
    for (const std::string& line : ReportLines(project.currentReportFile))
        actionColumn.push_back(SplitTabs(line).back());
    const std::string held = "Condition holds, no change";
    EXPECT_THAT(actionColumn, testing::ElementsAre("Action SQL", "", held, "", "", "", held));
    EXPECT_EQ(page.Count("queue", held), 2);
    const ExecStats& stats = project.GetEvent(0)->results;
    EXPECT_EQ(std::tuple(stats.count, stats.actions, stats.heldBack), std::tuple(6, 4, 2));
}

} // namespace
