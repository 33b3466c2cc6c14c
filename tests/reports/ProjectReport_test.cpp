#include "external/support/CLog.h"
#include "model/QuorvelRunner.h"
#include "reports/ReportTestKit.h"
#include "support/TestEvents.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;

namespace {

using ProjectReport = ReportTest;

const std::string kHeader = "head\tEvent Arrtibute\tValue\twidth: 35%";

} // namespace

TEST_F(ProjectReport, ProjectReportDescribesEveryEventInItsOwnWords)
{
    QuorvelRunner project;
    project.author = "Ann";
    project.description = "a & b";
    project.summaryFile = "/tmp/summary-$DATE$.html";
    project.checkTimeout = 30;
    project.shareConnections = 1;
    Quorvel sql = Endless(SqlEvent(
        "<script>alert(1)</script>", "/var/lib/jobs.db", "SELECT count(*) FROM jobs WHERE 2 < 3 AND '<b>' <> ''"));
    sql.cond = COND_ROW_COUNT;
    sql.rowCheck = OP_GREATER;
    sql.rowCheckValue = 10;
    sql = WithAction(sql, ACTION_PROGRAM, "notify-send jobs");
    sql.iTimeout = 5;
    // A disabled file check; minutes and hours, where the builders take seconds.
    Quorvel file = DelayedFor(EverySeconds(Times(FileEvent("", "/srv/incoming"), 7), 2), 5);
    file.delayTimeType = UNIT_MINUTES;
    file.intTimeType = UNIT_HOURS;
    file = WithAction(file, ACTION_LOG, "found $VALUE$");
    file.bTermEvent = 1;
    file.enabled = 0;
    file.iActWhen = ACT_ON_START, file.iRepeatEvery = 3;
    Quorvel counter = CounterEvent("", "", "\\Memory\\Available MBytes");
    counter.delayType = DELAY_START_AT;
    counter.tmStartAt = "08:30:00";
    counter.bTermProject = 1;
    project.events = { sql, file, counter };
    const std::string path = dir.File("project.html");
    project.WriteProjectReport(path);
    const auto outline = Outline(path);

    EXPECT_THAT(Items(outline, "link"), ElementsAre("#P0\tSummary", "#P1\tEvent #1", "#P2\tEvent #2", "#P3\tEvent #3"));
    EXPECT_THAT(Items(outline, "h1"), ElementsAre("Olvex Quorvel Project Report"));
    EXPECT_THAT(SectionRows(outline, "P0"),
        ElementsAre("head\tAttribute\tValue\twidth: 35%",
            MatchesRegex("row\tReport Created\t[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}"), "row\tEvents\t3, enabled 2",
            "row\tAuthor\tAnn", "row\tProject Description\ta & b", "row\tCustom Log File\t",
            "row\tExecution Report File\t", "row\tSummary Report File\t/tmp/summary-$DATE$.html",
            "row\tCheck Timeout\t30 s", "row\tShared Connections\tYes", "row\tOlvex Quorvel\t" + CLog::VersionStr(0)));

    EXPECT_THAT(SectionRows(outline, "P1"),
        ElementsAre(kHeader, "row\tEvent Type\tExec SQL",
            "row\tEvent SQL\tSELECT count(*) FROM jobs WHERE 2 < 3 AND '<b>' <> ''",
            "row\tEvent Connection\t" + sql.checkConn.ConInfo(), "row\tCondition\tIf result set size > 10",
            "row\tAction\tExec program", "row\tExternal action\tnotify-send jobs", "row\tInitial delay\tNo delay",
            "row\tIteration mode\tInfinite", "row\tCheck to check delay\tNo delay", "row\tCheck timeout\t5 s",
            "row\tEvent Termination Action\tNo",
            "row\tProject Termination Action\tNo", "row\tActive\tYes"));
    EXPECT_THAT(SectionRows(outline, "P2"),
        ElementsAre(kHeader, "row\tEvent Type\tFile or Folder Access", "row\tFile or Folder to check\t/srv/incoming",
            "row\tCondition\tAlways (when it starts to hold, repeat every 3)",
            "row\tAct\twhen the condition starts to hold", "row\tRepeat while it holds\tevery 3 executions",
            "row\tAct when it stops holding\tNo", "row\tAction\tWrite log", "row\tLog record\tfound $VALUE$",
            "row\tInitial delay\t5 minutes", "row\tIteration mode\t7 times", "row\tCheck to check delay\t2 hours",
            "row\tEvent Termination Action\tYes", "row\tProject Termination Action\tNo", "row\tActive\tNo"));
    EXPECT_THAT(SectionRows(outline, "P3"),
        ElementsAre(kHeader, "row\tEvent Type\tPerformance Counter",
            "row\tPerformance Counter\t\\\\Memory\\\\Available MBytes", "row\tMachine\tLocal System",
            "row\tCondition\tAlways", "row\tAction\tNo action", "row\tInitial delay\tFirst start at '08:30:00'",
            "row\tIteration mode\tOnce", "row\tCheck to check delay\tNo delay", "row\tEvent Termination Action\tNo",
            "row\tProject Termination Action\tYes", "row\tActive\tYes"));
    // Project texts cannot add markup.
    EXPECT_THAT(Items(outline, "note"), ElementsAre("<script>alert(1)</script>"));
    EXPECT_THAT(ReadFile(path), Not(HasSubstr("<script")));
}
