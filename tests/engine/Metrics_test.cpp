#include "engine/EngineFixture.h"
#include "engine/MetricsWriter.h"
#include "engine/RunControl.h"
#include "external/counters/MetricsParser.h"

#include <ctime>
#include <filesystem>
#include <map>

namespace {

// name -> event label -> sample, from a metrics file read with the project's own parser.
using Samples = std::map<std::string, std::map<std::string, MetricSample>>;

Samples ReadMetrics(const std::string& path)
{
    MetricsParser parser;
    EXPECT_TRUE(parser.Parse(ReadFile(path))) << parser.Error();
    Samples samples;
    for (const MetricSample& sample : parser.Samples())
        samples[sample.name][*sample.Label("event")] = sample;
    return samples;
}

class MetricsTest : public EngineTest { };

TEST_F(MetricsTest, FileShowsEveryTakingEventsFiguresAfterTheRun)
{
    const std::string db = MakeSqliteFile(dir.File("m.db"), "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    const std::string note = "say \"hi\" \\ there\nsecond line";
    Quorvel counted = WithAction(Times(SqlEvent(note, db, "SELECT 42.5 FROM t"), 3), ACTION_LOG, "seen $VALUE$");
    Quorvel disabled = FileEvent("off", dir.path());
    disabled.enabled = 0;
    Quorvel missing = WithAction(Times(FileEvent("missing", dir.File("nowhere")), 2), ACTION_LOG, "");
    missing.cond = COND_ON_SUCCESS; // never holds: no action runs
    Quorvel text = SqlEvent("text", db, "SELECT 'abc'");
    // Passes once with a value, then fails: its action takes the table away.
    const std::string gone = MakeSqliteFile(dir.File("gone.db"), "CREATE TABLE g (x); INSERT INTO g VALUES (7);");
    Quorvel dropped = WithAction(Times(SqlEvent("dropped", gone, "SELECT x FROM g"), 2), ACTION_SQL, "DROP TABLE g");
    dropped.cond = COND_ON_SUCCESS;
    for (const Quorvel* event : { &counted, &disabled, &missing, &text, &dropped })
        project.events.push_back(*event);
    // The name is taken as it is: no date goes into it.
    project.metricsFile = dir.File("quorvel_$DATE$.prom");
    project.logFile = dir.File("custom.log");

    const auto before = static_cast<double>(std::time(nullptr));
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const auto after = static_cast<double>(std::time(nullptr));

    Samples m = ReadMetrics(project.metricsFile);
    // Events are labelled by their place in the project's list; the disabled one has no figures, and
    // only numbers are values: a missing file's empty value and a text are left out.
    using Values = std::map<std::string, double>;
    const auto values = [&m](const char* name) {
        Values byEvent;
        for (const auto& [event, sample] : m[name])
            byEvent[event] = sample.value;
        return byEvent;
    };
    EXPECT_EQ(values("quorvel_executions_total"), (Values { { "1", 3 }, { "3", 2 }, { "4", 1 }, { "5", 2 } }));
    EXPECT_EQ(values("quorvel_checks_passed_total"), (Values { { "1", 3 }, { "3", 0 }, { "4", 1 }, { "5", 1 } }));
    EXPECT_EQ(values("quorvel_checks_failed_total"), (Values { { "1", 0 }, { "3", 2 }, { "4", 0 }, { "5", 1 } }));
    EXPECT_EQ(values("quorvel_actions_total"), (Values { { "1", 3 }, { "3", 0 }, { "4", 0 }, { "5", 1 } }));
    EXPECT_EQ(values("quorvel_up"), (Values { { "1", 1 }, { "3", 0 }, { "4", 1 }, { "5", 0 } }));
    // A failed check keeps the latest good value: an alert on it must not resolve in an outage.
    EXPECT_EQ(values("quorvel_last_value"), (Values { { "1", 42.5 }, { "5", 7 } }));
    EXPECT_EQ(values("quorvel_check_executing_seconds"), (Values { { "1", 0 }, { "3", 0 }, { "4", 0 }, { "5", 0 } }));
    // Only the events that failed have a time of their latest failure.
    const Values failedAt = values("quorvel_last_failure_timestamp_seconds");
    ASSERT_EQ(failedAt.size(), 2u);
    for (const char* event : { "3", "5" }) {
        EXPECT_GE(failedAt.at(event), before) << event;
        EXPECT_LE(failedAt.at(event), after + 1) << event;
    }
    for (const auto& [name, events] : m)
        EXPECT_EQ(events.count("2"), 0u) << name;
    EXPECT_EQ(*m["quorvel_executions_total"]["1"].Label("note"), note);
    EXPECT_EQ(*m["quorvel_executions_total"]["4"].Label("note"), "text");
    for (const char* event : { "1", "3", "4", "5" }) {
        const double at = m["quorvel_last_execution_timestamp_seconds"][event].value;
        EXPECT_GE(at, before);
        EXPECT_LE(at, after);
        EXPECT_EQ(m["quorvel_last_check_seconds"].count(event), 1u);
    }
    // The file was replaced, never appended to; no temporary file stays behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

// A run without end shows its figures while it lasts (the file is rewritten every second, the event
// waits two seconds between executions) and once more after Break all.
TEST_F(MetricsTest, RewrittenWhileTheRunLastsAndAfterABreak)
{
    project.events.push_back(EverySeconds(Endless(FileEvent("endless", dir.path())), 2));
    project.metricsFile = dir.File("q.prom");
    double seenDuringRun = -1;
    int executing = 0;
    int paused = 0;
    page.onStatus = [&](const std::string&, const std::string& status) {
        if (status == "Executing" && ++executing == 2)
            seenDuringRun = ReadMetrics(project.metricsFile)["quorvel_executions_total"]["1"].value;
        if (status == "Paused" && ++paused == 2)
            BreakAll();
    };
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    EXPECT_EQ(seenDuringRun, 1);
    EXPECT_EQ(ReadMetrics(project.metricsFile)["quorvel_executions_total"]["1"].value, 2);
}

TEST_F(MetricsTest, WriteFailureIsToldOncePerStreak)
{
    project.events.push_back(FileEvent("f", dir.path()));
    const std::string folder = dir.File("later");
    project.metricsFile = folder + "/q.prom";
    MetricsWriter writer(project, { &project.events[0] });
    const auto told = [&folder] { return LogRowsNaming(folder).size(); };
    const size_t start = told();
    EXPECT_EQ(writer.WriteOnce(), -1);
    EXPECT_EQ(writer.WriteOnce(), -1);
    EXPECT_EQ(told(), start + 1);
    std::filesystem::create_directory(folder);
    EXPECT_EQ(writer.WriteOnce(), 0);
    EXPECT_EQ(writer.WriteOnce(), 0);
    EXPECT_EQ(told(), start + 2);
    Samples m = ReadMetrics(project.metricsFile);
    EXPECT_EQ(m["quorvel_executions_total"]["1"].value, 0);
    EXPECT_EQ(m["quorvel_last_value"].size(), 0u); // nothing ran yet
}

// The project label keeps two projects' samples apart: "MetricsProject", else the project file's
// name, else (never saved) the metrics file's name.
TEST_F(MetricsTest, ProjectLabelNamesTheProject)
{
    project.events.push_back(FileEvent("f", dir.path()));
    project.metricsFile = dir.File("from-metrics.prom");
    MetricsWriter writer(project, { &project.events[0] });
    const struct {
        std::string key, name, label;
    } cases[] = {
        { "", "", "from-metrics" },
        { "", "nightly", "nightly" },
        { "shop \"a\"", "nightly", "shop \\\"a\\\"" },
    };
    for (const auto& c : cases) {
        project.metricsProject = c.key;
        project.projectName = c.name;
        EXPECT_NE(writer.Text().find("quorvel_executions_total{project=\"" + c.label + "\",event=\"1\","), std::string::npos)
            << writer.Text();
    }
}

} // namespace
