#include "model/QuorvelRunner.h"
#include "reports/ReportTestKit.h"

#include <filesystem>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

using SummaryReport = ReportTest;

const std::string kSummaryHeader = "head\tExecution Property\tValue\twidth: 35%";

// Records one execution per total time given, the first `passed` of them "OK". (Copying an event
// leaves its statistics behind, so they are added to the events in the project.)
void AddRuns(Quorvel& event, std::initializer_list<uint32_t> totalTimes, int passed)
{
    for (const uint32_t total : totalTimes) {
        ExecRecord record;
        record.status = passed-- > 0 ? "OK" : "FAILED";
        record.totalTime = total;
        record.checkTime = total / 2;
        record.rows = 3;
        event.results.Add(record);
    }
}

} // namespace

TEST_F(SummaryReport, FiguresOfEachEnabledEvent)
{
    QuorvelRunner project;
    project.events.resize(4);
    AddRuns(project.events[0], { 10, 20, 30 }, 3);
    AddRuns(project.events[1], { 5 }, 1);
    project.events[1].enabled = 0;
    AddRuns(project.events[2], { 10, 20, 30, 40 }, 3);
    project.events[2].EventNote = "nightly & weekly";
    project.events[2].iActWhen = ACT_ON_START; // only such an event counts its actions
    project.events[2].results.actions = 1, project.events[2].results.heldBack = 2;
    project.summaryFile = dir.File("summary.html");
    project.WriteSummaryReport();
    const auto outline = Outline(project.currentSummaryFile);

    EXPECT_THAT(Items(outline, "h1"), ElementsAre("Olvex Quorvel Cumulative Execution Report"));
    EXPECT_THAT(Items(outline, "link"), ElementsAre("#P0\tSummary", "#P1\tEvent #1", "#P3\tEvent #3", "#P4\tEvent #4"));
    EXPECT_THAT(Items(outline, "h2"), ElementsAre("Summary", "Event #1", "Event #3", "Event #4"));
    EXPECT_THAT(Items(outline, "note"), ElementsAre("nightly & weekly"));
    EXPECT_THAT(Items(outline, "anchor"), Not(Contains("P2")));
    EXPECT_THAT(SectionRows(outline, "P0"), Contains("row\tEvents\t4, enabled 3"));
    EXPECT_EQ(SectionRows(outline, "P0").size(), 4u);

    EXPECT_THAT(SectionRows(outline, "P1"),
        ElementsAre(kSummaryHeader, "row\tCheck Executed\t3 times", "row\tCheck Passed\t3 times or 100.00%",
            "row\tCheck Failed\t0 times or  0.00%", "row\tAverage Total Event Time\t 20.0 ms",
            "row\tMaximum Total Event Time\t30 ms", "row\tMinimum Total Event Time\t10 ms",
            "row\tAverage Check Time\t 10.0 ms", "row\tMaximum Check Time\t15 ms", "row\tMinimum Check Time\t5 ms",
            "row\tAverage Fetch Time\t  0.0 ms", "row\tMaximum Fetch Time\t0 ms", "row\tMinimum Fetch Time\t0 ms",
            "row\tAverage Action Execution Time\t  0.0 ms", "row\tMaximum Action Time\t0 ms",
            "row\tMinimum Action Time\t0 ms", "row\tAverage Rows Fetched\t  3.0"));
    EXPECT_THAT(SectionRows(outline, "P3"),
        IsSupersetOf({ "row\tCheck Executed\t4 times", "row\tCheck Passed\t3 times or 75.00%",
            "row\tCheck Failed\t1 times or 25.00%", "row\tAction Executed\t1 times",
            "row\tAction Held Back\t2 times" }));
    // An event without executions shows no figures.
    const auto none = SectionRows(outline, "P4");
    ASSERT_EQ(none.size(), 17u);
    EXPECT_EQ(none[1], "row\tCheck Executed\t0 times");
    EXPECT_EQ(none[2], "row\tCheck Passed\t0 times or n/a");
    EXPECT_EQ(none[3], "row\tCheck Failed\t0 times or n/a");
    for (size_t i = 4; i < none.size(); ++i)
        EXPECT_EQ(none[i].substr(none[i].rfind('\t')), "\tn/a") << none[i];
    // Pictures of the events that ran: points of the line, then marks by colour (red: failed).
    EXPECT_THAT(Items(outline, "chart"),
        ElementsAre("Check time of Event #1\t3", "Outcomes of Event #1\t0\t#2e7d32=3",
            "Check time of Event #3\t4\t#c0392b=1", "Outcomes of Event #3\t0\t#2e7d32=3\t#c0392b=1"));
}

// A run of a million executions, a tenth of them failed and each with a numeric value, still
// gives a small report.
TEST_F(SummaryReport, MillionExecutionsStaySmall)
{
    QuorvelRunner project;
    project.events.resize(1);
    ExecRecord record;
    for (int i = 0; i < 1000000; ++i) {
        record.status = i % 10 == 0 ? "FAILED" : "OK";
        record.checkTime = static_cast<uint32_t>(i % 97);
        record.actionRun = i % 3 == 0;
        record.value = std::to_string(i % 1013);
        record.endMs = 1700000000000 + i * 7;
        project.events[0].results.Add(record);
    }
    project.summaryFile = dir.File("summary.html");
    project.WriteSummaryReport();
    EXPECT_EQ(Items(Outline(project.currentSummaryFile), "chart").size(), 3u);
    EXPECT_LT(std::filesystem::file_size(project.currentSummaryFile), 2u * 1024 * 1024);
}

// Both reports tell the user when their file cannot be made; the summary is written only when named.
TEST_F(SummaryReport, ReportsWriteNothingWithoutFileAndTellWhenTheyCannot)
{
    QuorvelRunner project;
    project.events = { Quorvel() };
    project.WriteSummaryReport();
    EXPECT_THAT(boxes.Shown(), IsEmpty());

    project.summaryFile = dir.File("missing/summary-$DATE$.html");
    project.WriteSummaryReport();
    EXPECT_EQ(project.currentSummaryFile.find("$DATE$"), std::string::npos) << "the name takes today's date";
    project.WriteProjectReport(dir.File("missing/project.html"));
    EXPECT_THAT(boxes.Shown(),
        ElementsAre(project.currentSummaryFile + ": Could not open or create report file",
            dir.File("missing/project.html") + ": Could not open or create report file"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
