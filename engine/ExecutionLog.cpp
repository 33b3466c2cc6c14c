// The execution report and the custom log: every execution is one line of the report, every log
// action one line of the custom log, written under the runner's lock.
#include "engine/Iteration.h"
#include "external/support/ReportFile.h"
#include "engine/RunTexts.h"
#include "engine/StatusSnapshot.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/DateAndTimeMacros.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <cstring>
#include <ctime>
#include <string_view>
#include <utility>

namespace {

// A string made once: every line hands it over, though only the first one of a file writes it.
const std::string kReportHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\t"
                                  "Action Time (ms)\tFetched Rows\tStatus\tAction SQL\r\n";

// Tabs and line breaks inside a field would split the report's columns or lines.
std::string OneField(std::string_view text)
{
    std::string field;
    AppendReportField(field, text);
    return field;
}

// Only a text that holds a macro reads the two settings.
std::string ExpandMacros(std::string text)
{
    if (text.find('$') == std::string::npos)
        return text;
    return DateAndTimeMacros(text, SettingStr("MacroDateFmt"), SettingStr("MacroTimeFmt"));
}

// "%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%s\t%s\r\n" of date, time, name, the four durations, rows,
// status and statement, made by appending: the date and the time are those of the record, the name
// was made when the run began.
void MakeRecordLine(std::string& line, const Quorvel& event, const ExecRecord& record, const std::string& actionText,
                    const LocalMoment& now)
{
    line.clear();
    AppendReportDate(line, now.tm);
    line += '\t';
    AppendTimeOfDay(line, now);
    line += '\t';
    RunTexts::AppendReportName(line, event);
    for (const uint32_t ms : {record.totalTime, record.checkTime, record.fetchTime, record.actionTime}) {
        line += '\t';
        AppendDecimal(line, static_cast<int>(ms));
    }
    line += '\t';
    AppendDecimal(line, record.rows);
    line += '\t';
    line += record.status;
    line += '\t';
    AppendReportField(line, actionText);
    line += "\r\n";
}

EventLive::Outcome OutcomeOf(const Iteration& it, const FailureStreak& actionFailure)
{
    if (it.status == "FAILED" || (it.actionRun && actionFailure.failing()))
        return EventLive::Outcome::kFailed;
    if (it.heldBack)
        return EventLive::Outcome::kHeldBack;
    return it.actionRun ? EventLive::Outcome::kActed : EventLive::Outcome::kPassed;
}

// The event keeps the course of its own writes, so that the window shows a report that is not
// written on the rows of the events whose lines are lost. Under the runner's lock.
void FollowOutput(EventLive& live, const std::string& kind, const std::string& path, int error)
{
    if (error != 0) {
        live.outputFailure.Failed(path + ": " + std::strerror(error), LocalNow().unixMs);
        live.outputWhat = kind;
    } else if (live.outputFailure.failing() && live.outputWhat == kind) {
        live.outputFailure.Succeeded();
    }
}

} // namespace

void Quorvel::RecordExecution(const Iteration& it)
{
    ExecRecord record{it.status, it.end - it.start, it.afterCheck - it.start, it.fetchEnd - it.fetchStart,
                      it.end - it.afterCheck, it.rows};
    record.actionRun = it.actionRun;
    record.heldBack = it.heldBack;
    record.value = value;
    const LocalMoment now = LocalNow(); // one reading for the record and its line
    record.endTime = static_cast<int64_t>(now.seconds);
    record.endMs = now.unixMs;
    thread_local std::string line; // its room is kept from line to line
    MakeRecordLine(line, *this, record, it.actionText, now);
    WriteRecord(line, false);
    if (runner == nullptr)
        return;
    std::string shown = SnapshotRecentText(ExecStats::RecentOf(record));
    std::lock_guard lock(runner->lock);
    results.Add(record, std::move(shown));
    // The worker's own failure and problem records change only on this thread; the snapshot reads
    // these copies instead.
    live.checkFailure = checkFailure;
    live.actionFailure = actionFailure;
    live.outcome = OutcomeOf(it, actionFailure);
    live.problemOpen = gate.holding();
    live.problemSinceMs = gate.openedMs();
    live.state = EventLive::State::kWaiting;
    live.sinceMs = record.endMs;
    live.untilMs = 0;
    ++runner->statusChanges;
}

void Quorvel::WriteRecord(const std::string& text, bool customLog)
{
    // Most texts hold no macro: they are written as they are, without a copy.
    const bool hasMacro = text.find('$') != std::string::npos;
    std::string expanded;
    if (hasMacro)
        expanded = ExpandMacros(ReplaceAll(text, "$VALUE$", customLog ? value : OneField(value)));
    const std::string& line = hasMacro ? expanded : text;
    if (runner == nullptr)
        return;
    QuorvelRunner& project = *runner;
    std::lock_guard lock(project.lock);
    if (customLog && project.logFile.empty()) {
        CLog::Bug(line, "User mesage: ");
        return;
    }
    const std::string& file = customLog ? project.logFile : project.reportFile;
    if (file.empty())
        return;
    std::string& current = customLog ? project.currentLogFile : project.currentReportFile;
    if (file.find('$') == std::string::npos)
        current = file; // keeps the room of the last name
    else
        current = ExpandMacros(file);
    ReportFile& output = customLog ? project.logOutput : project.reportOutput;
    int error = 0;
    if (customLog)
        output.Append(current, "", line + "\r\n", &error);
    else
        output.Append(current, kReportHeader, line, &error);
    FollowOutput(live, output.Kind(), current, error);
}
