#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "model/QuorvelRunner.h"
#include "reports/MultiReport.h"
#include "reports/ReportSections.h"
#include "res/Strings.h"

#include <cstring>

// The project report: every event definition of the project, enabled or not, as a table of its
// settings in words.

namespace {

const char* YesNo(int flag)
{
    return flag != 0 ? "Yes" : "No";
}

// What the event checks; each kind of check has its own rows.
void CheckRows(AReport& report, const Quorvel& event)
{
    switch (event.type) {
    case EVENT_SQL:
        report.Row2("Event SQL", event.SQL);
        report.Row2("Event Connection", event.checkConn.ConInfo());
        break;
    case EVENT_FILE:
        report.Row2("File or Folder to check", event.FileOrDir);
        break;
    case EVENT_COUNTER:
        report.Row2("Performance Counter", event.PerfCounter);
        report.Row2("Machine", event.Machine.empty() ? "Local System" : event.Machine);
        break;
    default:
        break;
    }
}

// The details of the action; "No action" has none.
void ActionRows(AReport& report, const Quorvel& event)
{
    switch (event.action) {
    case ACTION_SQL:
        report.Row2("Action SQL", event.ActionSQL);
        report.Row2("Action Connection", event.actionConn.ConInfo());
        break;
    case ACTION_LOG:
        report.Row2("Log record", event.sLogItem);
        break;
    case ACTION_PROGRAM:
        report.Row2("External action", event.sProgram);
        break;
    default:
        break;
    }
}

std::string DelayText(const Quorvel& event)
{
    switch (event.delayType) {
    case DELAY_FOR:
        return StrFormat("%d %s", event.iDelay, Quorvel::TimeUnitName(event.delayTimeType).c_str());
    case DELAY_START_AT:
        return StrFormat("First start at '%s'", event.tmStartAt.c_str());
    default:
        return "No delay";
    }
}

std::string IterationText(const Quorvel& event)
{
    switch (event.iterType) {
    case ITER_ONCE:
        return "Once";
    case ITER_COUNT:
        return StrFormat("%d times", event.iExecs);
    default:
        return "Infinite";
    }
}

std::string IntervalText(const Quorvel& event)
{
    if (event.intType == INTERVAL_NONE)
        return "No delay";
    return StrFormat("%d %s", event.iInterval, Quorvel::TimeUnitName(event.intTimeType).c_str());
}

// Only an event that acts on changes has these rows: one that acts every time reads as it always did.
void ActWhenRows(AReport& report, const Quorvel& event)
{
    if (event.iActWhen != ACT_ON_START)
        return;
    report.Row2("Act", Quorvel::ActWhenName(event.iActWhen));
    const int every = event.iRepeatEvery;
    report.Row2("Repeat while it holds", every > 0 ? StrFormat("every %d executions", every) : std::string("Never"));
    report.Row2("Act when it stops holding", YesNo(event.bActOnRecovery));
}

void DefinitionRows(AReport& report, const Quorvel& event)
{
    report.Row2("Event Type", event.Description(0));
    CheckRows(report, event);
    report.Row2("Condition", event.Description(1));
    ActWhenRows(report, event);
    report.Row2("Action", event.Description(2));
    ActionRows(report, event);
    report.Row2("Initial delay", DelayText(event));
    report.Row2("Iteration mode", IterationText(event));
    report.Row2("Check to check delay", IntervalText(event));
    // Only an event with a timeout of its own has the row: the others read as they always did.
    if (event.iTimeout > 0)
        report.Row2("Check timeout", StrFormat("%d s", event.iTimeout));
    report.Row2("Event Termination Action", YesNo(event.bTermEvent));
    report.Row2("Project Termination Action", YesNo(event.bTermProject));
    report.Row2("Active", YesNo(event.enabled));
}

} // namespace

void QuorvelRunner::WriteProjectReport(const std::string& path)
{
    MultiReport report;
    if (!BeginReport(report, LoadString(IDS_PROJECT_REPORT), path))
        return;
    const int enabledCount = WriteContents(report, true);
    WriteSummarySection(report, enabledCount, true);
    for (int i = 1; i <= Count(); ++i) {
        const Quorvel& event = events[static_cast<size_t>(i - 1)];
        // The header's misspelling is the wording users of the report know.
        BeginEventSection(report, i, event, "Event Arrtibute");
        DefinitionRows(report, event);
        report.EndTable();
    }
    if (report.Close() != 0) // the old report, if any, is as it was
        ShowMessageBox(std::strerror(report.Error()), path, MB_ICONERROR);
}
