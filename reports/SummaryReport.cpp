#include "external/support/CSettings.h"
#include "external/support/DateAndTimeMacros.h"
#include "external/support/FailureLine.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "model/QuorvelRunner.h"
#include "reports/MultiReport.h"
#include "reports/ReportSections.h"
#include "reports/SummaryCharts.h"
#include "res/Strings.h"

#include <cerrno>
#include <cstring>

// The summary report of a run: for each enabled event, how often its check ran, passed and
// failed, and the average, largest and smallest times of its iterations. An event without
// executions has no share, average or extreme to show; those read "n/a".

namespace {

constexpr const char* kNotAvailable = "n/a";

// The rows of one of the four measured times.
struct TimeRows {
    const char* average;
    const char* largest;
    const char* smallest;
    ExecStats::Time ExecStats::*time;
};

constexpr TimeRows kTimeRows[] = {
    {"Average Total Event Time", "Maximum Total Event Time", "Minimum Total Event Time", &ExecStats::total},
    {"Average Check Time", "Maximum Check Time", "Minimum Check Time", &ExecStats::check},
    {"Average Fetch Time", "Maximum Fetch Time", "Minimum Fetch Time", &ExecStats::fetch},
    {"Average Action Execution Time", "Maximum Action Time", "Minimum Action Time", &ExecStats::action},
};

// A worker still finishing its iteration after a Break all may be adding to the statistics:
// take them as one consistent copy.
ExecStats StatsOf(QuorvelRunner& runner, const Quorvel& event)
{
    std::lock_guard guard(runner.lock);
    return event.results;
}

std::string ShareText(int part, int count)
{
    if (count == 0)
        return StrFormat("%d times or %s", part, kNotAvailable);
    return StrFormat("%d times or %5.2f%%", part, part * 100.0 / count);
}

std::string AverageText(double sum, int count, const char* unit)
{
    return count == 0 ? kNotAvailable : StrFormat("%5.1f%s", sum / count, unit);
}

std::string MillisecondsText(uint32_t ms, int count)
{
    return count == 0 ? kNotAvailable : StrFormat("%u ms", ms);
}

void FigureRows(AReport& report, const Quorvel& event, const ExecStats& stats)
{
    report.Row2("Check Executed", StrFormat("%d times", stats.count));
    report.Row2("Check Passed", ShareText(stats.passed, stats.count));
    report.Row2("Check Failed", ShareText(stats.Failed(), stats.count));
    if (event.iActWhen == ACT_ON_START) { // only an event that acts on changes holds actions back
        report.Row2("Action Executed", StrFormat("%d times", stats.actions));
        report.Row2("Action Held Back", StrFormat("%d times", stats.heldBack));
    }
    for (const TimeRows& rows : kTimeRows) {
        const ExecStats::Time& time = stats.*rows.time;
        report.Row2(rows.average, AverageText(time.sum, stats.count, " ms"));
        report.Row2(rows.largest, MillisecondsText(time.largest, stats.count));
        report.Row2(rows.smallest, MillisecondsText(time.smallest, stats.count));
    }
    report.Row2("Average Rows Fetched", AverageText(stats.rowSum, stats.count, ""));
}

// Tells that the summary is not there (the old one, if any, is as it was): on standard error and in
// the program log always, in a box too when `box`.
int SummaryNotWritten(QuorvelRunner& project, int error, bool box)
{
    project.reportNotWritten = true;
    const std::string reason = std::strerror(error != 0 ? error : EIO);
    TellFailure(
        ProjectLine(project.projectName, "summary report " + project.currentSummaryFile + " not written: " + reason),
        "Summary");
    if (box)
        ShowMessageBox(reason, project.currentSummaryFile, MB_ICONERROR);
    return -1;
}

} // namespace

namespace {

// The summary's body: the contents, the project's section and one section per enabled event.
void WriteSummaryBody(QuorvelRunner& project, MultiReport& report)
{
    const int enabledCount = project.WriteContents(report, false);
    project.WriteSummarySection(report, enabledCount, false);
    for (int i = 1; i <= project.Count(); ++i) {
        const Quorvel& event = project.events[static_cast<size_t>(i - 1)];
        if (event.enabled == 0)
            continue;
        BeginEventSection(report, i, event, "Execution Property");
        const ExecStats stats = StatsOf(project, event);
        FigureRows(report, event, stats);
        report.EndTable();
        WriteRunCharts(report, stats.series, i);
    }
}

} // namespace

int QuorvelRunner::WriteSummaryReport()
{
    if (summaryFile.empty())
        return 0;
    std::lock_guard one(summaryWriting);
    currentSummaryFile =
        DateAndTimeMacros(summaryFile, SettingStr("MacroDateFmt"), SettingStr("MacroTimeFmt"));
    MultiReport report;
    const bool window = MessageBoxesShowWindows();
    if (!BeginReport(report, LoadString(IDS_SUMMARY_REPORT), currentSummaryFile, window))
        return SummaryNotWritten(*this, report.Error(), false);
    WriteSummaryBody(*this, report);
    return report.Close() == 0 ? 0 : SummaryNotWritten(*this, report.Error(), window);
}

int QuorvelRunner::WriteSummaryDocument(const std::string& path, int* error)
{
    MultiReport report;
    if (BeginReport(report, LoadString(IDS_SUMMARY_REPORT), path, false)) {
        WriteSummaryBody(*this, report);
        if (report.Close() == 0)
            return 0;
    }
    *error = report.Error() != 0 ? report.Error() : EIO;
    return -1;
}
